#pragma once

#include <QString>

#include <cstdint>

namespace halvora {

class Clock;
struct GameState;

// Writes the drawn number `n` to the run's history log, after DrawCount was raised. The first draw
// of a run names the log from the year, hour and minute ("HistoryFolder/yyhhmm.log") and writes a
// header line "mm-dd-yyyy hh:mm:ss"; each draw adds "  1 :  23". A log of an earlier run with the
// same name is kept and added to. Failures lose the line and nothing else.
void AppendHistory(std::int16_t n, GameState& state, const Clock& clock);

} // namespace halvora
