#include "draw/main_form.h"

#include "dialogs/help_window.h"
#include "dialogs/screen_settings_dialog.h"
#include "draw/audience_screens.h"
#include "draw/board_turn_view.h"
#include "draw/card_desk.h"
#include "draw/draw_cycle.h"
#include "draw/entry_report.h"
#include "draw/game_keeper.h"
#include "draw/hand_marking.h"
#include "draw/main_controls.h"
#include "draw/media_checks.h"
#include "draw/media_list_edits.h"
#include "draw/operator_console.h"
#include "draw/phone_desk.h"
#include "draw/presenter_keys.h"
#include "media/media_playback.h"
#include "platform/instance_lock.h"
#include "platform/picture_box.h"
#include "settings/file_commands.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace halvora {

MainForm::MainForm(Services& services, Printer& printer, QString programFolder, QString userDataFolder,
                   QWidget* parent)
    : QMainWindow(parent), services_(services), printer_(printer), programFolder_(std::move(programFolder)),
      userDataFolder_(std::move(userDataFolder)), game_(services.clock, services.random) {
    setObjectName(QStringLiteral("MainForm"));
    auto* board = new QWidget(this);
    setCentralWidget(board);
    controls_ = std::make_unique<MainControls>(*board);
    controls_->mirror = mirror_ = new BoardMirror(board);
    controls_->operatorPanel = operatorPanel_ = new OperatorPanel(game_, board);
    for (QWidget* console : {controls_->mirror, controls_->operatorPanel}) {
        console->lower();
        console->hide();
    }
    cardDesk_ = new CardDesk(game_, show_, services, printer, *this, *board);
    controls_->cardCounts = cardDesk_->counts();
    phoneDesk_ = new PhoneDesk(game_, show_, services, *cardDesk_, *controls_, *this);
    connect(phoneDesk_, &PhoneDesk::settingsChanged, this, &MainForm::keepSettings);
    audienceScreens_ = std::make_unique<AudienceScreens>(*controls_, *this, *mirror_, show_.folders);
    connect(audienceScreens_.get(), &AudienceScreens::settingsChanged, this, &MainForm::keepSettings);
    services.media.setVideoView(controls_->videoView);
    mediaChecks_ = std::make_unique<MediaChecks>(show_, *controls_, *this, services);
    entryReport_ = std::make_unique<EntryReport>(show_, services.dialogs, services.media, *this);
    createMenus();
    conditionFile_ = std::make_unique<ConditionFile>(services.dialogs, this, show_.av, show_.pictures,
                                                     show_.icons, show_.colours, *controls_);
    fileCommands_ =
        std::make_unique<FileCommands>(services.dialogs, this, show_.folders, show_.av, *conditionFile_);
    fileCommands_->showRead = [this] { listsChanged({0, 1, 2}); };
    const std::pair<const char16_t*, void (FileCommands::*)()> fileMenu[] = {
        {u"Menu開く", &FileCommands::openShow},
        {u"Menu上書き保存", &FileCommands::saveShow},
        {u"Menu名前を付けて保存", &FileCommands::saveShowAs}};
    for (const auto& [name, command] : fileMenu)
        connect(findChild<QAction*>(QString::fromUtf16(name)), &QAction::triggered, this,
                [commands = fileCommands_.get(), command = command] { (commands->*command)(); });
    handMarking_ = std::make_unique<HandMarking>(game_, *controls_, services.pump, services.clock, services.random);
    turnView_ = std::make_unique<BoardTurnView>(*controls_, *handMarking_, game_, show_, services.dialogs,
                                                services.random);
    drawCycle_ = std::make_unique<DrawCycle>(game_, show_, *turnView_, services.timers, services.pump, services.media);
    for (QPushButton* button : controls_->drawButtons)
        connect(button, &QPushButton::clicked, drawCycle_.get(), &DrawCycle::startTurn);
    entryReport_->busy = [this] { return drawCycle_->turnInProgress(); };
    connect(drawCycle_.get(), &DrawCycle::turnEnded, this, [this] { entryReport_->showWaiting(); });
    operatorPanel_->nextTurn = [this] {
        return describeNextTurn(game_, show_, controls_->avRandom(), controls_->pictureRandom());
    };
    connect(controls_->stopButton, &QPushButton::clicked, drawCycle_.get(), &DrawCycle::stopRoulette);
    new PresenterKeys(*this, *controls_, *drawCycle_);
    instanceLock_ = new InstanceLock(this);
    connect(instanceLock_, &InstanceLock::frontRequested, this, &MainForm::bringToFront);
    gameKeeper_ = new GameKeeper(game_, show_.folders, *controls_, *drawCycle_, services.dialogs, services.clock, *this);
}

