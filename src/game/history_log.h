#pragma once

#include <QString>

#include <cstdint>

namespace halvora {

class Clock;

// The draw-history log of a run. The first draw of a run names the log from the year, hour and
// minute ("HistoryFolder/yyhhmm.log") and writes a header line "mm-dd-yyyy hh:mm:ss"; each draw adds
// "  1 :  23". A log of an earlier run with the same name is kept and added to. Each line reaches the
// disk as it is written; a line that fails is lost and nothing else.
class HistoryLog {
public:
    // `continued`: the log of a resumed game, which its next draws go on adding to.
    HistoryLog(QString folder, const Clock& clock, QString continued = {});

    // Writes the drawn number `n` as draw `drawCount` of the run; a count of 1 starts a new run.
    void append(std::int32_t drawCount, std::int16_t n);
    // The log of the current run; empty before its first draw.
    const QString& path() const { return path_; }

private:
    QString folder_;
    const Clock& clock_;
    QString path_;
};

} // namespace halvora
