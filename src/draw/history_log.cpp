#include "history_log.h"

#include "common/zc.h"
#include "draw/game_state.h"
#include "platform/clock.h"
#include "platform/text_file.h"

#include <QDateTime>

namespace halvora {

namespace {

QString drawLine(std::int32_t drawCount, std::int16_t n) {
    const QString pattern = QStringLiteral("###");
    return FormatField(drawCount, pattern) + QStringLiteral(" : ") + FormatField(n, pattern);
}

} // namespace

void AppendHistory(std::int16_t n, GameState& state, const Clock& clock) {
    // Every step that fails is skipped and the draw goes on.
    const bool first = state.DrawCount == 1;
    QString header;
    if (first) {
        const QDateTime now = clock.now();
        const QString date = now.toString(QStringLiteral("MM-dd-yyyy"));
        const QString time = now.toString(QStringLiteral("HH:mm:ss"));
        state.HistoryLogPath = state.folders.HistoryFolder + date.mid(8, 2) + time.left(2) + time.mid(3, 2) +
                               QStringLiteral(".log");
        header = date + QLatin1Char(' ') + time;
    }
    // Appending even at the first draw: a run that began in the same minute of another day keeps its lines.
    TextFile log;
    log.open(state.HistoryLogPath, TextFile::Mode::Append);
    if (first)
        log.print(header);
    log.print(drawLine(state.DrawCount, n));
    log.close();
}

} // namespace halvora
