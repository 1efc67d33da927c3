#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;

namespace halvora {

class Game;
struct ShowSetup;

// A live copy of another window at this widget's size, for the operator: it follows the source's
// repaints, at most a dozen times a second, and costs nothing while the source is still. It draws the
// frames the source already has (no second video decoder). A double-click goes to the control under
// it in the source, so the board's boxes can be corrected from the copy.
class BoardMirror final : public QWidget {
    Q_OBJECT

public:
    explicit BoardMirror(QWidget* parent = nullptr);

    // Null: the copy is black.
    void setSource(QWidget* source);
    // Where the source lies in this widget: scaled to fit, at the top, centred across.
    QRectF sourceArea() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> source_;
    QTimer refresh_;
};

// What the operator needs beside the copy of the board: the participants box, what the next turn
// plays, and the game's numbers so far in the order they came.
class OperatorPanel final : public QWidget {
    Q_OBJECT

public:
    OperatorPanel(Game& game, QWidget* parent = nullptr);

    // Says what the next turn will play; asked whenever the panel is brought up to date.
    std::function<QString()> nextTurn;
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Game& game_;
    QLineEdit* participants_ = nullptr;
    QLabel* next_ = nullptr;
    QLabel* draws_ = nullptr;
};

// "音楽/動画: 2. song.mp3" and "写真: 1. SPG1.jpg" for the next turn: the entries the lists give in
// their order, "ランダム" when they are picked at random, "なし" when a list is empty.
QString describeNextTurn(const Game& game, const ShowSetup& show, bool avRandom, bool pictureRandom);

} // namespace halvora
