// The kept game, read as the start-up reads it. A game that reads must write and read again; the
// written file keeps only what CP932 holds (a hand-edited UTF-8 file may hold more), so from the first
// write on, the game must come back unchanged.
#include "fuzz_support.h"

#include "game/game_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    const QString path = sandbox.write(kGameFileName, data, size);
    const QString history = fuzz::kGameHistoryFolder;
    SavedGame game;
    if (readGameFile(path, history, game) != GameFileRead::Read)
        return 0;
    const QString again = sandbox.folder() + QStringLiteral("again.game");
    FileError error;
    SavedGame first;
    SavedGame second;
    if (!writeGameFile(again, game, error) || readGameFile(again, history, first) != GameFileRead::Read ||
        !writeGameFile(again, first, error) || readGameFile(again, history, second) != GameFileRead::Read ||
        !(second == first) || first.drawn != game.drawn || first.latest != game.latest ||
        first.drawCount != game.drawCount || first.historyLog != game.historyLog || first.hitCountIndex != game.hitCountIndex)
        std::abort();
    return 0;
}
