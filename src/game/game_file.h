#pragma once

#include "platform/text_file.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace halvora {

// The running game as it is kept on disk after every change, so that a crash or a closed window
// does not cost the room its game.
struct SavedGame {
    std::int32_t drawCount = 0;      // draws booked so far
    std::array<bool, 76> drawn{};    // 1..75: the number counts as drawn
    std::array<bool, 76> latest{};   // 1..75: drawn in the last turn
    QString counter;                 // 回数
    QString participants;            // 参加者数, as typed
    QString expectedWinners;         // 予想当選者数
    QString panel;                   // the large panel
    QString historyLog;              // the game's history log; empty before the first draw
    std::int32_t hitCountIndex = -1; // the 当たり数 choice, 0..3; -1 in files kept before it was
    std::vector<int> order;          // the drawn numbers as they came; board order in files kept before it was

    bool anyDrawn() const;
    bool operator==(const SavedGame&) const = default;
};

// Kept beside Halvora.ini.
inline const QString kGameFileName = QStringLiteral("Halvora.game");

enum class GameFileRead { Missing, Read, Damaged };

// Reads the game kept at `path`. A file that is incomplete, out of range, in another encoding or names
// a history log outside `historyFolder` comes back Damaged, and `game` is left as it was.
// A log in `formerHistoryFolder` (where the history folder was before the folders moved) is taken to
// be the log of that name in `historyFolder`.
GameFileRead readGameFile(const QString& path, const QString& historyFolder, SavedGame& game,
                          const QString& formerHistoryFolder = {});

// Replaces the file at `path` with `game`, atomically and through to the disk; false (and `error`)
// when it could not be kept.
bool writeGameFile(const QString& path, const SavedGame& game, FileError& error);

} // namespace halvora
