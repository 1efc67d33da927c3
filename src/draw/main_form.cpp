#include "draw/main_form.h"

#include "draw/colours.h"
#include "media/av_playback.h"
#include "platform/picture_box.h"
#include "platform/picture_file.h"
#include "platform/twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

namespace halvora {

namespace {

const QString kBoardFace = QStringLiteral("ＭＳ Ｐゴシック");

// A frame whose caption stands inside its border, in the band above the first option, so that the
// caption grows with the screen without covering an option.
class CaptionFrame final : public QGroupBox {
public:
    CaptionFrame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setFont(font());
        painter.drawText(rect().adjusted(3, 1, -1, -1), Qt::AlignLeft | Qt::AlignTop, title());
    }
};

enum class BoxRole { Input, Display };

// Captions, counters and the board only show: they never take the keyboard focus or a selection, so
// nothing on the audience screen lights up in the focus colour.
QLineEdit* makeTextBox(QWidget* parent, const QString& name, BoxRole role) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAlignment(Qt::AlignCenter);
    box->setFont(QFont(kBoardFace, 9));
    box->setAutoFillBackground(true);
    if (role == BoxRole::Display) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setContextMenuPolicy(Qt::NoContextMenu);
    }
    return box;
}

void setColour(QWidget* widget, QPalette::ColorRole role, const QString& text) {
    const std::optional<QColor> colour = colourFromText(text);
    if (!colour) // a text that names no colour keeps the control's colour
        return;
    QPalette palette = widget->palette();
    if (palette.color(role) == *colour)
        return;
    palette.setColor(role, *colour);
    widget->setPalette(palette);
}

void setBoxColours(QWidget* box, const QString& back, const QString& fore) {
    setColour(box, QPalette::Base, back);
    setColour(box, QPalette::Text, fore);
}

// Room a control needs around one line of text of its font.
int textMargin(const QWidget* widget) {
    const QStyle* style = widget->style();
    if (qobject_cast<const QLineEdit*>(widget))
        return 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget) + 2;
    if (qobject_cast<const QPushButton*>(widget))
        return 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
    return 0;
}

