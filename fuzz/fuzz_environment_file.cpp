// Halvora.ini, read as the program reads it at start-up from the folder it runs in (which rewrites
// the file when a value is unusable).
#include "fuzz_support.h"

#include "settings/environment_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    sandbox.write(kEnvironmentFileName, data, size);
    fuzz::AnswerAtOnce dialogs;
    EnvironmentFolders folders;
    readEnvironmentFile(sandbox.folder(), sandbox.folder() + QStringLiteral("user"), folders, dialogs, nullptr);
    return 0;
}
