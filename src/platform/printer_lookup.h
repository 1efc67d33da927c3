#pragma once

#include <QString>

#include <optional>

namespace halvora {

// The default printer's name, asked of the print system on a thread of its own, so that a print
// server that does not answer (stopped, or a network printer asleep) cannot hold the show: the event
// loop runs meanwhile, and gives up after `timeoutMs`. Empty when there is no default printer; nothing
// when the print system did not answer in time.
std::optional<QString> lookUpDefaultPrinter(int timeoutMs);

} // namespace halvora