// A draw-button picture at the button's icon size. Pictures without transparency (bitmaps) are
// drawn on a plain face: the colour of their corner is taken as that face and left out.
QIcon buttonPicture(const QString& path, const QSize& size) {
    QImage image = readPictureAt(path, size, Qt::KeepAspectRatio);
    if (image.isNull())
        return {};
    if (!image.hasAlphaChannel()) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        const QRgb face = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if (line[x] == face)
                    line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QIcon(QPixmap::fromImage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// The largest font at which one line of text and `margin` pixels fit in `height`.
int fitFont(QWidget* widget, int height, int margin) {
    QFont font = widget->font();
    const int size = FitFontToHeight([&](int points) {
        font.setPointSize(points);
        return QFontMetrics(font).height() + margin <= height;
    });
    font.setPointSize(size);
    widget->setFont(font);
    return size;
}

int fitFont(QWidget* widget, int height) { return fitFont(widget, height, textMargin(widget)); }

} // namespace

MainForm::MainForm(Services& services, QString programFolder, QString userDataFolder, QWidget* parent)
    : QMainWindow(parent), services_(services), programFolder_(std::move(programFolder)),
      userDataFolder_(std::move(userDataFolder)),
      conditionFile_(services.dialogs, this, state_.av, state_.pictures, state_.icons, state_.colours, *this),
      抽選時間Timer_(services.timers.createTimer()), 抽選中調整Timer_(services.timers.createTimer()) {
    setObjectName(QStringLiteral("MainForm"));
    createControls();
    createMenus();
    installHitCorrection();
    installDrawCycle();
    setDesignColours();
}

MainForm::~MainForm() = default;

void MainForm::createControls() {
    board_ = new QWidget(this);
    board_->setObjectName(QStringLiteral("MainFormClient"));
    board_->setAutoFillBackground(true);
    setCentralWidget(board_);

    // Created from back to front: later siblings are drawn over earlier ones.
    Img背景画像_ = new QLabel(board_);
    Img背景画像_->setObjectName(QStringLiteral("Img背景画像"));
    Img背景画像_->setScaledContents(true);
    Pic当り発表_ = new PictureBox(board_);
    Pic当り発表_->setObjectName(QStringLiteral("Pic当り発表"));
    Pic当り発表_->setFontName(kBoardFace);
    // Native like the video area, so that it can be put in front of the video for an announcement.
    Pic当り発表_->setAttribute(Qt::WA_NativeWindow);
    Pic動画_ = new QWidget(board_);
    Pic動画_->setObjectName(QStringLiteral("Pic動画"));
    // The player shows the picture in a window of its own inside this native one, which the window
    // system keeps clear of our painting; around the picture and before its first frame it is black.
    Pic動画_->setAttribute(Qt::WA_NativeWindow);
    QPalette videoBackground = Pic動画_->palette();
    videoBackground.setColor(QPalette::Window, Qt::black);
    Pic動画_->setPalette(videoBackground);
    Pic動画_->setAutoFillBackground(true);

    const QString hitCaptions[4] = {QStringLiteral("４つ"), QStringLiteral("３つ"), QStringLiteral("２つ"),
                                    QStringLiteral("１つ")};
    const QString timeCaptions[4] = {QStringLiteral("自動"), QStringLiteral("10秒"), QStringLiteral("５秒"),
                                     QStringLiteral("手動")};
    Frame1_ = new CaptionFrame(QStringLiteral("当たり数"), board_);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame2_ = new CaptionFrame(QStringLiteral("抽選時間"), board_);
    Frame2_->setObjectName(QStringLiteral("Frame2"));
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        Opt当たり数_[i] = new QRadioButton(hitCaptions[i], Frame1_);
        Opt当たり数_[i]->setObjectName(QStringLiteral("Opt当たり数_%1").arg(k));
        Opt抽選時間_[i] = new QRadioButton(timeCaptions[i], Frame2_);
        Opt抽選時間_[i]->setObjectName(QStringLiteral("Opt抽選時間_%1").arg(k));
        connect(Opt抽選時間_[i], &QRadioButton::clicked, this, [this, k] { Opt抽選時間_Click(k); });
    }
    CmdStop_ = new QPushButton(QStringLiteral("STOP"), Frame2_);
    CmdStop_->setObjectName(QStringLiteral("CmdStop"));

    const auto display = [this](const QString& name, const QString& caption = {}) {
        QLineEdit* box = makeTextBox(board_, name, BoxRole::Display);
        box->setText(caption);
        // Not even a selection by dragging: the board boxes keep their double-click.
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        return box;
    };
    TxtLbl回数_ = display(QStringLiteral("TxtLbl回数"), QStringLiteral("回数"));
    TxtLbl参加人数_ = display(QStringLiteral("TxtLbl参加人数"), QStringLiteral("参加者数"));
    txtLbl予想当選者数_ = display(QStringLiteral("txtLbl予想当選者数"), QStringLiteral("予想当選者数"));
    Txt回数_ = display(QStringLiteral("Txt回数"));
    Txt参加人数_ = makeTextBox(board_, QStringLiteral("Txt参加人数"), BoxRole::Input);
    txt予想当選者数_ = display(QStringLiteral("txt予想当選者数"));
    Text2_ = display(QStringLiteral("Text2"));

    for (std::size_t n = 1; n <= 75; ++n)
        Text1_[n] = makeTextBox(board_, QStringLiteral("Text1_%1").arg(n), BoxRole::Display);
    for (std::size_t b = 0; b < 4; ++b) {
        Command1_[b] = new QPushButton(QStringLiteral("回す"), board_);
        Command1_[b]->setObjectName(QStringLiteral("Command1_%1").arg(b));
    }
    keepInFrontOfVideo();
}

