#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace halvora {

class Dialogs;
class MediaPlayer;

// How the show plays an entry of its lists. Nothing the player answers stops a show: a missing or
// unplayable file plays silently as nothing, and its length and position read 0.
namespace MediaPlayback {

// Opens the file, shows a video in the video view, goes to `start` seconds and plays. A path holding a
// double quote is never played (the show was told when it was loaded).
void play(MediaPlayer& media, const QString& path, std::int32_t start);
void close(MediaPlayer& media, const QString& path);

// Tells the operator, in one message, of the entries that can never play because of their names;
// for when a show is loaded, not during it. Nothing is shown when all can play.
void reportUnplayableNames(Dialogs& dialogs, QWidget* owner, const QStringList& paths);

// Whole seconds, halves rounded up (a video counts in tenths before that); 0 for a file that is not open.
std::int32_t length(const MediaPlayer& media, const QString& path);
std::int32_t position(const MediaPlayer& media, const QString& path);

} // namespace MediaPlayback
} // namespace halvora
