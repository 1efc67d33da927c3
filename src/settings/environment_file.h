#pragma once

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;

// The folder texts of the running program. Folders end with "/"; paths are plain concatenations.
struct EnvironmentFolders {
    QString AppFolder;         // data root: the program folder, or the user's data folder
    QString DataFolder;        // folder of the current condition file; empty: environment unusable
    QString ConditionFileName; // name of the current condition file
    QString HistoryFolder;     // folder of the draw-history logs
    // Where the shipped sample media lie when AppFolder is not the program folder (else empty).
    QString MediaSourceFolder;
    // The data root the settings were written in, when the folder has since been moved or copied to
    // AppFolder (else empty); paths under it are taken to be under AppFolder now.
    QString MovedFrom;
};

// `path` as it lies now: under AppFolder when it was under the folder the data moved from.
QString movedPath(const QString& path, const EnvironmentFolders& folders);

inline const QString kEnvironmentFileName = QStringLiteral("Halvora.ini");

// The program folder as the data root sees it: a last component "VBP" (any case) stands for its
// parent; the result ends with "/".
QString programRootFolder(const QString& programFolder);

// The shipped files of an installed program ("../share/halvora" beside its folder, ending with "/");
// empty when the program runs in place.
QString installedDataFolder(const QString& programFolder);

// Whether the program's folder is known and short enough for every file kept in it: a folder whose
// path the system could not give (longer than it allows) comes as an empty text.
bool isUsableProgramFolder(const QString& programFolder);

// Whether files can be created in `folder` (tried, not guessed from permission bits).
bool isWritableFolder(const QString& folder);

// The folder that keeps the data files, ending with "/": `programRoot` when not empty, writable and
// CP932 can hold its path (the files store it), else `userDataFolder` (created) on the same terms,
// else `spareFolder` (created, ours); when none will do, `userDataFolder`.
QString chooseAppFolder(const QString& programRoot, const QString& userDataFolder,
                        const QString& spareFolder);

// Sets AppFolder (see chooseAppFolder) and MediaSourceFolder for the program in `programFolder`.
void LocateAppFolder(const QString& programFolder, const QString& userDataFolder, EnvironmentFolders& folders);

// Fills `folders` from AppFolder + "Halvora.ini". On the first start (no file) the data folders are
// laid out and the file is written; when the file cannot be read the operator is told and DataFolder,
// ConditionFileName and HistoryFolder come back empty. Folders that are not absolute and file names
// with a folder in them are replaced by the defaults, the operator is told and the file rewritten.
// Settings written in another folder that this one was moved or copied from follow it here.
void ReadEnvironmentFile(const QString& programFolder, const QString& userDataFolder,
                         EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner);

// As ReadEnvironmentFile, for `folders` whose AppFolder and MediaSourceFolder LocateAppFolder has set.
void ReadEnvironmentSettings(const QString& programFolder, EnvironmentFolders& folders, Dialogs& dialogs,
                             QWidget* owner);

// Creates the history and sample folders, gathers the sample media into "Sample" and rewrites
// "Halvora.ini" (atomically: a failed write leaves the old file whole and is reported).
bool WriteEnvironmentFile(const EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner);

} // namespace halvora
