#include "game/game_file.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <map>

namespace halvora {

namespace {

const QString kSection = QStringLiteral("[GAME]");
const QString kEnd = QStringLiteral("[END]");
const QString kDrawCount = QStringLiteral("DrawCount");
const QString kDrawn = QStringLiteral("Drawn");
const QString kLatest = QStringLiteral("Latest");
const QString kCounter = QStringLiteral("Counter");
const QString kParticipants = QStringLiteral("Participants");
const QString kExpected = QStringLiteral("ExpectedWinners");
const QString kPanel = QStringLiteral("Panel");
const QString kHistoryLog = QStringLiteral("HistoryLog");
const QString kHitCount = QStringLiteral("HitCount");
const QString kOrder = QStringLiteral("Order");

// Far more draws than a game of 75 numbers books; anything above is not a game of ours.
constexpr std::int32_t kMostDraws = 100000;
// The texts kept are short box texts; a long one is not a game of ours.
constexpr qsizetype kLongestText = 64;

QString numberList(const std::array<bool, 76>& flags) {
    QStringList numbers;
    for (int n = 1; n <= 75; ++n)
        if (flags[static_cast<std::size_t>(n)])
            numbers << QString::number(n);
    return numbers.join(QLatin1Char(','));
}

bool parseNumberList(const QString& text, std::array<bool, 76>& flags) {
    flags.fill(false);
    if (text.isEmpty())
        return true;
    for (const QString& item : text.split(QLatin1Char(','))) {
        bool ok = false;
        const int n = item.toInt(&ok);
        if (!ok || n < 1 || n > 75 || flags[static_cast<std::size_t>(n)])
            return false;
        flags[static_cast<std::size_t>(n)] = true;
    }
    return true;
}

// Box texts come back only as the program could have written them: short, one line, and readable
// (a file in another encoding decodes to replacement characters).
bool isBoxText(const QString& text) {
    return text.size() <= kLongestText && std::none_of(text.begin(), text.end(), [](QChar c) {
               return c.unicode() < 0x20 || c == QChar::ReplacementCharacter || c.isSurrogate();
           });
}

bool isHistoryLogOf(const QString& path, const QString& historyFolder) {
    static const QRegularExpression name(QStringLiteral("^[0-9]{6}\\.log$"));
    return path.startsWith(historyFolder) && name.match(path.mid(historyFolder.size())).hasMatch();
}

// The key=value lines between the section and its end; false when the frame or a line is wrong.
bool readValues(TextFile& file, std::map<QString, QString>& values) {
    QString line;
    if (!file.readLine(line) || line != kSection)
        return false;
    while (file.readLine(line)) {
        if (line == kEnd)
            return file.atEnd();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 1)
            return false;
        if (!values.emplace(line.left(equals), line.mid(equals + 1)).second)
            return false; // a key twice
    }
    return false; // cut off before its end
}

// The hit count came to the file later; a file without it is still a whole game.
bool takeHitCount(std::map<QString, QString>& values, SavedGame& game) {
    const auto found = values.find(kHitCount);
    if (found == values.end())
        return true;
    bool ok = false;
    game.hitCountIndex = found->second.toInt(&ok);
    values.erase(found);
    return ok && game.hitCountIndex >= 0 && game.hitCountIndex <= 3;
}

// The order came to the file later; one that does not name exactly the drawn numbers gives way to
// board order rather than costing the room its game.
void takeOrder(const QString& text, SavedGame& game) {
    game.order.clear();
    std::array<bool, 76> seen{};
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int n = item.toInt();
        if (n < 1 || n > 75 || !game.drawn[static_cast<std::size_t>(n)] || seen[static_cast<std::size_t>(n)])
            break;
        seen[static_cast<std::size_t>(n)] = true;
        game.order.push_back(n);
    }
    if (seen != game.drawn) {
        game.order.clear();
        for (int n = 1; n <= 75; ++n)
            if (game.drawn[static_cast<std::size_t>(n)])
                game.order.push_back(n);
    }
}

