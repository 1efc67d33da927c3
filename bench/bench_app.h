#pragma once

#include "platform/fonts.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>

namespace halvora::bench {

inline int& withPlatform(int& argc, const char* platform) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", platform);
    return argc;
}

// A screen of the offscreen platform, at 96 dpi, the screens standing side by side.
struct OffscreenScreen {
    const char* name;
    int width;
    int height;
};

// The platform name that gives the offscreen platform these screens (described in a file in `dir`).
inline QByteArray offscreenWithScreens(const QTemporaryDir& dir, std::initializer_list<OffscreenScreen> screens) {
    const QString path = dir.filePath(QStringLiteral("screens.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return "offscreen";
    QStringList described;
    int x = 0;
    for (const OffscreenScreen& s : screens) {
        described << QStringLiteral(R"({"name": "%1", "x": %2, "y": 0, "width": %3, "height": %4, )"
                                    R"("logicalDpi": 96, "logicalBaseDpi": 96})")
                         .arg(QString::fromLatin1(s.name))
                         .arg(x)
                         .arg(s.width)
                         .arg(s.height);
        x += s.width;
    }
    file.write(R"({"synchronousWindowSystemEvents": false, "windowFrameMargins": false, "screens": [)" +
               described.join(QStringLiteral(", ")).toUtf8() + "]}");
    return "offscreen:configfile=" + QFile::encodeName(path);
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
