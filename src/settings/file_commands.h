#pragma once

#include "settings/condition_records.h"
#include "settings/environment_file.h"

#include <functional>

class QWidget;

namespace halvora {

class ConditionFile;
class Dialogs;

// The File menu's commands for condition files: open, overwrite-save and save under a new name.
// Opening or saving under a new name makes the chosen file the current one and rewrites the
// environment file, so the next start opens it too.
class FileCommands {
public:
    FileCommands(Dialogs& dialogs, QWidget* owner, EnvironmentFolders& folders, AvList& av,
                 ConditionFile& conditionFile);


    void openShow();
    void saveShow();
    void saveShowAs();

    // Called once an opened show has been read.
    std::function<void()> showRead;

private:
    bool isConditionFile(const QString& path);

    Dialogs& dialogs_;
    QWidget* owner_;
    EnvironmentFolders& folders_;
    AvList& av_;
    ConditionFile& conditionFile_;
};

} // namespace halvora
