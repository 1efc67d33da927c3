#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/event_pump.h"
#include "platform/media_player.h"
#include "platform/random.h"
#include "platform/timer.h"

namespace halvora {

// What the show asks of the platform; each module takes the few of these it uses. Printing is
// handed only to the commands that print.
struct Services {
    Clock& clock;
    Random& random;
    TimerFactory& timers;
    EventPump& pump;
    Dialogs& dialogs;
    MediaPlayer& media;
};

} // namespace halvora
