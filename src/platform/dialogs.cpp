#include "platform/dialogs.h"

#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <vector>

namespace halvora {

namespace {

// Button sets of the style value's low four bits, and the answer codes of their buttons.
constexpr int kAbort = 3;
constexpr int kRetry = 4;
constexpr int kIgnore = 5;

struct ButtonKind {
    QString text;
    QMessageBox::ButtonRole role;
    int code;
};

std::vector<ButtonKind> buttonsFor(int style) {
    const ButtonKind ok{QStringLiteral("OK"), QMessageBox::AcceptRole, MsgBox::Ok};
    const ButtonKind cancel{QStringLiteral("キャンセル"), QMessageBox::RejectRole, MsgBox::Cancel};
    const ButtonKind yes{QStringLiteral("はい"), QMessageBox::YesRole, MsgBox::Yes};
    const ButtonKind no{QStringLiteral("いいえ"), QMessageBox::NoRole, MsgBox::No};
    const ButtonKind retry{QStringLiteral("再試行"), QMessageBox::AcceptRole, kRetry};
    switch (style & 0xF) {
    case 1:
        return {ok, cancel};
    case 2:
        return {{QStringLiteral("中止"), QMessageBox::RejectRole, kAbort},
                retry,
                {QStringLiteral("無視"), QMessageBox::AcceptRole, kIgnore}};
    case 3:
        return {yes, no, cancel};
    case 4:
        return {yes, no};
    case 5:
        return {retry, cancel};
    default:
        return {ok};
    }
}

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case MsgBox::Critical:
        return QMessageBox::Critical;
    case MsgBox::Question:
        return QMessageBox::Question;
    case MsgBox::Exclamation:
        return QMessageBox::Warning;
    case MsgBox::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Esc and the close box answer Cancel where there is one, else No, else the only/first button.
int escapeIndex(const std::vector<ButtonKind>& buttons) {
    for (int code : {MsgBox::Cancel, MsgBox::No})
        for (std::size_t i = 0; i < buttons.size(); ++i)
            if (buttons[i].code == code)
                return static_cast<int>(i);
    return 0;
}

// Lines of the program's texts are joined by CR LF (a lone CR or LF also breaks a line).
QString displayText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? kProgramTitle : title;
}

// Qt wants "description (patterns)" with blank-separated patterns.
QStringList nameFilters(const FileNameRequest& request) {
    QStringList filters;
    for (std::size_t i = 0; i + 1 < request.filter.size(); i += 2) {
        if (request.filter[i].isEmpty())
            continue;
        QString patterns = request.filter[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << request.filter[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

constexpr std::uint32_t kOverwritePrompt = 0x2;
constexpr std::uint32_t kFileMustExist = 0x1000;
constexpr std::uint32_t kAllowMultiSelect = 0x200;

bool runFileDialog(FileNameRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setAcceptMode(mode);
    // Our own dialog everywhere, showing each filter's description as the program words it.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    const bool open = mode == QFileDialog::AcceptOpen;
    if (open && (request.flags & kAllowMultiSelect))
        dialog.setFileMode(QFileDialog::ExistingFiles);
    else
        dialog.setFileMode(open && (request.flags & kFileMustExist) ? QFileDialog::ExistingFile
                                                                    : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open || !(request.flags & kOverwritePrompt));
    dialog.setDefaultSuffix(open ? QString() : request.defaultExtension);
    const QStringList filters = nameFilters(request);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (!request.file.isEmpty())
        dialog.selectFile(request.file);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    request.files = dialog.selectedFiles();
    request.file = request.files.constFirst();
    request.fileOffset = static_cast<int>(request.file.lastIndexOf(QLatin1Char('/')) + 1);
    request.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()) + 1);
    return true;
}

QColor fromColourRef(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

std::uint32_t toColourRef(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8 |
           static_cast<std::uint32_t>(colour.blue()) << 16;
}

} // namespace

int QtDialogs::messageBox(QWidget* owner, const QString& prompt, int style, const QString& title) {
    QMessageBox box(owner);
    box.setWindowTitle(titleOrDefault(title));
    box.setText(displayText(prompt));
    box.setIcon(iconFor(style));
    const std::vector<ButtonKind> kinds = buttonsFor(style);
    std::vector<QPushButton*> buttons;
    for (const ButtonKind& kind : kinds)
        buttons.push_back(box.addButton(kind.text, kind.role));
    const std::size_t defaultIndex = static_cast<std::size_t>((style >> 8) & 0x3);
    box.setDefaultButton(buttons.at(defaultIndex < buttons.size() ? defaultIndex : 0));
    const int escape = escapeIndex(kinds);
    box.setEscapeButton(buttons.at(static_cast<std::size_t>(escape)));
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return kinds[i].code;
    return kinds.at(static_cast<std::size_t>(escape)).code;
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

bool QtDialogs::getOpenFileName(FileNameRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

bool QtDialogs::getSaveFileName(FileNameRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

bool QtDialogs::chooseColor(ColourRequest& request) {
    const int customCount =
        std::min(QColorDialog::customCount(), static_cast<int>(request.custColors.size()));
    for (int i = 0; i < customCount; ++i)
        QColorDialog::setCustomColor(i, fromColourRef(request.custColors[static_cast<std::size_t>(i)]));
    QColorDialog dialog(fromColourRef(request.rgbResult), request.owner);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    request.rgbResult = toColourRef(dialog.selectedColor());
    for (int i = 0; i < customCount; ++i)
        request.custColors[static_cast<std::size_t>(i)] = toColourRef(QColorDialog::customColor(i));
    return true;
}

} // namespace halvora
