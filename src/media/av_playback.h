#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

class QWidget;

namespace halvora {

class Dialogs;
class EventPump;
class Mci;

// AV再生Sub: the only place that talks to the media player. A file is named in every command by its
// path text in double quotes, so close and the queries must get the same text as the play routine.
// Nothing the player answers is looked at: a missing or unplayable file plays silently as nothing,
// and its length and position read 0.
namespace AV再生Sub {

// True when the name ends in ".AVI" in any case: such files count in tenths of a second.
bool IsVideoFile(const QString& path);

// Opens the file, shows it in the video view, seeks to `start` seconds, lets pending events run for a
// while and plays. A path the command text cannot carry (one holding a double
// quote) plays as nothing, like any other unplayable file: a show never stops for it.
void PlayVideo(Mci& mci, EventPump& pump, const QString& path, std::int32_t start);
void CloseVideo(Mci& mci, const QString& path);
// Opens, seeks to `start` seconds and plays.
void PlayMusic(Mci& mci, const QString& path, std::int32_t start);
void CloseMusic(Mci& mci, const QString& path);

// Tells the operator, in one message, of the entries that can never play because of their names;
// for when a show is loaded, not during it. Nothing is shown when all can play.
void ReportUnplayableNames(Dialogs& dialogs, QWidget* owner, const QStringList& paths);

// Whole seconds, halves rounded up; 0 for a file that is not open.
std::int32_t MediaLength(Mci& mci, const QString& path);
std::int32_t MediaPosition(Mci& mci, const QString& path);

} // namespace AV再生Sub
} // namespace halvora
