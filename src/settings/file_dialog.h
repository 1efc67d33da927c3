#pragma once

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;

// The open and save dialogs for condition files (".env"). In: the folder and name to start from.
// Out: the folder (ending with "/") and name of the chosen file, or two empty texts when the
// operator cancelled or the name was refused (the operator has then been told why).
namespace FileDialog {
void openConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name);
void saveConditionFileDialog(Dialogs& dialogs, QWidget* owner, const QString& title, QString& folder,
                             QString& name);
} // namespace FileDialog

} // namespace halvora