// A native window covers every sibling that is not one, and the video area must be native for the
// player: so everything in front of it is made native too, and the roulette still flashes over the
// video.
void MainForm::keepInFrontOfVideo() {
    const QObjectList& siblings = board_->children();
    for (qsizetype i = siblings.indexOf(Pic動画_) + 1; i < siblings.size(); ++i)
        if (auto* widget = qobject_cast<QWidget*>(siblings[i]))
            widget->setAttribute(Qt::WA_NativeWindow);
}

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
    addItem(file, QStringLiteral("ビンゴカード発行"), QStringLiteral("ビンゴカード発行(&P)"),
            QKeySequence(QStringLiteral("Ctrl+P")));
    file->addSeparator();
    QAction* exit = addItem(file, QStringLiteral("menu終了"), QStringLiteral("終了(&Q)"));
    connect(exit, &QAction::triggered, this, &MainForm::menu終了_Click);

    QMenu* edit = addMenu(QStringLiteral("Menu編集"), QStringLiteral("編集(&E)"));
    addItem(edit, QStringLiteral("Menu音楽_動画"), QStringLiteral("音楽/動画"));
    addItem(edit, QStringLiteral("Menu音楽_動画の確認"), QStringLiteral("音楽/動画の確認"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Menu写真"), QStringLiteral("写真"));
    addItem(edit, QStringLiteral("Menu写真の確認"), QStringLiteral("写真の確認"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Menuアイコン"), QStringLiteral("抽選開始アイコン"));
    addItem(edit, QStringLiteral("Menuアイコンの確認"), QStringLiteral("抽選開始アイコンの確認"));
    edit->addSeparator();
    addItem(edit, QStringLiteral("Menu画面色の編集"), QStringLiteral("画面色の編集"));

    QMenu* settings = addMenu(QStringLiteral("設定Menu"), QStringLiteral("設定(S)"));
    MenuAvランダム_ = addItem(settings, QStringLiteral("MenuAvランダム"), QStringLiteral("音楽/動画　再生 ランダム"));
    Menu写真描画ランダム_ = addItem(settings, QStringLiteral("Menu写真描画ランダム"), QStringLiteral("写真描画 ランダム"));
    for (QAction* check : {MenuAvランダム_, Menu写真描画ランダム_}) {
        check->setCheckable(true);
        check->setChecked(true);
    }

    QMenu* help = addMenu(QStringLiteral("Menuヘルプ"), QStringLiteral("ヘルプ(&H)"));
    addItem(help, QStringLiteral("TxtReadme"), QStringLiteral("操作説明"));
    help->addSeparator();
    QAction* version = addItem(help, QStringLiteral("Menuバージョン"), QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, &MainForm::Menuバージョン_Click);

    // Shown only as the pop-up of a board box.
    Menu当り修正_ = new QMenu(QStringLiteral("当り修正"), this);
    Menu当り修正_->setObjectName(QStringLiteral("Menu当り修正"));
    addItem(Menu当り修正_, QStringLiteral("Menu当り"), QStringLiteral("当り設定"));
    addItem(Menu当り修正_, QStringLiteral("Menu当り_効果付き"), QStringLiteral("当り設定(効果付き)"));
    addItem(Menu当り修正_, QStringLiteral("Menu解除"), QStringLiteral("当り解除"));
}

void MainForm::setDesignColours() {
    auto paint = [](QWidget* widget, QPalette::ColorRole back, QColor b, QPalette::ColorRole fore, QColor f) {
        QPalette palette = widget->palette();
        palette.setColor(back, b);
        palette.setColor(fore, f);
        widget->setPalette(palette);
    };
    paint(board_, QPalette::Window, Qt::black, QPalette::WindowText, Qt::black);
    paint(Text2_, QPalette::Base, QColor(0, 128, 0), QPalette::Text, QColor(255, 0, 0));
    for (std::size_t n = 1; n <= 75; ++n)
        paint(Text1_[n], QPalette::Base, QColor(64, 64, 64), QPalette::Text, Qt::black);
    // The frames keep the platform's face colour, so their captions stay readable on any window colour.
    const QPalette face = QApplication::palette();
    for (QGroupBox* frame : {Frame1_, Frame2_}) {
        frame->setAutoFillBackground(true);
        QPalette palette = frame->palette();
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText, QPalette::Button,
                                         QPalette::ButtonText, QPalette::Base, QPalette::Text})
            palette.setColor(role, face.color(role));
        frame->setPalette(palette);
    }
}

void MainForm::readColourDefaults() {
    ScreenColours& c = state_.colours;
    c.BackColors[0] = colourText(board_->palette().color(QPalette::Window));
    c.ForeColors[0] = colourText(board_->palette().color(QPalette::WindowText));
    c.BackColors[1] = colourText(Text2_->palette().color(QPalette::Base));
    c.ForeColors[1] = colourText(Text2_->palette().color(QPalette::Text));
    c.BackColors[2] = colourText(64, 64, 64);
    c.BackColors[3] = colourText(128, 255, 128);
    c.BackColors[4] = colourText(255, 128, 128);
    const QString boxText = colourText(Text1_[1]->palette().color(QPalette::Text));
    c.ForeColors[2] = c.ForeColors[3] = c.ForeColors[4] = boxText;
}

bool MainForm::load() {
    hide();
    setWindowTitle(kProgramCaption);
    setWindowState(Qt::WindowMaximized);

    ReadEnvironmentFile(programFolder_, userDataFolder_, state_.folders, services_.dialogs, this);
    if (state_.folders.DataFolder.isEmpty()) {
        services_.dialogs.messageBox(this,
                                     QStringLiteral("動作環境ファイルが壊れています\r\n"
                                                    "Halvora.ini を削除してから再立ち上げしてください。"),
                                     MsgBox::OkOnly);
        close();
        return false;
    }
    readColourDefaults();
    state_.DrawCount = 0;
    抽選中調整Timer_->setEnabled(false);
    抽選時間Timer_->setEnabled(false);
    CmdStop_->setEnabled(false);
    LayoutMainWindow();
    showFullScreen();
    InitialiseGame();
    FillBingoProbability(state_.BingoProbability);
    services_.random.seed(static_cast<std::uint64_t>(services_.clock.now().toMSecsSinceEpoch()));
    AssignStartIcons();
    ApplyBoardColours();
    return true;
}

void MainForm::InitialiseGame() {
    抽選時間Timer_->setEnabled(false);
    Pic当り発表_->hide();
    Pic動画_->hide();
    Txt回数_->setText(QStringLiteral("0"));
    Txt参加人数_->setText(QStringLiteral("1"));
    for (std::size_t n = 1; n <= 75; ++n)
        Text1_[n]->setText(QString::number(n));
    selectHitCountIndex(3);
    selectDrawTimeIndex(0);
    const EnvironmentFolders& f = state_.folders;
    conditionFile_.readAtStartUp(f.DataFolder + f.ConditionFileName, f.AppFolder);
    reportUnplayableMedia();
}

// Told once when the show is loaded, so that no turn has to stop for it.
void MainForm::reportUnplayableMedia() {
    QStringList files;
    for (int i = 1; i <= state_.av.AvCount; ++i)
        files << state_.av.AvFile[static_cast<std::size_t>(i)];
    AV再生Sub::ReportUnplayableNames(services_.dialogs, this, files);
}

void MainForm::LayoutMainWindow() {
    const QScreen* screen = this->screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    twipsPerPixel_ = twipsPerPixel(screen);
    // Menus and message boxes grow with the screen as the board does.
    QFont font = QApplication::font();
    font.setPointSize(ScreenFontPoints(area.height()));
    QApplication::setFont(font);
    setGeometry(area);
    // The board fills what the menu bar leaves of the screen.
    const int clientHeight = area.height() - menuBar()->sizeHint().height();
    layout_ = computeBoardLayout(pixelsToTwips(area.width(), twipsPerPixel_),
                                 pixelsToTwips(clientHeight, twipsPerPixel_));
    placeControls(twipsPerPixel_);
    fitFonts();
}

void MainForm::placeControls(double perPixel) {
    auto place = [perPixel](QWidget* widget, const QRectF& twips) {
        widget->setGeometry(twipsToPixels(twips, perPixel));
    };
    const BoardLayout& l = layout_;
    for (std::size_t n = 1; n <= 75; ++n)
        place(Text1_[n], l.Text1[n]);
    place(Text2_, l.Text2);
    place(TxtLbl回数_, l.TxtLbl回数);
    place(TxtLbl参加人数_, l.TxtLbl参加人数);
    place(txtLbl予想当選者数_, l.txtLbl予想当選者数);
    place(Txt回数_, l.Txt回数);
    place(Txt参加人数_, l.Txt参加人数);
    place(txt予想当選者数_, l.txt予想当選者数);
    for (std::size_t b = 0; b < 4; ++b) {
        place(Command1_[b], l.Command1[b]);
        place(Opt当たり数_[b], l.Opt当たり数[b]);
        place(Opt抽選時間_[b], l.Opt抽選時間[b]);
    }
    place(Frame1_, l.Frame1);
    place(Frame2_, l.Frame2);
    place(CmdStop_, l.CmdStop);
    place(Pic当り発表_, l.Pic当り発表);
    Pic当り発表_->setTwipsPerPixel(perPixel);
    place(Pic動画_, l.Pic動画);
    place(Img背景画像_, l.Img背景画像);
}

void MainForm::fitFonts() {
    const int boardSize = fitFont(Text1_[1], Text1_[1]->height());
    for (std::size_t n = 2; n <= 75; ++n) {
        QFont font = Text1_[n]->font();
        font.setPointSize(boardSize);
        Text1_[n]->setFont(font);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Text2_, TxtLbl回数_, TxtLbl参加人数_, txtLbl予想当選者数_,
                                                      Txt回数_, Txt参加人数_, txt予想当選者数_})
        fitFont(w, w->height());
    for (std::size_t k = 0; k < 4; ++k) {
        fitFont(Opt当たり数_[k], Opt当たり数_[k]->height());
        fitFont(Opt抽選時間_[k], Opt抽選時間_[k]->height());
    }
    fitFont(CmdStop_, CmdStop_->height());
    // A frame's caption stands inside its border, in the band above the first option.
    for (QGroupBox* frame : {Frame1_, Frame2_})
        fitFont(frame, Opt当たり数_[0]->y(), 1);
    // The caption under the picture takes a sixth of the button.
    const int icon = std::min(Command1_[0]->width(), Command1_[0]->height()) * 3 / 5;
    for (QPushButton* button : Command1_) {
        button->setIconSize(QSize(icon, icon));
        fitFont(button, button->height() / 6, 0);
    }
}

