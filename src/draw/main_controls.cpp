#include "draw/main_controls.h"

#include "common/number_text.h"
#include "platform/colours.h"
#include "game/game.h"
#include "platform/picture_box.h"
#include "platform/picture_file.h"
#include "platform/video_view.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <utility>

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

// Captions and counters: not even a selection by dragging.
QLineEdit* makeCaption(QWidget* parent, const QString& name, const QString& caption = {}) {
    QLineEdit* box = makeTextBox(parent, name, BoxRole::Display);
    box->setText(caption);
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    return box;
}

void setBoxColours(QWidget* box, const QString& back, const QString& fore) {
    setColour(box, QPalette::Base, back);
    setColour(box, QPalette::Text, fore);
}

void paint(QWidget* widget, QPalette::ColorRole back, QColor b, QPalette::ColorRole fore, QColor f) {
    QPalette palette = widget->palette();
    palette.setColor(back, b);
    palette.setColor(fore, f);
    widget->setPalette(palette);
}

int firstChecked(const std::array<QRadioButton*, 4>& group) {
    for (std::size_t k = 0; k < group.size(); ++k)
        if (group[k]->isChecked())
            return static_cast<int>(k);
    return -1;
}

} // namespace

MainControls::MainControls(QWidget& board) : board(board) {
    board.setObjectName(QStringLiteral("MainFormClient"));
    board.setAutoFillBackground(true);
    // Created from back to front: later siblings are drawn over earlier ones.
    createPictureAreas();
    createOptionFrames();
    createBoxes();
    for (std::size_t b = 0; b < 4; ++b) {
        drawButtons[b] = new QPushButton(QStringLiteral("回す"), &board);
        drawButtons[b]->setObjectName(QStringLiteral("Command1_%1").arg(b));
    }
    setDesignColours();
}

void MainControls::createPictureAreas() {
    photo = new QLabel(&board);
    photo->setObjectName(QStringLiteral("Img背景画像"));
    // Around a photo of another shape the board's own colour shows.
    photo->setAlignment(Qt::AlignCenter);
    announcement = new PictureBox(&board);
    announcement->setObjectName(QStringLiteral("Pic当り発表"));
    announcement->setFontName(kBoardFace);
    videoView = new VideoView(&board);
    videoView->setObjectName(QStringLiteral("Pic動画"));
}

void MainControls::createOptionFrames() {
    const QString hitCaptions[4] = {QStringLiteral("４つ"), QStringLiteral("３つ"), QStringLiteral("２つ"),
                                    QStringLiteral("１つ")};
    const QString timeCaptions[4] = {QStringLiteral("自動"), QStringLiteral("10秒"), QStringLiteral("５秒"),
                                     QStringLiteral("手動")};
    hitCountFrame = new CaptionFrame(QStringLiteral("当たり数"), &board);
    hitCountFrame->setObjectName(QStringLiteral("Frame1"));
    drawTimeFrame = new CaptionFrame(QStringLiteral("抽選時間"), &board);
    drawTimeFrame->setObjectName(QStringLiteral("Frame2"));
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        hitCountOptions[i] = new QRadioButton(hitCaptions[i], hitCountFrame);
        hitCountOptions[i]->setObjectName(QStringLiteral("Opt当たり数_%1").arg(k));
        drawTimeOptions[i] = new QRadioButton(timeCaptions[i], drawTimeFrame);
        drawTimeOptions[i]->setObjectName(QStringLiteral("Opt抽選時間_%1").arg(k));
    }
    stopButton = new QPushButton(QStringLiteral("STOP"), drawTimeFrame);
    stopButton->setObjectName(QStringLiteral("CmdStop"));
    // STOP is shown only while "手動" is chosen.
    for (int k = 0; k < 4; ++k)
        QObject::connect(drawTimeOptions[static_cast<std::size_t>(k)], &QRadioButton::clicked, stopButton,
                         [this, k] { stopButton->setVisible(k == 3); });
}

void MainControls::createBoxes() {
    counterCaption = makeCaption(&board, QStringLiteral("TxtLbl回数"), QStringLiteral("回数"));
    participantsCaption = makeCaption(&board, QStringLiteral("TxtLbl参加人数"), QStringLiteral("参加者数"));
    expectedWinnersCaption = makeCaption(&board, QStringLiteral("txtLbl予想当選者数"), QStringLiteral("予想当選者数"));
    counterBox = makeCaption(&board, QStringLiteral("Txt回数"));
    participantsBox = makeTextBox(&board, QStringLiteral("Txt参加人数"), BoxRole::Input);
    expectedWinnersBox = makeCaption(&board, QStringLiteral("txt予想当選者数"));
    panel = makeCaption(&board, QStringLiteral("Text2"));
    // The board boxes keep their double-click for hit correction.
    for (std::size_t n = 1; n <= 75; ++n)
        boardBoxes[n] = makeTextBox(&board, QStringLiteral("Text1_%1").arg(n), BoxRole::Display);
}

