// The condition file, read as the main window reads it at start-up, and its colours converted as the
// window applies them.
#include "fuzz_support.h"

#include "platform/colours.h"
#include "settings/condition_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    const QString path = sandbox.write(QStringLiteral("Halvora.env"), data, size);
    fuzz::AnswerAtOnce dialogs;
    fuzz::Options options;
    AvList av;
    PictureList pictures;
    IconList icons;
    ScreenColours colours;
    ConditionFile file(dialogs, nullptr, av, pictures, icons, colours, options);
    if (file.readAtStartUp(path, sandbox.folder())) {
        for (const auto* row : {&colours.backColours, &colours.foreColours})
            for (const QString& text : *row)
                colourFromText(text);
    }
    return 0;
}
