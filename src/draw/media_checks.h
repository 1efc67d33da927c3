#pragma once

#include "platform/dialogs.h"

#include <QString>

#include <cstdint>

class QWidget;

namespace halvora {

class MainControls;
struct ShowSetup;
struct Services;

// The rehearsal commands of the edit menu: every music/video entry, photo or draw-start icon is
// played or shown in turn, pausing in the timed box; いいえ ends a check at once. They live with the
// main window because they work on its controls and lists through the player and the timed box.
class MediaChecks {
public:
    MediaChecks(ShowSetup& show, MainControls& controls, QWidget& window, Services& services);

    void checkMusicAndVideos();
    void checkPhotos();
    void checkIcons();

private:
    // The timed box for entry i: 6 goes on, 7 stops the check.
    Answer askNext(const QString& nextWhat, const QString& title, int i, const QString& file,
                         std::int32_t seconds);
    void showBoard(bool shown);

    ShowSetup& show_;
    MainControls& controls_;
    QWidget& window_;
    Services& services_;
};

} // namespace halvora