bool fromValues(std::map<QString, QString>& values, const QString& historyFolder, SavedGame& game) {
    static const QString keys[] = {kDrawCount, kDrawn, kLatest, kCounter, kParticipants, kExpected, kPanel, kHistoryLog};
    auto order = values.extract(kOrder);
    if (!takeHitCount(values, game) || values.size() != std::size(keys) ||
        !std::all_of(std::begin(keys), std::end(keys),
                     [&](const QString& k) { return values.count(k) == 1; }))
        return false;
    bool ok = false;
    game.drawCount = values[kDrawCount].toInt(&ok);
    if (!ok || game.drawCount < 0 || game.drawCount > kMostDraws)
        return false;
    if (!parseNumberList(values[kDrawn], game.drawn) || !parseNumberList(values[kLatest], game.latest))
        return false;
    for (std::size_t n = 1; n <= 75; ++n)
        if (game.latest[n] && !game.drawn[n])
            return false;
    takeOrder(order ? order.mapped() : QString(), game);
    game.counter = values[kCounter];
    game.participants = values[kParticipants];
    game.expectedWinners = values[kExpected];
    game.panel = values[kPanel];
    game.historyLog = values[kHistoryLog];
    for (const QString* text : {&game.counter, &game.participants, &game.expectedWinners, &game.panel})
        if (!isBoxText(*text))
            return false;
    // Every booked draw went into the log, and only the program's own logs are ever added to.
    return game.drawCount == 0 ? game.historyLog.isEmpty() : isHistoryLogOf(game.historyLog, historyFolder);
}

// CP932 cannot hold every character a box can be typed with; the kept text has "?" there.
QString storable(const QString& text) {
    QString kept;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        kept += c >= 0x20 && isAnsiEncodable(one) ? one : QStringLiteral("?");
    }
    return kept.left(kLongestText);
}

} // namespace

bool SavedGame::anyDrawn() const { return std::find(drawn.begin() + 1, drawn.end(), true) != drawn.end(); }

GameFileRead readGameFile(const QString& path, const QString& historyFolder, SavedGame& game,
                          const QString& formerHistoryFolder) {
    if (!QFileInfo::exists(path))
        return GameFileRead::Missing;
    TextFile file;
    std::map<QString, QString> values;
    SavedGame read;
    if (!file.open(path, TextFile::Mode::Input, TextFile::Encoding::Ansi) || !readValues(file, values))
        return GameFileRead::Damaged;
    const auto log = values.find(kHistoryLog);
    if (log != values.end() && !formerHistoryFolder.isEmpty() && log->second.startsWith(formerHistoryFolder))
        log->second = historyFolder + log->second.mid(formerHistoryFolder.size());
    if (!fromValues(values, historyFolder, read))
        return GameFileRead::Damaged;
    game = read;
    return GameFileRead::Read;
}

bool writeGameFile(const QString& path, const SavedGame& game, FileError& error) {
    QStringList lines = {
        kSection,
        kDrawCount + QLatin1Char('=') + QString::number(game.drawCount),
        kDrawn + QLatin1Char('=') + numberList(game.drawn),
        kLatest + QLatin1Char('=') + numberList(game.latest),
        kCounter + QLatin1Char('=') + storable(game.counter),
        kParticipants + QLatin1Char('=') + storable(game.participants),
        kExpected + QLatin1Char('=') + storable(game.expectedWinners),
        kPanel + QLatin1Char('=') + storable(game.panel),
        kHistoryLog + QLatin1Char('=') + game.historyLog,
    };
    QStringList order;
    for (const int n : game.order)
        order << QString::number(n);
    lines << kOrder + QLatin1Char('=') + order.join(QLatin1Char(','));
    if (game.hitCountIndex >= 0 && game.hitCountIndex <= 3)
        lines << kHitCount + QLatin1Char('=') + QString::number(game.hitCountIndex);
    lines << kEnd;
    TextFile file;
    bool written = file.open(path, TextFile::Mode::Output);
    for (const QString& line : lines)
        written = written && file.print(line);
    written = file.close() && written;
    error = file.error();
    return written;
}

} // namespace halvora