MainForm::~MainForm() = default;

void MainForm::createMenus() {
    auto addMenu = [this](const QString& name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        return menu;
    };
    auto addItem = [](QMenu* menu, const QString& name, const QString& caption, const QKeySequence& keys = {}) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(name);
        action->setShortcut(keys);
        return action;
    };
    QMenu* file = addMenu(QStringLiteral("FileMenu"), QStringLiteral("ファイル(&F)"));
    addItem(file, QStringLiteral("Menu開く"), QStringLiteral("開く(&O)"), QKeySequence(QStringLiteral("Ctrl+O")));
    addItem(file, QStringLiteral("Menu上書き保存"), QStringLiteral("上書き保存(&S)"),
            QKeySequence(QStringLiteral("Ctrl+S")));
    addItem(file, QStringLiteral("Menu名前を付けて保存"), QStringLiteral("名前を付けて保存(&A)"),
            QKeySequence(QStringLiteral("Ctrl+A")));
    file->addSeparator();
    QAction* cards = addItem(file, QStringLiteral("ビンゴカード発行"), QStringLiteral("ビンゴカード発行(&P)"),
                             QKeySequence(QStringLiteral("Ctrl+P")));
    connect(cards, &QAction::triggered, cardDesk_, &CardDesk::printCards);
    QAction* check = addItem(file, QStringLiteral("Menuカード確認"), QStringLiteral("カード確認(&K)"));
    // A presenter's C as well as Ctrl+K: the claim is checked without the mouse.
    check->setShortcuts({QKeySequence(QStringLiteral("Ctrl+K")), QKeySequence(Qt::Key_C)});
    connect(check, &QAction::triggered, cardDesk_, &CardDesk::checkCard);
    file->addSeparator();
    QAction* exit = addItem(file, QStringLiteral("menu終了"), QStringLiteral("終了(&Q)"));
    connect(exit, &QAction::triggered, this, &MainForm::confirmExit);

    QMenu* edit = addMenu(QStringLiteral("Menu編集"), QStringLiteral("編集(&E)"));
    const auto lists = [this] {
        return ListEditing{*this, services_.pump, services_.dialogs, printer_, show_.folders.dataFolder};
    };
    QAction* avEdit = addItem(edit, QStringLiteral("Menu音楽_動画"), QStringLiteral("音楽/動画"));
    connect(avEdit, &QAction::triggered, this, [this, lists] {
        editMusicAndVideos(show_.av, lists());
        listsChanged({0});
    });
    QAction* avCheck = addItem(edit, QStringLiteral("Menu音楽_動画の確認"), QStringLiteral("音楽/動画の確認"));
    connect(avCheck, &QAction::triggered, this, [this] { mediaChecks_->checkMusicAndVideos(); });
    edit->addSeparator();
    QAction* pictureEdit = addItem(edit, QStringLiteral("Menu写真"), QStringLiteral("写真"));
    connect(pictureEdit, &QAction::triggered, this, [this, lists] {
        editPhotos(show_.pictures, lists());
        listsChanged({1});
    });
    QAction* pictureCheck = addItem(edit, QStringLiteral("Menu写真の確認"), QStringLiteral("写真の確認"));
    connect(pictureCheck, &QAction::triggered, this, [this] { mediaChecks_->checkPhotos(); });
    edit->addSeparator();
    QAction* iconEdit = addItem(edit, QStringLiteral("Menuアイコン"), QStringLiteral("抽選開始アイコン"));
    connect(iconEdit, &QAction::triggered, this, [this, lists] {
        editIcons(show_.icons, lists());
        listsChanged({2});
    });
    QAction* iconCheck = addItem(edit, QStringLiteral("Menuアイコンの確認"), QStringLiteral("抽選開始アイコンの確認"));
    connect(iconCheck, &QAction::triggered, this, [this] { mediaChecks_->checkIcons(); });
    edit->addSeparator();
    QAction* colours = addItem(edit, QStringLiteral("Menu画面色の編集"), QStringLiteral("画面色の編集"));
    connect(colours, &QAction::triggered, this, [this] {
        editScreenColours(show_.colours.backColours, show_.colours.foreColours, services_.dialogs,
                          services_.pump);
        applyBoardColours(); // also after a close without applying
    });

    QMenu* settings = addMenu(QStringLiteral("設定Menu"), QStringLiteral("設定(&S)"));
    controls_->avRandomItem = addItem(settings, QStringLiteral("MenuAvランダム"), QStringLiteral("音楽/動画　再生 ランダム"));
    controls_->photoRandomItem = addItem(settings, QStringLiteral("Menu写真描画ランダム"), QStringLiteral("写真描画 ランダム"));
    for (QAction* check : {controls_->avRandomItem, controls_->photoRandomItem}) {
        check->setCheckable(true);
        check->setChecked(true);
        connect(check, &QAction::toggled, this, [this] { operatorPanel_->refresh(); });
    }
    audienceScreens_->addMenuItems(*settings);
    createCardStyleMenu(settings);
    phoneDesk_->addMenuItems(*settings);

    QMenu* help = addMenu(QStringLiteral("Menuヘルプ"), QStringLiteral("ヘルプ(&H)"));
    QAction* readme = addItem(help, QStringLiteral("TxtReadme"), QStringLiteral("操作説明"));
    connect(readme, &QAction::triggered, this, [this] {
        const QString fileName = QStringLiteral("操作説明.txt");
        const EnvironmentFolders& f = show_.folders;
        showHelp(instructionsFolder(f.appFolder, f.mediaSourceFolder, fileName) + fileName, *this,
                 services_.pump);
    });
    help->addSeparator();
    QAction* version = addItem(help, QStringLiteral("Menuバージョン"), QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, &MainForm::showVersion);
}

