// The main window's layout for its screen, its fitted fonts and the draw buttons' pictures.
#include "draw/main_controls.h"

#include "platform/random_pick.h"
#include "platform/picture_box.h"
#include "platform/picture_file.h"
#include "platform/twips.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace halvora {

namespace {

// Room a control needs around one line of text of its font.
int textMargin(const QWidget* widget) {
    const QStyle* style = widget->style();
    if (qobject_cast<const QLineEdit*>(widget))
        return 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget) + 2;
    if (qobject_cast<const QPushButton*>(widget))
        return 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, widget);
    return 0;
}

// The largest font at which one line of text and `margin` pixels fit in `height`.
int fitFont(QWidget* widget, int height, int margin) {
    QFont font = widget->font();
    const int size = fitFontToHeight([&](int points) {
        font.setPointSize(points);
        return QFontMetrics(font).height() + margin <= height;
    });
    font.setPointSize(size);
    widget->setFont(font);
    return size;
}

int fitFont(QWidget* widget) { return fitFont(widget, widget->height(), textMargin(widget)); }

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

} // namespace

void MainControls::layoutMainWindow(QMainWindow& window) {
    const QScreen* screen = window.screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    twipsPerPixel_ = halvora::twipsPerPixel(screen);
    // Menus and message boxes grow with the screen as the board does.
    QFont font = QApplication::font();
    font.setPointSize(screenFontPoints(area.height()));
    QApplication::setFont(font);
    window.setGeometry(area);
    // The board fills what the menu bar leaves of the screen.
    const int clientHeight = area.height() - window.menuBar()->sizeHint().height();
    layout_ = computeBoardLayout(pixelsToTwips(area.width(), twipsPerPixel_),
                                 pixelsToTwips(clientHeight, twipsPerPixel_));
    placeOperatorControls();
    fitOperatorFonts();
    if (boardOnOwnWindow()) {
        placeBoardControls(layout_, twipsPerPixel_);
        fitBoardFonts();
    }
}

void MainControls::layoutStage(QSize size, double twipsPerPixel) {
    if (boardOnOwnWindow())
        return;
    placeBoardControls(computeBoardLayout(pixelsToTwips(size.width(), twipsPerPixel),
                                          pixelsToTwips(size.height(), twipsPerPixel)),
                       twipsPerPixel);
    fitBoardFonts();
}

void MainControls::placeBoardControls(const BoardLayout& l, double twipsPerPixel) {
    auto place = [twipsPerPixel](QWidget* widget, const QRectF& twips) {
        widget->setGeometry(twipsToPixels(twips, twipsPerPixel));
    };
    for (std::size_t n = 1; n <= 75; ++n)
        place(boardBoxes[n], l.boardBoxes[n]);
    place(panel, l.panel);
    place(counterCaption, l.counterCaption);
    place(participantsCaption, l.participantsCaption);
    place(expectedWinnersCaption, l.expectedWinnersCaption);
    place(counterBox, l.counterBox);
    place(participantsBox, l.participantsBox);
    place(expectedWinnersBox, l.expectedWinnersBox);
    place(announcement, l.announcement);
    announcement->setTwipsPerPixel(twipsPerPixel);
    place(videoView, l.videoView);
    place(photo, l.photo);
    for (const auto& [widget, twips] : {std::pair{phoneJoin, l.phoneJoin}, std::pair{phoneBanner, l.phoneBanner}})
        if (widget)
            place(widget, twips);
}

void MainControls::placeOperatorControls() {
    auto place = [this](QWidget* widget, const QRectF& twips) {
        widget->setGeometry(twipsToPixels(twips, twipsPerPixel_));
    };
    const BoardLayout& l = layout_;
    for (std::size_t b = 0; b < 4; ++b) {
        place(drawButtons[b], l.drawButtons[b]);
        place(hitCountOptions[b], l.hitCountOptions[b]);
        place(drawTimeOptions[b], l.drawTimeOptions[b]);
    }
    place(hitCountFrame, l.hitCountFrame);
    place(drawTimeFrame, l.drawTimeFrame);
    place(stopButton, l.stopButton);
    for (const auto& [widget, twips] : {std::pair{mirror, l.mirror}, std::pair{operatorPanel, l.operatorPanel}}) {
        if (!widget)
            continue;
        place(widget, twips);
        widget->setVisible(!boardOnOwnWindow());
    }
    QFont larger = QApplication::font();
    larger.setPointSize(larger.pointSize() * 3 / 2);
    if (operatorPanel)
        operatorPanel->setFont(larger);
    if (cardCounts) {
        place(cardCounts, l.cardCounts);
        cardCounts->setFont(larger);
    }
}

void MainControls::fitBoardFonts() {
    const int boardSize = fitFont(boardBoxes[1]);
    for (std::size_t n = 2; n <= 75; ++n) {
        QFont font = boardBoxes[n]->font();
        font.setPointSize(boardSize);
        boardBoxes[n]->setFont(font);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{panel, counterCaption, participantsCaption,
                                                      expectedWinnersCaption, counterBox, participantsBox,
                                                      expectedWinnersBox})
        fitFont(w);
}

void MainControls::fitOperatorFonts() {
    fitFont(stopButton);
    for (std::size_t k = 0; k < 4; ++k) {
        for (QRadioButton* option : {hitCountOptions[k], drawTimeOptions[k]}) {
            fitFont(option);
            // The dot grows with its caption, or it is lost beside large text on a large screen.
            const int dot = std::max(13, QFontMetrics(option->font()).height() * 3 / 4);
            option->setStyleSheet(QStringLiteral("QRadioButton::indicator { width: %1px; height: %1px; }").arg(dot));
        }
    }
    // A frame's caption stands inside its border, in the band above the first option.
    for (QGroupBox* frame : {hitCountFrame, drawTimeFrame})
        fitFont(frame, hitCountOptions[0]->y(), 1);
    // The caption under the picture takes a sixth of the button.
    const int icon = std::min(drawButtons[0]->width(), drawButtons[0]->height()) * 3 / 5;
    for (QPushButton* button : drawButtons) {
        button->setIconSize(QSize(icon, icon));
        fitFont(button, button->height() / 6, 0);
    }
}

void MainControls::putButtonPicture(std::size_t b, const QString& path) {
    drawButtons[b]->setIcon(buttonPicture(path, drawButtons[b]->iconSize()));
}

void MainControls::assignStartIcons(const IconList& icons, Random& random) {
    const int count = icons.count;
    if (count <= 0)
        return;
    std::array<std::int16_t, 301> free{};
    auto refill = [&] {
        bool any = false;
        for (int j = 1; j <= count; ++j) {
            const bool usable = !icons.files[static_cast<std::size_t>(j)].trimmed().isEmpty();
            free[static_cast<std::size_t>(j)] = usable ? 1 : 0;
            any = any || usable;
        }
        return any;
    };
    std::size_t b = 0;
    while (b <= 3) {
        const auto k = static_cast<std::size_t>(randomPick(random, static_cast<std::int16_t>(count)));
        if (free[k] == 1) {
            // A picture that cannot be loaded leaves the button bare.
            putButtonPicture(b, icons.files[k]);
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

} // namespace halvora
