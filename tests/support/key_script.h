#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>

namespace halvora::test {

// Types into the list grid as the operator would: plain characters, and keys in braces ({Enter},
// {Esc}, {Space}, {BS}, {Up}, {Down}). Each key goes to the cell editor while it is shown, else to the grid.
inline void TypeIntoGrid(QDialog& form, const QString& script) {
    static const QHash<QString, Qt::Key> keys{{"Enter", Qt::Key_Return}, {"Esc", Qt::Key_Escape},
                                              {"Space", Qt::Key_Space},  {"BS", Qt::Key_Backspace},
                                              {"Up", Qt::Key_Up},        {"Down", Qt::Key_Down}};
    auto* grid = form.findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"));
    auto* editor = form.findChild<QLineEdit*>(QStringLiteral("txtForEdit"));
    for (qsizetype i = 0; i < script.size(); ++i) {
        QWidget* target = editor->isVisible() ? static_cast<QWidget*>(editor) : grid;
        if (script[i] != u'{') {
            QTest::keyClick(target, script[i].toLatin1());
            continue;
        }
        const qsizetype end = script.indexOf(u'}', i);
        QTest::keyClick(target, keys.value(script.mid(i + 1, end - i - 1)));
        i = end;
    }
}

} // namespace halvora::test