void MainForm::createCardStyleMenu(QMenu* settings) {
    QMenu* styles = settings->addMenu(QStringLiteral("カードの形式"));
    styles->setObjectName(QStringLiteral("Menuカードの形式"));
    auto* group = new QActionGroup(styles);
    const std::pair<const char16_t*, const char16_t*> items[] = {{u"Menu番号カード", u"番号カード（標準）"},
                                                                 {u"MenuBINGOカード", u"B I N G O カード"}};
    for (int style = 0; style < 2; ++style) {
        QAction* item = styles->addAction(QString::fromUtf16(items[style].second));
        item->setObjectName(QString::fromUtf16(items[style].first));
        item->setCheckable(true);
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, style] {
            show_.folders.cardStyle = style;
            keepSettings();
        });
    }
    connect(styles, &QMenu::aboutToShow, this,
            [group, this] { group->actions().at(show_.folders.cardStyle == 1 ? 1 : 0)->setChecked(true); });
}

// The operator's choices of screen and card style are kept in Halvora.ini at once.
void MainForm::keepSettings() { writeEnvironmentFile(show_.folders, services_.dialogs, this); }

void MainForm::listsChanged(std::initializer_list<std::int16_t> lists) {
    entryReport_->check(lists);
    operatorPanel_->refresh();
}

