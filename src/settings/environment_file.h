#pragma once

#include <QString>

class QWidget;

namespace halvora {

class Dialogs;

// The folder texts of the running program. Folders end with "/"; paths are plain concatenations.
struct EnvironmentFolders {
    QString appFolder;         // data root: the program folder, or the user's data folder
    QString dataFolder;        // folder of the current condition file; empty: environment unusable
    QString conditionFileName; // name of the current condition file
    QString historyFolder;     // folder of the draw-history logs
    // Where the shipped sample media lie when appFolder is not the program folder (else empty).
    QString mediaSourceFolder;
    // The data root the settings were written in, when the folder has since been moved or copied to
    // appFolder (else empty); paths under it are taken to be under appFolder now.
    QString movedFrom;
    // Where the audience sees the board when the desktop has a second screen: that screen's name
    // (empty: the largest screen the program did not start on), and whether it is used at all.
    QString audienceScreen;
    bool audienceWindow = true;
    // How printed cards look: 0 the program's own, 1 the B I N G O card.
    int cardStyle = 0;
    // Guests' phones: the address and port the program's own server listens on (empty: the likely
    // address of the venue's network), and how many cards one phone's browser may hold.
    QString phoneAddress;
    int phonePort = 8080;
    int phoneCards = 1;
};

// `path` as it lies now: under appFolder when it was under the folder the data moved from.
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

// Sets appFolder (see chooseAppFolder) and mediaSourceFolder for the program in `programFolder`.
void locateAppFolder(const QString& programFolder, const QString& userDataFolder, EnvironmentFolders& folders);

// Fills `folders` from appFolder + "Halvora.ini". On the first start (no file) the data folders are
// laid out and the file is written; when the file cannot be read the operator is told and dataFolder,
// conditionFileName and historyFolder come back empty. Folders that are not absolute and file names
// with a folder in them are replaced by the defaults, the operator is told and the file rewritten.
// Settings written in another folder that this one was moved or copied from follow it here.
void readEnvironmentFile(const QString& programFolder, const QString& userDataFolder,
                         EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner);

// As readEnvironmentFile, for `folders` whose appFolder and mediaSourceFolder locateAppFolder has set.
void readEnvironmentSettings(const QString& programFolder, EnvironmentFolders& folders, Dialogs& dialogs,
                             QWidget* owner);

// Creates the history and sample folders, gathers the sample media into "Sample" and rewrites
// "Halvora.ini" (atomically: a failed write leaves the old file whole and is reported).
bool writeEnvironmentFile(const EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner);

} // namespace halvora
