#pragma once

#include "settings/condition_records.h"
#include "settings/environment_file.h"

namespace halvora {

// What a show is set up with, from start-up to exit: the folders, the screen colours and the three
// media lists.
struct ShowSetup {
    EnvironmentFolders folders;
    ScreenColours colours;
    AvList av;
    PictureList pictures;
    IconList icons;
};

} // namespace halvora
