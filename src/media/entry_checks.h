#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace halvora {

// Why an entry of a list cannot be used (the order of the reasons told). The show still runs: such an entry plays or shows as nothing.
enum class EntryFault { Missing, Folder, Unreadable, NotPicture, NotMedia, QuoteInName, Unstorable };

// The lists the operator fills: 0 music and video, 1 photos, 2 draw-start icons.
struct FaultyEntry {
    std::int16_t listKind;
    int row; // 1-based, as the list shows it
    QString path;
    EntryFault fault;
};

// What can be told without opening the file as media: a name the player never takes, a path the show
// file cannot hold (it plays, but no save can keep it), a missing file, a folder, a file that cannot be
// read and, for photos and icons, a file no image reader knows.
std::optional<EntryFault> findQuickFault(std::int16_t listKind, const QString& path);

// One message naming every faulty entry with its list, row and reason (the longest lists are cut
// short, with the number of those left out).
QString describeFaultyEntries(const std::vector<FaultyEntry>& entries);

} // namespace halvora
