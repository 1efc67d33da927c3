#pragma once

#include <QDialog>
#include <QString>

namespace halvora {

class EventPump;

// The text of a file with CR LF after every line; a missing file is first created empty. A file that
// can be neither created nor read gives an empty text.
QString readHelpText(const QString& path);

// The folder whose instructions are shown: the data folder, unless it holds no such file and the
// folder the program was shipped in (empty when it is the data folder) does.
QString instructionsFolder(const QString& appFolder, const QString& shippedFolder, const QString& fileName);

// Shows the file at `path` read-only in a modal viewer laid over the owner; returns once it is closed.
void showHelp(const QString& path, QWidget& owner, EventPump& pump);

// The operating-instructions viewer: one read-only text box over the owner, showing the file at `path`.
class HelpWindow final : public QDialog {
    Q_OBJECT

public:
    HelpWindow(QWidget& owner, const QString& path);
};

} // namespace halvora
