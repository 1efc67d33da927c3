#pragma once

#include "platform/fonts.h"

#include <QApplication>

#include <clocale>

namespace halvora::bench {

inline int& withPlatform(int& argc, const char* platform) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", platform);
    return argc;
}

// A benchmark's application: the given platform unless the environment names one, numbers written
// with ".", and the program's font substitutions.
class Application final : public QApplication {
public:
    Application(int& argc, char** argv, const char* platform = "offscreen")
        : QApplication(withPlatform(argc, platform), argv) {
        std::setlocale(LC_NUMERIC, "C");
        installFontSubstitutions();
    }
};

} // namespace halvora::bench
