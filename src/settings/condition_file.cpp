#include "settings/condition_file.h"

#include "common/number_text.h"
#include "platform/dialogs.h"

#include <QFileInfo>

#include <algorithm>
#include <array>

namespace halvora {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");
const QString kTab = QStringLiteral("\t");
constexpr int kAvFields = 10;
constexpr int kColourLines = 50;
constexpr int kOptionLines = 5;

bool findHeader(TextFile& file, const QString& header) {
    QString line;
    while (file.readLine(line)) {
        if (line.compare(header, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Feeds `take` the lines after `header` up to the next line that starts with "[".
template <typename Take> void readSectionLines(TextFile& file, const QString& header, Take&& take) {
    if (!findHeader(file, header))
        return;
    QString line;
    while (file.readLine(line) && !line.startsWith(QLatin1Char('[')))
        take(line);
}

template <typename Take> void scanSection(const QString& path, const QString& header, Take&& take) {
    TextFile file;
    if (file.open(path, TextFile::Mode::Input))
        readSectionLines(file, header, take);
}

// Blanks are spaces only; tabs and ideographic spaces belong to the text.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == QLatin1Char(' '))
        ++first;
    while (end > first && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(first, end - first);
}

// A number in print form: a blank (or "-") for the sign in front, a blank behind.
QString printForm(int value) {
    return (value < 0 ? QString() : QStringLiteral(" ")) + QString::number(value) + QStringLiteral(" ");
}

// The plain text form of a number: "1200", "1.5", "1E+20".
QString numberText(double value) {
    if (value == 0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15).toUpper();
}

// An index outside the group's four buttons selects the last one.
int optionIndex(const QString& line) {
    const int index = roundToInt16(numberFromText(line));
    return (index < 0 || index > 3) ? 3 : index;
}

QString checkText(bool checked) {
    return checked ? QStringLiteral("True") : QStringLiteral("False");
}

int usedCount(int count) {
    return std::clamp(count, 0, kListCapacity);
}

} // namespace

FileError writeDefaultConditionFile(const QString& path, const QString& appFolder) {
    const QString sample = appFolder + QStringLiteral("Sample/");
    const QStringList lines{QStringLiteral("[AV]"),
                            sample + QStringLiteral("spm1.mp3") + kTab + QStringLiteral("0") + kTab +
                                QStringLiteral("4"),
                            QStringLiteral("[Picture]"),
                            sample + QStringLiteral("SPG1.jpg"),
                            sample + QStringLiteral("SPG2.jpg"),
                            QStringLiteral("[BMP]"),
                            sample + QStringLiteral("スタート1.bmp"),
                            sample + QStringLiteral("スタート2.bmp"),
                            sample + QStringLiteral("スタート3.bmp"),
                            sample + QStringLiteral("スタート4.bmp")};
    TextFile file;
    bool ok = file.open(path, TextFile::Mode::Output);
    for (qsizetype i = 0; ok && i < lines.size(); ++i)
        ok = file.print(lines[i]);
    if (ok)
        file.close();
    return file.error();
}

ConditionFile::ConditionFile(Dialogs& dialogs, QWidget* owner, AvList& av, PictureList& pictures,
                             IconList& icons, ScreenColours& colours, ConditionOptions& options)
    : dialogs_(dialogs), owner_(owner), av_(av), pictures_(pictures), icons_(icons), colours_(colours),
      options_(options) {}

bool ConditionFile::readAvSection(const QString& path, const QString& appFolder) {
    av_.count = 0;
    TextFile file;
    QString status;
    for (int attempt = 1; attempt <= 2; ++attempt) {
        status.clear();
        if (file.open(path, TextFile::Mode::Input))
            break;
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
            status = file.error().description;
            continue;
        }
        if (attempt == 1 && writeDefaultConditionFile(path, appFolder).isError()) {
            reportWriteFailure(path, QString(), true);
            return false;
        }
        status = QStringLiteral("-53");
    }
    if (!file.isOpen()) {
        reportReadFailure(path, status);
        return false;
    }
    readSectionLines(file, QStringLiteral("[AV]"), [this](const QString& line) {
        if (av_.count >= kListCapacity)
            return;
        std::array<QString, kAvFields + 1> fields;
        fields[0] = line;
        splitFields(fields, kTab, kAvFields);
        const int n = ++av_.count;
        av_.files[n] = fields[1];
        av_.starts[n] = roundToInt32(numberFromText(fields[2]));
        av_.playSeconds[n] = roundToInt32(numberFromText(fields[3]));
    });
    return true;
}

void ConditionFile::readPictureSection(const QString& path) {
    pictures_.count = 0;
    scanSection(path, QStringLiteral("[PICTURE]"), [this](const QString& line) {
        if (pictures_.count < kListCapacity)
            pictures_.files[++pictures_.count] = line;
    });
}

void ConditionFile::readIconSection(const QString& path) {
    icons_.count = 0;
    scanSection(path, QStringLiteral("[BMP]"), [this](const QString& line) {
        if (icons_.count < kListCapacity && !trimBlanks(line).isEmpty())
            icons_.files[++icons_.count] = line;
    });
}

// A show without options, or with fewer lines, has a new show's options, not the last show's.
void ConditionFile::readOptionSection(const QString& path) {
    QString participants = QStringLiteral("1");
    bool avRandom = true;
    bool pictureRandom = true;
    int hitCount = 3;
    int drawTime = 0;
    int position = 0;
    scanSection(path, QStringLiteral("[OPTION]"), [&](const QString& line) {
        switch (++position) {
        case 1:
            participants = numberText(numberFromText(line));
            break;
        case 2:
            avRandom = line == QStringLiteral("True");
            break;
        case 3:
            pictureRandom = line == QStringLiteral("True");
            break;
        case 4:
            hitCount = optionIndex(line);
            break;
        case kOptionLines:
            drawTime = optionIndex(line);
            break;
        default:
            break;
        }
    });
    options_.setParticipantsText(participants);
    options_.setAvRandom(avRandom);
    options_.setPictureRandom(pictureRandom);
    options_.selectHitCountIndex(hitCount);
    options_.selectDrawTimeIndex(drawTime);
}

void ConditionFile::readColourSection(const QString& path) {
    QStringList lines;
    scanSection(path, QStringLiteral("[COLOR]"), [&lines](const QString& line) {
        if (lines.size() < kColourLines)
            lines.append(line);
    });
    // Ten lines hold five rows; eight lines (files of four rows) leave row 4 as it is.
    if (lines.size() != 10 && lines.size() != 8)
        return;
    const qsizetype rows = lines.size() / 2;
    for (qsizetype row = 0; row < rows; ++row) {
        colours_.backColours[row] = lines[row];
        colours_.foreColours[row] = lines[rows + row];
    }
}

bool ConditionFile::readAtStartUp(const QString& path, const QString& appFolder) {
    if (!readAfterOpen(path, appFolder))
        return false;
    readColourSection(path);
    return true;
}

bool ConditionFile::readAfterOpen(const QString& path, const QString& appFolder) {
    if (!readAvSection(path, appFolder))
        return false;
    readPictureSection(path);
    readIconSection(path);
    readOptionSection(path);
    return true;
}

// A failed save says why: the entry the file's code page cannot hold (a path read from a UTF-8 file,
// say), or the system's error; the old file stays as it was.
bool ConditionFile::writeConditionFile(const QString& path) {
    TextFile file;
    unsavedLine_.clear();
    if (file.open(path, TextFile::Mode::Output) && writeSections(file) && file.close())
        return true;
    const FileError& error = file.error();
    reportWriteFailure(path, !unsavedLine_.isEmpty()
                                 ? QStringLiteral("保存できない文字があります: ") + unsavedLine_
                                 : QStringLiteral("エラー番号=") + QString::number(error.number) +
                                       QLatin1Char(' ') + error.description,
                       false);
    return false;
}

bool ConditionFile::put(TextFile& file, const QString& line) {
    if (file.print(line))
        return true;
    if (file.error().number == FileErrors::InvalidArgument)
        unsavedLine_ = line.split(kTab).first();
    return false;
}

bool ConditionFile::writeSections(TextFile& file) {
    bool ok = put(file, QStringLiteral("[AV]"));
    for (int i = 1; ok && i <= usedCount(av_.count); ++i)
        ok = put(file, trimBlanks(av_.files[i]) + kTab + printForm(av_.starts[i]) + kTab +
                           printForm(av_.playSeconds[i]));
    ok = ok && put(file, QStringLiteral("[Picture]"));
    for (int i = 1; ok && i <= usedCount(pictures_.count); ++i)
        ok = put(file, trimBlanks(pictures_.files[i]));
    ok = ok && put(file, QStringLiteral("[BMP]"));
    for (int i = 1; ok && i <= usedCount(icons_.count); ++i)
        ok = put(file, trimBlanks(icons_.files[i]));
    ok = ok && put(file, QStringLiteral("[Option]")) && put(file, options_.participantsText()) &&
         put(file, checkText(options_.avRandom())) && put(file, checkText(options_.pictureRandom()));
    for (const int index : {options_.selectedHitCountIndex(), options_.selectedDrawTimeIndex()}) {
        if (ok && index >= 0)
            ok = put(file, printForm(index));
    }
    ok = ok && put(file, QStringLiteral("[COLOR]"));
    for (const auto* colours : {&colours_.backColours, &colours_.foreColours}) {
        for (const QString& colour : *colours)
            ok = ok && put(file, colour);
    }
    return ok;
}

void ConditionFile::reportReadFailure(const QString& path, const QString& status) {
    const QStringList lines{QStringLiteral("各種設定ファイルが開けません。"), path,
                            QStringLiteral("エラー内容 ") + status,
                            QStringLiteral("Halvora.ini を削除してから再立ち上げしてください。"),
                            QStringLiteral("処理は中止されます。")};
    dialogs_.messageBox(owner_, lines.join(kLineBreak), MessageKind::Plain);
}

// Deleting Halvora.ini helps only when the file it names cannot be made at start-up; a save that fails
// keeps the show on screen, and the advice would throw that away.
void ConditionFile::reportWriteFailure(const QString& path, const QString& cause, bool adviseIni) {
    QStringList lines{QStringLiteral("各種設定ファイルが開けません。"), QStringLiteral("ファイル名 = ") + path, cause};
    if (adviseIni)
        lines << QStringLiteral("Halvora.ini を削除してから再立ち上げしてください。");
    lines << QStringLiteral("処理は中止されます。");
    dialogs_.messageBox(owner_, lines.join(kLineBreak), MessageKind::Plain);
}

} // namespace halvora
