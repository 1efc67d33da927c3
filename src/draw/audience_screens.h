#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class QMainWindow;
class QMenu;
class QWidget;

namespace halvora {

class BoardMirror;
class MainControls;
struct EnvironmentFolders;

// A screen of the desktop as the audience's window is placed on it.
struct ScreenInfo {
    QString name;
    QRect geometry;
};

// The desktop's screens now.
QList<ScreenInfo> currentScreens();

// Which screen the audience sees: the one named `preferred` when it is there and is not the
// operator's, else the largest of the others; -1 when there is no other screen.
int chooseAudienceScreen(const QList<ScreenInfo>& screens, const QString& operatorScreen, const QString& preferred);

// Puts the board on a screen of its own for the audience when the desktop has one, and takes it back
// into the operator's window when that screen goes or the operator turns it off. The board's controls
// move as they are, so a turn, its roulette, its announcement and its media go on undisturbed.
class AudienceScreens final : public QObject {
    Q_OBJECT

public:
    // `settings` holds the operator's choice; it is changed here and kept by whoever listens to
    // settingsChanged.
    AudienceScreens(MainControls& controls, QMainWindow& operatorWindow, BoardMirror& mirror,
                    EnvironmentFolders& settings);
    ~AudienceScreens() override;

    // Places the board for the desktop's screens now, and again whenever a screen comes or goes.
    void start();
    // The desktop has these screens now.
    void place(const QList<ScreenInfo>& screens);
    void setShown(bool shown);
    void choose(const QString& screenName);
    // The settings menu's items: the audience window on or off, and which screen it uses.
    void addMenuItems(QMenu& settings);
    // Hides the audience's window for good: the show is over.
    void close();

    const QList<ScreenInfo>& screens() const { return screens_; }
    // The screen the audience sees the board on; empty while it is in the operator's window.
    QString screenInUse() const { return inUse_; }
    QString operatorScreen() const;
    QWidget* audienceWindow() const;

signals:
    void settingsChanged();

private:
    void followDesktop();
    void takeBoardBack();

    MainControls& controls_;
    QMainWindow& operatorWindow_;
    BoardMirror& mirror_;
    EnvironmentFolders& settings_;
    std::unique_ptr<QWidget> window_;
    QList<ScreenInfo> screens_;
    QString inUse_;
    bool closed_ = false;
};

} // namespace halvora
