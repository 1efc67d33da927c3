#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/mci.h"
#include "platform/printer.h"
#include "platform/random.h"
#include "platform/timer.h"

namespace halvora {

// Everything the program asks of the platform; windows and dialogs receive this bundle.
struct Services {
    Clock& clock;
    Random& random;
    TimerFactory& timers;
    EventPump& pump;
    Dialogs& dialogs;
    Mci& mci;
    Printer& printer;
};

} // namespace halvora
