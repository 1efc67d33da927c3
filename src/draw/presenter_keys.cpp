#include "draw/presenter_keys.h"

#include "draw/draw_cycle.h"
#include "draw/main_controls.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QShortcut>
#include <QTextEdit>

namespace halvora {

namespace {

// Space and Enter belong to a text box that has the focus: typing never draws.
bool typingInTextBox() {
    const QWidget* focus = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(focus) || qobject_cast<const QAbstractSpinBox*>(focus) ||
           qobject_cast<const QTextEdit*>(focus);
}

} // namespace

PresenterKeys::PresenterKeys(QWidget& window, MainControls& controls, DrawCycle& draws)
    : QObject(&window), window_(window), controls_(controls), draws_(draws) {
    auto bind = [this](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, &window_);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false); // a held button on a remote is one press
        connect(shortcut, &QShortcut::activated, this, action);
    };
    bind(QKeySequence(Qt::Key_PageDown), [this] { next(false); });
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        bind(QKeySequence(key), [this] { next(true); });
    // "１つ" is the last option of its frame, "４つ" the first.
    for (int k = 1; k <= 4; ++k)
        bind(QKeySequence(Qt::Key_0 + k), [this, k] { controls_.hitCountOptions[static_cast<std::size_t>(4 - k)]->click(); });
}

void PresenterKeys::next(bool fromTextKey) {
    // A dialog or a pop-up menu has the keys while it is open.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    if (fromTextKey && typingInTextBox())
        return;
    draws_.next();
}

} // namespace halvora