void MainForm::ApplyBoardColours() {
    const ScreenColours& c = state_.colours;
    setColour(board_, QPalette::Window, c.BackColors[0]);
    setColour(board_, QPalette::WindowText, c.ForeColors[0]);
    setBoxColours(Text2_, c.BackColors[1], c.ForeColors[1]);
    for (std::size_t n = 1; n <= 75; ++n) {
        std::size_t row = 2;
        if (state_.DrawnFlag[n] != 0)
            row = state_.LatestFlag[n] != 0 ? 4 : 3;
        setBoxColours(Text1_[n], c.BackColors[row], c.ForeColors[row]);
        Text1_[n]->setVisible(true);
    }
}

void MainForm::PaintBoardBox(std::size_t n, std::size_t row) {
    setBoxColours(Text1_[n], state_.colours.BackColors[row], state_.colours.ForeColors[row]);
}

std::int32_t MainForm::F_選出数字(std::int16_t max) {
    if (max < 1)
        return 1;
    const float r = services_.random.next();
    // The first six decimals of the value written with ten decimals.
    const QString t = QString::number(static_cast<double>(r), 'f', 10);
    const std::int32_t d = t.mid(2, 6).toInt();
    return d % max + 1;
}

void MainForm::AssignStartIcons() {
    const int count = state_.icons.IconCount;
    if (count <= 0)
        return;
    std::array<std::int16_t, 301> free{};
    auto refill = [&] {
        bool any = false;
        for (int j = 1; j <= count; ++j) {
            const bool usable = !state_.icons.IconFile[static_cast<std::size_t>(j)].trimmed().isEmpty();
            free[static_cast<std::size_t>(j)] = usable ? 1 : 0;
            any = any || usable;
        }
        return any;
    };
    std::size_t b = 0;
    while (b <= 3) {
        const auto k = static_cast<std::size_t>(F_選出数字(static_cast<std::int16_t>(count)));
        if (free[k] == 1) {
            // A picture that cannot be loaded leaves the button bare.
            Command1_[b]->setIcon(buttonPicture(state_.icons.IconFile[k], Command1_[b]->iconSize()));
            free[k] = 0;
            ++b;
        }
        const bool poolEmpty = std::none_of(free.begin() + 1, free.begin() + count + 1,
                                            [](std::int16_t f) { return f == 1; });
        // A list of blank names could never fill the pool: leave the buttons as they are.
        if (poolEmpty && !refill())
            return;
    }
}

