#pragma once

#include "settings/condition_records.h"
#include "settings/environment_file.h"

#include <QString>

#include <cstdint>

namespace halvora {

// What a show is set up with, from start-up to exit: the folders, the screen colours and the three
// media lists; and the media of the turn or check that is playing.
struct ShowSetup {
    EnvironmentFolders folders;
    ScreenColours colours;
    AvList av;
    PictureList pictures;
    IconList icons;

    QString CurrentVideoFile;
    QString CurrentMusicFile;
    std::int32_t PlaySeconds = 0;
};

} // namespace halvora
