#include "history_log.h"

#include "common/number_text.h"
#include "platform/clock.h"
#include "platform/text_file.h"

#include <QDateTime>

#include <utility>

namespace halvora {

namespace {

QString drawLine(std::int32_t drawCount, std::int16_t n) {
    const QString pattern = QStringLiteral("###");
    return formatField(drawCount, pattern) + QStringLiteral(" : ") + formatField(n, pattern);
}

} // namespace

HistoryLog::HistoryLog(QString folder, const Clock& clock, QString continued)
    : folder_(std::move(folder)), clock_(clock), path_(std::move(continued)) {}

void HistoryLog::append(std::int32_t drawCount, std::int16_t n) {
    // Every step that fails is skipped and the draw goes on.
    const bool first = drawCount == 1;
    QString header;
    if (first) {
        const QDateTime now = clock_.now();
        const QString date = now.toString(QStringLiteral("MM-dd-yyyy"));
        const QString time = now.toString(QStringLiteral("HH:mm:ss"));
        path_ = folder_ + date.mid(8, 2) + time.left(2) + time.mid(3, 2) + QStringLiteral(".log");
        header = date + QLatin1Char(' ') + time;
    }
    // Appending even at the first draw: a run that began in the same minute of another day keeps its
    // lines. The file is closed after each line, so no file stays open between draws.
    TextFile log;
    log.open(path_, TextFile::Mode::Append);
    if (first)
        log.print(header);
    log.print(drawLine(drawCount, n));
    log.close();
}

} // namespace halvora