void MainForm::Opt抽選時間_Click(int index) { CmdStop_->setVisible(index == 3); }

void MainForm::menu終了_Click() {
    const int answer = services_.dialogs.messageBox(this, QStringLiteral("ビンゴゲームを終了しますか。"),
                                                    MsgBox::YesNo | MsgBox::Question | MsgBox::DefaultButton2,
                                                    QStringLiteral("操作確認"));
    if (answer == MsgBox::Yes)
        close();
}

void MainForm::Menuバージョン_Click() { services_.dialogs.messageBox(this, kProgramCaption, MsgBox::OkOnly); }

QString MainForm::participantsText() const { return Txt参加人数_->text(); }
void MainForm::setParticipantsText(const QString& text) { Txt参加人数_->setText(text); }
bool MainForm::avRandom() const { return MenuAvランダム_->isChecked(); }
void MainForm::setAvRandom(bool checked) { MenuAvランダム_->setChecked(checked); }
bool MainForm::pictureRandom() const { return Menu写真描画ランダム_->isChecked(); }
void MainForm::setPictureRandom(bool checked) { Menu写真描画ランダム_->setChecked(checked); }

namespace {
int firstChecked(const std::array<QRadioButton*, 4>& group) {
    for (std::size_t k = 0; k < group.size(); ++k)
        if (group[k]->isChecked())
            return static_cast<int>(k);
    return -1;
}
} // namespace

int MainForm::selectedHitCountIndex() const { return firstChecked(Opt当たり数_); }
void MainForm::selectHitCountIndex(int index) {
    Opt当たり数_[static_cast<std::size_t>(std::clamp(index, 0, 3))]->setChecked(true);
}
int MainForm::selectedDrawTimeIndex() const { return firstChecked(Opt抽選時間_); }
void MainForm::selectDrawTimeIndex(int index) {
    index = std::clamp(index, 0, 3);
    Opt抽選時間_[static_cast<std::size_t>(index)]->setChecked(true);
    Opt抽選時間_Click(index);
}

} // namespace halvora
