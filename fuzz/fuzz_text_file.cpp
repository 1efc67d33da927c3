// Any CP932 text file read line by line, as every reader of the program does.
#include "fuzz_support.h"

#include "platform/text_file.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    const QString path = sandbox.write(QStringLiteral("text.txt"), data, size);
    TextFile file;
    if (!file.open(path, TextFile::Mode::Input))
        std::abort();
    // A line never holds a line end, and every line is read before the end is reached.
    std::size_t lines = 0;
    for (QString line; file.readLine(line); ++lines) {
        if (line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n')))
            std::abort();
    }
    if (!file.atEnd() || lines > size || file.error().number != FileErrors::InputPastEnd)
        std::abort();
    return 0;
}