void MainControls::setDesignColours() {
    paint(&board, QPalette::Window, Qt::black, QPalette::WindowText, Qt::black);
    paint(panel, QPalette::Base, QColor(0, 128, 0), QPalette::Text, QColor(255, 0, 0));
    for (std::size_t n = 1; n <= 75; ++n)
        paint(boardBoxes[n], QPalette::Base, QColor(64, 64, 64), QPalette::Text, Qt::black);
    for (QGroupBox* frame : {hitCountFrame, drawTimeFrame})
        keepPlatformColours(frame);
}

void MainControls::readColourDefaults(ScreenColours& c) const {
    c.backColours[0] = colourText(board.palette().color(QPalette::Window));
    c.foreColours[0] = colourText(board.palette().color(QPalette::WindowText));
    c.backColours[1] = colourText(panel->palette().color(QPalette::Base));
    c.foreColours[1] = colourText(panel->palette().color(QPalette::Text));
    c.backColours[2] = colourText(64, 64, 64);
    c.backColours[3] = colourText(128, 255, 128);
    c.backColours[4] = colourText(255, 128, 128);
    const QString boxText = colourText(boardBoxes[1]->palette().color(QPalette::Text));
    c.foreColours[2] = c.foreColours[3] = c.foreColours[4] = boxText;
}

void MainControls::observe(Game& game, const ScreenColours& colours) {
    game_ = &game;
    QObject::connect(&game, &Game::numberChanged, &board, [this, &game, &colours](int n) {
        paintBoardBox(static_cast<std::size_t>(n), colours, game.isDrawn(n) ? 3 : 2);
    });
    // The roulette changes the panel four times a second: the other boxes are left alone then, and
    // the participants box keeps its cursor while the operator types.
    auto showTexts = [this, &game] {
        for (const auto& [box, text] : {std::pair{counterBox, game.counterText()},
                                        std::pair{participantsBox, game.participants()},
                                        std::pair{expectedWinnersBox, game.expectedWinners()},
                                        std::pair{panel, game.panel()}})
            if (box->text() != text)
                box->setText(text);
    };
    QObject::connect(&game, &Game::textsChanged, &board, showTexts);
    QObject::connect(&game, &Game::restored, &board, [this, &game, &colours] { applyBoardColours(game, colours); });
    QObject::connect(participantsBox, &QLineEdit::textEdited, &game, &Game::setParticipants);
    showTexts();
}

void MainControls::applyBoardColours(const Game& game, const ScreenColours& c) {
    for (QWidget* back : {&board, stage_}) {
        setColour(back, QPalette::Window, c.backColours[0]);
        setColour(back, QPalette::WindowText, c.foreColours[0]);
    }
    setBoxColours(panel, c.backColours[1], c.foreColours[1]);
    for (std::size_t n = 1; n <= 75; ++n) {
        std::size_t row = 2;
        if (game.isDrawn(static_cast<int>(n)))
            row = game.isLatest(static_cast<int>(n)) ? 4 : 3;
        setBoxColours(boardBoxes[n], c.backColours[row], c.foreColours[row]);
        boardBoxes[n]->setVisible(true);
    }
}

void MainControls::paintBoardBox(std::size_t n, const ScreenColours& colours, std::size_t row) {
    setBoxColours(boardBoxes[n], colours.backColours[row], colours.foreColours[row]);
}

void MainControls::showDrawButtons(bool shown) {
    for (QPushButton* button : drawButtons) {
        button->setEnabled(shown);
        button->setVisible(shown);
    }
    if (shown && announcement->isVisible())
        uncoverAnnouncedNumber();
}

void MainControls::stackAnnouncement(AnnouncementLayer layer) {
    layer_ = layer;
    switch (layer) {
    case AnnouncementLayer::Resting:
        announcement->stackUnder(videoView);
        announcement->setSeeThrough(false);
        clearNumberCuts();
        break;
    case AnnouncementLayer::OverPhotoAndVideo:
        // The first of the texts and boxes: nothing else on the stage lies in front of the area.
        announcement->stackUnder(counterCaption);
        announcement->setSeeThrough(false);
        break;
    case AnnouncementLayer::OverBoard:
        announcement->raise();
        if (drawButtons[0]->parentWidget() == stage_)
            announcement->stackUnder(drawButtons[0]);
        announcement->setSeeThrough(true);
        break;
    }
}

std::vector<QWidget*> MainControls::boardControls() const {
    std::vector<QWidget*> controls{photo,     announcement, videoView,         counterCaption,
                                   participantsCaption, expectedWinnersCaption, counterBox, participantsBox,
                                   expectedWinnersBox,  panel};
    controls.insert(controls.end(), boardBoxes.begin() + 1, boardBoxes.end());
    for (QWidget* phones : {phoneJoin, phoneBanner})
        if (phones)
            controls.push_back(phones);
    return controls;
}

void MainControls::moveBoardTo(QWidget& stage) {
    if (&stage == stage_)
        return;
    clearNumberCuts();
    for (QWidget* control : boardControls()) {
        const bool shown = !control->isHidden();
        control->setParent(&stage);
        control->setVisible(shown);
    }
    stage_ = &stage;
    stage.setAutoFillBackground(true);
    QPalette ground = stage.palette();
    ground.setColor(QPalette::Window, board.palette().color(QPalette::Window));
    stage.setPalette(ground);
    showOnStageOnly(&stage != &board);
    restack();
}

