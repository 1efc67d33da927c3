#include "draw/audience_screens.h"

#include "draw/main_controls.h"
#include "draw/operator_console.h"
#include "platform/twips.h"
#include "settings/environment_file.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <functional>

namespace halvora {

namespace {

// The audience's full-screen window: the board and nothing to operate. It never takes the keyboard;
// should the window system activate it anyway, the operator's window gets the keys back.
class AudienceWindow final : public QWidget {
public:
    explicit AudienceWindow(QWidget& operatorWindow)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
          operatorWindow_(operatorWindow) {
        setObjectName(QStringLiteral("観客画面"));
        setWindowTitle(operatorWindow.windowTitle());
        setCursor(Qt::BlankCursor);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_QuitOnClose, false);
    }

    // The screen gave the window its size: the board is laid out anew for it.
    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (resized)
            resized();
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, &operatorWindow_, [w = &operatorWindow_] { w->activateWindow(); });
        return QWidget::event(event);
    }

private:
    QWidget& operatorWindow_;
};

// A screen's name, told apart from others of the same name (separate X screens are all "screen").
QString screenName(const QScreen* screen) {
    int same = 0;
    for (const QScreen* other : QGuiApplication::screens()) {
        if (other == screen)
            return same == 0 ? screen->name() : screen->name() + QStringLiteral("#%1").arg(same + 1);
        same += other->name() == screen->name() ? 1 : 0;
    }
    return screen ? screen->name() : QString();
}

QScreen* screenNamed(const QString& name) {
    for (QScreen* screen : QGuiApplication::screens())
        if (screenName(screen) == name)
            return screen;
    return nullptr;
}

} // namespace

QList<ScreenInfo> currentScreens() {
    QList<ScreenInfo> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({screenName(screen), screen->geometry()});
    return screens;
}

int chooseAudienceScreen(const QList<ScreenInfo>& screens, const QString& operatorScreen, const QString& preferred) {
    int chosen = -1;
    qint64 largest = -1;
    for (int i = 0; i < screens.size(); ++i) {
        const ScreenInfo& s = screens[i];
        if (s.name == operatorScreen)
            continue;
        if (!preferred.isEmpty() && s.name == preferred)
            return i;
        const qint64 area = qint64{s.geometry.width()} * s.geometry.height();
        if (area > largest) {
            largest = area;
            chosen = i;
        }
    }
    return chosen;
}

AudienceScreens::AudienceScreens(MainControls& controls, QMainWindow& operatorWindow, BoardMirror& mirror,
                                 EnvironmentFolders& settings)
    : controls_(controls), operatorWindow_(operatorWindow), mirror_(mirror), settings_(settings) {}

AudienceScreens::~AudienceScreens() { mirror_.setSource(nullptr); }

void AudienceScreens::start() {
    for (const auto signal : {&QGuiApplication::screenAdded, &QGuiApplication::screenRemoved})
        connect(qGuiApp, signal, this, [this] {
            // Once the desktop has settled: a removed screen is still listed while it goes.
            QTimer::singleShot(0, this, &AudienceScreens::followDesktop);
        });
    followDesktop();
}

void AudienceScreens::followDesktop() { place(currentScreens()); }

QString AudienceScreens::operatorScreen() const {
    return screenName(operatorWindow_.screen());
}

QWidget* AudienceScreens::audienceWindow() const { return window_.get(); }

void AudienceScreens::place(const QList<ScreenInfo>& screens) {
    screens_ = screens;
    const int chosen = settings_.audienceWindow && !closed_
                           ? chooseAudienceScreen(screens, operatorScreen(), settings_.audienceScreen)
                           : -1;
    if (chosen < 0) {
        takeBoardBack();
        return;
    }
    const ScreenInfo& target = screens[chosen];
    if (!window_) {
        auto window = std::make_unique<AudienceWindow>(operatorWindow_);
        window->resized = [this] {
            if (!controls_.boardOnOwnWindow())
                controls_.layoutStage(window_->size(), twipsPerPixel(window_->screen()));
        };
        window_ = std::move(window);
    }
    QScreen* screen = screenNamed(target.name);
    if (inUse_ != target.name) {
        // A full-screen window moves only once it is a plain one again.
        window_->hide();
        window_->setWindowState(Qt::WindowNoState);
        if (screen)
            window_->setScreen(screen);
    }
    window_->setGeometry(target.geometry);
    controls_.moveBoardTo(*window_);
    controls_.layoutStage(window_->size(), twipsPerPixel(screen));
    inUse_ = target.name;
    // Full screen without taking the keyboard from the operator.
    window_->setWindowState(Qt::WindowFullScreen);
    window_->show();
    mirror_.setSource(window_.get());
    controls_.layoutMainWindow(operatorWindow_);
}

void AudienceScreens::takeBoardBack() {
    inUse_.clear();
    if (controls_.boardOnOwnWindow())
        return;
    mirror_.setSource(nullptr);
    controls_.moveBoardTo(controls_.board);
    controls_.layoutMainWindow(operatorWindow_);
    if (window_)
        window_->hide();
}

void AudienceScreens::setShown(bool shown) {
    settings_.audienceWindow = shown;
    place(screens_);
    emit settingsChanged();
}

void AudienceScreens::choose(const QString& screenName) {
    settings_.audienceScreen = screenName;
    place(screens_);
    emit settingsChanged();
}

void AudienceScreens::addMenuItems(QMenu& settings) {
    settings.addSeparator();
    QAction* shown = settings.addAction(QStringLiteral("観客画面を別の画面に表示"));
    shown->setObjectName(QStringLiteral("Menu観客画面"));
    shown->setCheckable(true);
    QMenu* where = settings.addMenu(QStringLiteral("観客画面の場所"));
    where->setObjectName(QStringLiteral("Menu観客画面の場所"));
    connect(shown, &QAction::triggered, this, &AudienceScreens::setShown);
    connect(&settings, &QMenu::aboutToShow, this, [this, shown, where] {
        shown->setChecked(settings_.audienceWindow);
        shown->setEnabled(screens_.size() > 1);
        where->clear();
        where->setEnabled(screens_.size() > 1);
        for (const ScreenInfo& screen : screens_) {
            if (screen.name == operatorScreen())
                continue;
            QAction* item = where->addAction(
                QStringLiteral("%1（%2×%3）").arg(screen.name).arg(screen.geometry.width()).arg(screen.geometry.height()));
            item->setCheckable(true);
            item->setChecked(screen.name == inUse_);
            connect(item, &QAction::triggered, this, [this, name = screen.name] { choose(name); });
        }
    });
}

void AudienceScreens::close() {
    closed_ = true;
    if (window_)
        window_->hide();
}

} // namespace halvora
