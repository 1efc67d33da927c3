#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace halvora {

class MediaPlayer;

// How the show plays an entry of its lists. Nothing the player answers stops a show: a missing or
// unplayable file plays silently as nothing, and its length and position read 0.
namespace MediaPlayback {

// Opens the file, goes to `start` seconds and plays; a file with a moving picture, whatever its name,
// shows it in the video view once `makeRoom` has shown that view. A path holding a double quote is
// never played (the show was told when it was loaded).
void play(MediaPlayer& media, const QString& path, std::int32_t start, const std::function<void()>& makeRoom = {});
void close(MediaPlayer& media, const QString& path);

// Whole seconds, halves rounded up (a video counts in tenths before that); 0 for a file that is not open.
std::int32_t length(const MediaPlayer& media, const QString& path);
std::int32_t position(const MediaPlayer& media, const QString& path);

} // namespace MediaPlayback
} // namespace halvora
