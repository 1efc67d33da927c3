#include "platform/dialogs.h"

#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace halvora {

namespace {

// Lines of the program's texts are joined by CR LF (a lone CR or LF also breaks a line).
QString displayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? kProgramTitle : title;
}

QMessageBox::Icon iconFor(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Critical:
        return QMessageBox::Critical;
    case MessageKind::Question:
    case MessageKind::QuestionDefaultNo:
        return QMessageBox::Question;
    case MessageKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

// Qt wants "description (patterns)" with blank-separated patterns.
QStringList nameFilters(const FileDialogOptions& options) {
    QStringList filters;
    for (const auto& [description, patterns] : options.filters)
        filters << description + QStringLiteral(" (") + QString(patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                       QLatin1Char(')');
    return filters;
}

QStringList runFileDialog(const FileDialogOptions& options, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(options.owner, options.title, options.folder);
    dialog.setAcceptMode(mode);
    // Our own dialog everywhere, showing each filter's description as the program words it.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    const bool open = mode == QFileDialog::AcceptOpen;
    if (open && options.severalFiles)
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(open && options.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open || !options.confirmReplace);
    dialog.setDefaultSuffix(open ? QString() : options.defaultExtension);
    dialog.setNameFilters(nameFilters(options));
    if (!options.name.isEmpty())
        dialog.selectFile(options.name);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

} // namespace

Answer QtDialogs::messageBox(QWidget* owner, const QString& prompt, MessageKind kind, const QString& title) {
    QMessageBox box(owner);
    box.setWindowTitle(titleOrDefault(title));
    box.setText(displayText(prompt));
    box.setIcon(iconFor(kind));
    if (kind != MessageKind::Question && kind != MessageKind::QuestionDefaultNo) {
        QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        box.exec();
        return Answer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(kind == MessageKind::QuestionDefaultNo ? no : yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::inputBox(QWidget* owner, const QString& prompt, const QString& title,
                            const QString& defaultReply) {
    QInputDialog dialog(owner);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(displayText(prompt));
    dialog.setTextValue(defaultReply);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QStringList QtDialogs::openFiles(const FileDialogOptions& options) {
    return runFileDialog(options, QFileDialog::AcceptOpen);
}

QString QtDialogs::saveFile(const FileDialogOptions& options) {
    const QStringList chosen = runFileDialog(options, QFileDialog::AcceptSave);
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

std::optional<QColor> QtDialogs::chooseColour(const QColor& start) {
    // No custom colours are kept from one pick to the next.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::black);
    QColorDialog dialog(start);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

} // namespace halvora
