#pragma once

#include <QString>

namespace halvora {

// The folder of the running executable, ending with "/", as the system gives it; empty when the
// system cannot give it (a path longer than it allows), never a guess from the working folder.
QString runningProgramFolder();

} // namespace halvora
