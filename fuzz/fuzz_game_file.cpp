// The kept game, read as the start-up reads it; a game that reads must write back to itself.
#include "fuzz_support.h"

#include "settings/game_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    const QString path = sandbox.write(kGameFileName, data, size);
    const QString history = fuzz::kGameHistoryFolder;
    SavedGame game;
    if (ReadGameFile(path, history, game) != GameFileRead::Read)
        return 0;
    const QString again = sandbox.folder() + QStringLiteral("again.game");
    FileError error;
    SavedGame back;
    if (!WriteGameFile(again, game, error) || ReadGameFile(again, history, back) != GameFileRead::Read || !(back == game))
        std::abort();
    return 0;
}