bool MainForm::load() {
    hide();
    setWindowTitle(kProgramCaption);
    setWindowState(Qt::WindowMaximized);

    if (!isUsableProgramFolder(programFolder_)) {
        const QString shown =
            programFolder_.size() > 80 ? programFolder_.left(80) + QStringLiteral("…") : programFolder_;
        return refuseStart(QStringLiteral("プログラムのフォルダーのパスが長すぎます。\r\n") + shown +
                               QStringLiteral("\r\nパスの短いフォルダーに移してから起動してください。"),
                           MessageKind::Critical);
    }
    // Before anything is read or written: the folder may be another running program's.
    locateAppFolder(programFolder_, userDataFolder_, show_.folders);
    if (!instanceLock_->acquire(show_.folders.appFolder))
        return refuseStart(QStringLiteral("Halvora はこのフォルダーですでに起動しています。\r\n") +
                               show_.folders.appFolder,
                           MessageKind::Warning);
    readEnvironmentSettings(programFolder_, show_.folders, services_.dialogs, this);
    if (show_.folders.dataFolder.isEmpty())
        return refuseStart(QStringLiteral("動作環境ファイルが壊れています\r\n"
                                          "Halvora.ini を削除してから再立ち上げしてください。"),
                           MessageKind::Plain);
    controls_->readColourDefaults(show_.colours);
    game_.setHistoryFolder(show_.folders.historyFolder);
    controls_->stopButton->setEnabled(false);
    controls_->layoutMainWindow(*this);
    showFullScreen();
    audienceScreens_->start();
    initialiseGame();
    services_.random.seed(static_cast<std::uint64_t>(services_.clock.now().toMSecsSinceEpoch()));
    controls_->assignStartIcons(show_.icons, services_.random);
    applyBoardColours();
    cardDesk_->start();
    gameKeeper_->resumeOrStart();
    return true;
}

// The start ends with the message, leaving the folder to whoever comes next.
bool MainForm::refuseStart(const QString& message, MessageKind kind) {
    services_.dialogs.messageBox(this, message, kind);
    instanceLock_->release();
    close();
    return false;
}

// Another start in this folder asked for the running show.
void MainForm::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void MainForm::initialiseGame() {
    MainControls& c = *controls_;
    c.announcement->hide();
    c.videoView->hide();
    c.observe(game_, show_.colours);
    for (std::size_t n = 1; n <= 75; ++n)
        c.boardBoxes[n]->setText(QString::number(n));
    c.selectHitCountIndex(3);
    c.selectDrawTimeIndex(0);
    const EnvironmentFolders& f = show_.folders;
    conditionFile_->readAtStartUp(f.dataFolder + f.conditionFileName, f.appFolder);
    followMovedMedia();
    listsChanged({0, 1, 2});
}

// A show whose media lay in the program's folder before it was moved or copied plays them from where
// they are now; the show file keeps its paths until it is saved.
void MainForm::followMovedMedia() {
    const EnvironmentFolders& f = show_.folders;
    auto follow = [&f](QString& path) {
        const QString moved = movedPath(path, f);
        if (moved != path && QFileInfo::exists(moved))
            path = moved;
    };
    for (int i = 1; i <= std::min<int>(show_.av.count, kListCapacity); ++i)
        follow(show_.av.files[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= std::min<int>(show_.pictures.count, kListCapacity); ++i)
        follow(show_.pictures.files[static_cast<std::size_t>(i)]);
    for (int i = 1; i <= std::min<int>(show_.icons.count, kListCapacity); ++i)
        follow(show_.icons.files[static_cast<std::size_t>(i)]);
}

void MainForm::applyBoardColours() { controls_->applyBoardColours(game_, show_.colours); }

void MainForm::closeEvent(QCloseEvent* event) {
    drawCycle_->endShow();
    phoneDesk_->setAccepting(false);
    audienceScreens_->close();
    QMainWindow::closeEvent(event);
}

void MainForm::confirmExit() {
    const Answer answer = services_.dialogs.messageBox(this, QStringLiteral("ビンゴゲームを終了しますか。"),
                                                    MessageKind::QuestionDefaultNo,
                                                    QStringLiteral("操作確認"));
    if (answer != Answer::Yes)
        return;
    close();
    gameKeeper_->endGame();
}

void MainForm::showVersion() { services_.dialogs.messageBox(this, kProgramCaption, MessageKind::Plain); }

} // namespace halvora