// The window's own back-to-front order, kept on whichever stage the board is.
void MainControls::restack() {
    std::vector<QWidget*> order = boardControls();
    order.insert(order.begin() + 3, {hitCountFrame, drawTimeFrame});
    order.insert(order.end(), drawButtons.begin(), drawButtons.end());
    for (QWidget* control : order)
        if (control->parentWidget() == stage_)
            control->raise();
    stackAnnouncement(layer_);
}

// On the audience's stage the participants box only shows (the operator types into their own), and
// no control shows the mouse pointer.
void MainControls::showOnStageOnly(bool audience) {
    participantsBox->setReadOnly(audience);
    participantsBox->setFocusPolicy(audience ? Qt::NoFocus : Qt::StrongFocus);
    for (QWidget* control : boardControls()) {
        if (audience)
            control->setCursor(Qt::BlankCursor);
        else if (auto* box = qobject_cast<QLineEdit*>(control))
            box->setCursor(box->isReadOnly() ? Qt::ArrowCursor : Qt::IBeamCursor);
        else
            control->unsetCursor();
    }
}

void MainControls::uncoverAnnouncedNumber() {
    clearNumberCuts();
    // The glyphs with a thin edge around them, so the number stays legible over a button.
    const QRegion glyphs = announcement->lastPrintInk().translated(announcement->pos());
    QRegion number = glyphs;
    for (const QPoint shift : {QPoint(-2, 0), QPoint(2, 0), QPoint(0, -2), QPoint(0, 2)})
        number += glyphs.translated(shift);
    const QObjectList& stack = stage_->children();
    for (qsizetype i = stack.indexOf(announcement) + 1; i < stack.size(); ++i) {
        auto* widget = qobject_cast<QWidget*>(stack[i]);
        if (!widget || !widget->isVisible() || !number.intersects(widget->geometry()))
            continue;
        widget->setMask(QRegion(widget->rect()) - number.translated(-widget->pos()));
        cutForNumber_.push_back(widget);
    }
}

void MainControls::clearNumberCuts() {
    for (QWidget* widget : cutForNumber_)
        widget->clearMask();
    cutForNumber_.clear();
}

bool MainControls::showPhoto(const QString& path) {
    const QSize area = photo->size();
    QImage picture = readPictureAt(path, area, Qt::KeepAspectRatio);
    if (picture.isNull())
        return false;
    // A small photo is enlarged to the area, as a large one is reduced to it.
    if (const QSize fitted = picture.size().scaled(area, Qt::KeepAspectRatio); fitted != picture.size())
        picture = picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    photo->setPixmap(QPixmap::fromImage(picture));
    return true;
}

void MainControls::hideBoard() {
    for (std::size_t n = 1; n <= 75; ++n)
        boardBoxes[n]->hide();
}

void MainControls::showBox(int n) { boardBoxes[static_cast<std::size_t>(n)]->show(); }
void MainControls::showPanel(bool shown) { panel->setVisible(shown); }
void MainControls::setStopEnabled(bool enabled) { stopButton->setEnabled(enabled); }
bool MainControls::drawButtonsReady() const { return drawButtons[0]->isVisible() && drawButtons[0]->isEnabled(); }
bool MainControls::stopReady() const { return stopButton->isVisible() && stopButton->isEnabled(); }
void MainControls::showVideoArea(bool shown) { videoView->setVisible(shown); }
void MainControls::showPhotoArea() { photo->setVisible(true); }
void MainControls::hidePhoto() { photo->hide(); }
void MainControls::clearPhoto() { photo->clear(); }
void MainControls::stopAnnouncementDrawing() { announcement->claim(); }
QWidget* MainControls::owner() const { return board.window(); }

QString MainControls::participantsText() const { return participantsBox->text(); }
void MainControls::setParticipantsText(const QString& text) {
    if (game_)
        game_->setParticipants(text);
    else
        participantsBox->setText(text);
}
bool MainControls::avRandom() const { return avRandomItem->isChecked(); }
void MainControls::setAvRandom(bool checked) { avRandomItem->setChecked(checked); }
bool MainControls::pictureRandom() const { return photoRandomItem->isChecked(); }
void MainControls::setPictureRandom(bool checked) { photoRandomItem->setChecked(checked); }
int MainControls::selectedHitCountIndex() const { return firstChecked(hitCountOptions); }
void MainControls::selectHitCountIndex(int index) {
    hitCountOptions[static_cast<std::size_t>(std::clamp(index, 0, 3))]->setChecked(true);
}
int MainControls::selectedDrawTimeIndex() const { return firstChecked(drawTimeOptions); }
void MainControls::selectDrawTimeIndex(int index) {
    index = std::clamp(index, 0, 3);
    drawTimeOptions[static_cast<std::size_t>(index)]->setChecked(true);
    stopButton->setVisible(index == 3);
}

} // namespace halvora
