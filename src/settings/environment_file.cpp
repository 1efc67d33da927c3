#include "settings/environment_file.h"

#include "platform/dialogs.h"
#include "platform/text_file.h"
#include "settings/sample_files.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <climits>
#include <unistd.h>

namespace halvora {

namespace {

const QString kSeparator = QStringLiteral("/");
const QString kFileSection = QStringLiteral("[FILE]");
const QString kDataFileKey = QStringLiteral("DataFilePath=");
const QString kFileNameKey = QStringLiteral("FileName=");
const QString kHistoryKey = QStringLiteral("HistoryFile=");
const QString kAudienceScreenKey = QStringLiteral("AudienceScreen=");
const QString kAudienceWindowKey = QStringLiteral("AudienceWindow=");
const QString kCardStyleKey = QStringLiteral("CardStyle=");
const QString kPhoneAddressKey = QStringLiteral("PhoneAddress=");
const QString kPhonePortKey = QStringLiteral("PhonePort=");
const QString kPhoneCardsKey = QStringLiteral("PhoneCards=");
const QString kDefaultConditionFile = QStringLiteral("Halvora.env");
const QString kInstructionsFile = QStringLiteral("操作説明.txt");

QString withoutTrailingSeparators(QString folder) {
    while (folder.endsWith(kSeparator))
        folder.chop(1);
    return folder;
}

QString withSeparator(const QString& folder) {
    return withoutTrailingSeparators(folder) + kSeparator;
}

// The last resort when even the user's data folder has a path CP932 cannot hold: a folder of this
// user that survives a restart and whose path the files can store.
QString spareDataFolder() {
    return QStringLiteral("/var/tmp/Halvora-%1/").arg(::getuid());
}

bool isOwnFolder(const QString& folder) {
    return QFileInfo(folder).ownerId() == ::getuid();
}

// The texts naming the data files are stored in CP932, so their folder must be one CP932 can hold.
bool isUsableDataFolder(const QString& folder) {
    return isAnsiEncodable(folder) && QDir().mkpath(folder) && isWritableFolder(folder);
}

// Keys count only at the very start of a line; the value is the rest of the line, as written.
bool takeValue(const QString& line, const QString& key, QString& value) {
    if (!line.startsWith(key, Qt::CaseInsensitive))
        return false;
    value = line.mid(key.size());
    return true;
}

bool isUserPort(int port) { return port >= 1024 && port <= 65535; }

void readSettings(TextFile& file, EnvironmentFolders& folders) {
    bool inSection = false;
    QString line;
    while (file.readLine(line)) {
        if (!inSection) {
            inSection = line.compare(kFileSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString flag;
        if (takeValue(line, kAudienceWindowKey, flag))
            folders.audienceWindow = flag.trimmed() != QStringLiteral("0");
        else if (takeValue(line, kCardStyleKey, flag))
            folders.cardStyle = flag.trimmed() == QStringLiteral("1") ? 1 : 0;
        else if (takeValue(line, kPhonePortKey, flag))
            folders.phonePort = isUserPort(flag.trimmed().toInt()) ? flag.trimmed().toInt() : 8080;
        else if (takeValue(line, kPhoneCardsKey, flag))
            folders.phoneCards = std::clamp(flag.trimmed().toInt(), 1, 3);
        else if (takeValue(line, kPhoneAddressKey, flag))
            folders.phoneAddress = flag.trimmed();
        else if (!takeValue(line, kDataFileKey, folders.dataFolder) &&
                 !takeValue(line, kFileNameKey, folders.conditionFileName) &&
                 !takeValue(line, kAudienceScreenKey, folders.audienceScreen))
            takeValue(line, kHistoryKey, folders.historyFolder);
    }
}

void reportReadFailure(const QString& path, const FileError& error, Dialogs& dialogs, QWidget* owner) {
    const QStringList lines{QStringLiteral("動作環境ファイルが開けません。"), path,
                            QStringLiteral("エラー番号") + QString::number(error.number),
                            QStringLiteral("処理を中止します。")};
    dialogs.messageBox(owner, lines.join(QStringLiteral("\r\n")), MessageKind::Plain);
}

void defaultFolders(EnvironmentFolders& folders) {
    folders.dataFolder = folders.appFolder;
    folders.conditionFileName = kDefaultConditionFile;
    folders.historyFolder = folders.appFolder + QStringLiteral("History") + kSeparator;
}

// A folder that is not absolute here ("C:\BINGO\" from another PC, "data/") would put the files in
// whatever folder the program was started from; a file name with a folder in it is no name. Such
// values give way to the defaults; the lines they came from are returned.
QStringList replaceUnusableValues(EnvironmentFolders& folders) {
    EnvironmentFolders defaults;
    defaults.appFolder = folders.appFolder;
    defaultFolders(defaults);
    QStringList replaced;
    auto replace = [&](QString& value, const QString& key, const QString& byDefault, bool usable) {
        if (!usable) {
            replaced << key + value;
            value = byDefault;
        }
    };
    const QString& name = folders.conditionFileName;
    replace(folders.dataFolder, kDataFileKey, defaults.dataFolder, QDir::isAbsolutePath(folders.dataFolder));
    replace(folders.conditionFileName, kFileNameKey, defaults.conditionFileName,
            !name.isEmpty() && !name.contains(kSeparator) && !name.contains(QLatin1Char('\\')));
    replace(folders.historyFolder, kHistoryKey, defaults.historyFolder,
            QDir::isAbsolutePath(folders.historyFolder));
    return replaced;
}

void reportReplacedValues(const QString& path, const QStringList& replaced, Dialogs& dialogs,
                          QWidget* owner) {
    const QStringList lines =
        QStringList{QStringLiteral("動作環境ファイルの指定が正しくありません。"), path} + replaced +
        QStringList{QStringLiteral("既定の値に置き換えます。")};
    dialogs.messageBox(owner, lines.join(QStringLiteral("\r\n")), MessageKind::Plain);
}

// The folder the settings were written in, when it is not this one: the history folder of the usual
// layout names it. Followed only when that folder is gone (moved, or copied to another computer) or
// is a program folder of its own (copied on this computer), so that a folder chosen on purpose stays.
QString formerAppFolder(const EnvironmentFolders& folders) {
    const QString history = QStringLiteral("History") + kSeparator;
    if (!folders.historyFolder.endsWith(kSeparator + history))
        return {};
    const QString former = folders.historyFolder.chopped(history.size());
    const QFileInfo formerInfo(former);
    if (former == folders.appFolder ||
        (formerInfo.exists() &&
         formerInfo.canonicalFilePath() == QFileInfo(folders.appFolder).canonicalFilePath()))
        return {};
    const bool gone = !formerInfo.exists();
    const bool anotherCopy = QFileInfo(former + kEnvironmentFileName).isFile();
    return gone || anotherCopy ? former : QString();
}

// Returns whether the folders followed a move.
bool followMovedFolder(EnvironmentFolders& folders) {
    folders.movedFrom = formerAppFolder(folders);
    if (folders.movedFrom.isEmpty())
        return false;
    folders.dataFolder = movedPath(folders.dataFolder, folders);
    folders.historyFolder = movedPath(folders.historyFolder, folders);
    return true;
}

// The sample media lie beside a program that never ran, or in its "Sample" folder once it has: a
// program folder that became read-only after its first start still gives them.
void gatherSampleMedia(const EnvironmentFolders& folders) {
    for (const QString& pattern :
         {QStringLiteral("*.mp3"), QStringLiteral("*.jpg"), QStringLiteral("*.bmp")}) {
        moveSampleFiles(folders.appFolder, pattern);
        if (folders.mediaSourceFolder.isEmpty())
            continue;
        copySampleFiles(folders.mediaSourceFolder, folders.appFolder, pattern);
        copySampleFiles(folders.mediaSourceFolder + QStringLiteral("Sample/"), folders.appFolder, pattern);
    }
}

// Told at the first start that cannot keep its files beside the program, so the operator knows where
// the settings, the kept game and the history now are.
void reportDataElsewhere(const QString& appFolder, Dialogs& dialogs, QWidget* owner) {
    const QStringList lines{
        QStringLiteral("プログラムのフォルダーに書き込めないため、設定と履歴は次のフォルダーに保存します。"),
        appFolder, QStringLiteral("サンプルの音楽と画像もこのフォルダーにコピーしました。")};
    dialogs.messageBox(owner, lines.join(QStringLiteral("\r\n")), MessageKind::Information);
}

// Exactly one separator at the end, however often the file is rewritten.
QString historyValue(const QString& historyFolder) {
    if (historyFolder.isEmpty())
        return historyFolder;
    return withoutTrailingSeparators(historyFolder) + kSeparator;
}

bool writeSettings(TextFile& file, const EnvironmentFolders& folders) {
    return file.print(QStringLiteral("[File]")) && file.print(kDataFileKey + folders.dataFolder) &&
           file.print(kFileNameKey + folders.conditionFileName) &&
           file.print(kHistoryKey + historyValue(folders.historyFolder)) &&
           file.print(QStringLiteral("[Screen]")) && file.print(kAudienceScreenKey + folders.audienceScreen) &&
           file.print(kAudienceWindowKey + QString::number(folders.audienceWindow ? 1 : 0)) &&
           file.print(QStringLiteral("[Card]")) && file.print(kCardStyleKey + QString::number(folders.cardStyle)) &&
           file.print(QStringLiteral("[Phones]")) && file.print(kPhoneAddressKey + folders.phoneAddress) &&
           file.print(kPhonePortKey + QString::number(folders.phonePort)) &&
           file.print(kPhoneCardsKey + QString::number(folders.phoneCards));
}

} // namespace

bool isUsableProgramFolder(const QString& programFolder) {
    // Room for the longest name kept inside: "History/yyMMdd.log" with a temporary file's ending.
    constexpr qsizetype kLongestInnerPath = 64;
    return QDir::isAbsolutePath(programFolder) &&
           QFile::encodeName(programFolder).size() + kLongestInnerPath < PATH_MAX;
}

QString movedPath(const QString& path, const EnvironmentFolders& folders) {
    if (folders.movedFrom.isEmpty() || !path.startsWith(folders.movedFrom))
        return path;
    return folders.appFolder + path.mid(folders.movedFrom.size());
}

QString programRootFolder(const QString& programFolder) {
    QString root = withoutTrailingSeparators(programFolder);
    if (root.endsWith(QStringLiteral("/VBP"), Qt::CaseInsensitive))
        root.chop(4);
    return root + kSeparator;
}

bool isWritableFolder(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral(".halvora-probe-XXXXXX"));
    return probe.open();
}

QString installedDataFolder(const QString& programFolder) {
    const QFileInfo shared(programRootFolder(programFolder) + QStringLiteral("../share/halvora"));
    return shared.isDir() ? shared.canonicalFilePath() + kSeparator : QString();
}

QString chooseAppFolder(const QString& programRoot, const QString& userDataFolder,
                        const QString& spareFolder) {
    if (!programRoot.isEmpty() && isAnsiEncodable(programRoot) && isWritableFolder(programRoot))
        return programRoot;
    const QString user = withSeparator(userDataFolder);
    if (isUsableDataFolder(user))
        return user;
    const QString spare = withSeparator(spareFolder);
    if (isUsableDataFolder(spare) && isOwnFolder(spare))
        return spare;
    return user;
}

void locateAppFolder(const QString& programFolder, const QString& userDataFolder, EnvironmentFolders& folders) {
    // An installed program never keeps its files beside itself, even where it could write there.
    const QString shipped = installedDataFolder(programFolder);
    const QString programRoot = shipped.isEmpty() ? programRootFolder(programFolder) : QString();
    folders.appFolder = chooseAppFolder(programRoot, userDataFolder, spareDataFolder());
    folders.mediaSourceFolder = !shipped.isEmpty()                 ? shipped
                                : folders.appFolder == programRoot ? QString()
                                                                   : programRoot;
}

void readEnvironmentFile(const QString& programFolder, const QString& userDataFolder,
                         EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner) {
    locateAppFolder(programFolder, userDataFolder, folders);
    readEnvironmentSettings(programFolder, folders, dialogs, owner);
}

void readEnvironmentSettings(const QString& programFolder, EnvironmentFolders& folders, Dialogs& dialogs,
                             QWidget* owner) {
    const QString programRoot =
        installedDataFolder(programFolder).isEmpty() ? programRootFolder(programFolder) : QString();

    const QString path = folders.appFolder + kEnvironmentFileName;
    TextFile file;
    if (file.open(path, TextFile::Mode::Input)) {
        readSettings(file, folders);
        file.close();
        // An empty dataFolder is a damaged file: the caller says so and ends the program.
        const QStringList replaced =
            folders.dataFolder.isEmpty() ? QStringList() : replaceUnusableValues(folders);
        if (!replaced.isEmpty())
            reportReplacedValues(path, replaced, dialogs, owner);
        if ((!folders.dataFolder.isEmpty() && followMovedFolder(folders)) || !replaced.isEmpty())
            writeEnvironmentFile(folders, dialogs, owner);
        return;
    }
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        defaultFolders(folders);
        if (!folders.mediaSourceFolder.isEmpty())
            QFile::copy(folders.mediaSourceFolder + kInstructionsFile, folders.appFolder + kInstructionsFile);
        if (writeEnvironmentFile(folders, dialogs, owner) && !programRoot.isEmpty() &&
            folders.appFolder != programRoot)
            reportDataElsewhere(folders.appFolder, dialogs, owner);
        return;
    }
    reportReadFailure(path, file.error(), dialogs, owner);
    folders.dataFolder.clear();
    folders.conditionFileName.clear();
    folders.historyFolder.clear();
}

bool writeEnvironmentFile(const EnvironmentFolders& folders, Dialogs& dialogs, QWidget* owner) {
    QDir().mkpath(folders.historyFolder);
    QDir().mkpath(folders.appFolder + QStringLiteral("Sample"));
    gatherSampleMedia(folders);

    const QString path = folders.appFolder + kEnvironmentFileName;
    TextFile file;
    const bool written =
        file.open(path, TextFile::Mode::Output) && writeSettings(file, folders) && file.close();
    if (written)
        return true;
    const QString prompt = path + QStringLiteral("が開けません") + QStringLiteral("\r\nエラー番号=") +
                           QString::number(file.error().number) + QStringLiteral("\r\n") +
                           file.error().description;
    dialogs.messageBox(owner, prompt, MessageKind::Plain);
    return false;
}

} // namespace halvora
