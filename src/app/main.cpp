#include "draw/main_form.h"
#include "platform/descriptors.h"
#include "platform/fonts.h"
#include "platform/mpv_media_player.h"
#include "platform/program_folder.h"
#include "platform/qt_printer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <clocale>

int main(int argc, char** argv) {
    halvora::keepStandardDescriptorsOpen();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvora"));
    std::setlocale(LC_NUMERIC, "C");
    halvora::installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    // The platform's own dialogs (colour picker, file dialogs) speak Japanese like the rest of the program.
    QTranslator platformTexts;
    if (platformTexts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&platformTexts);

    halvora::SystemClock clock;
    halvora::MersenneRandom random;
    halvora::QtTimerFactory timers;
    halvora::QtEventPump pump(clock);
    halvora::QtDialogs dialogs;
    halvora::MpvMediaPlayer media;
    halvora::Services services{clock, random, timers, pump, dialogs, media};
    halvora::QtPrinter printer;

    const QString programFolder = halvora::runningProgramFolder();
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    halvora::MainForm form(services, printer, programFolder, userData);
    if (!form.load())
        return 1;
    // For the smoke test and the start-up benchmark: close the window once the loop is first idle.
    if (qEnvironmentVariableIntValue("HALVORA_QUIT_WHEN_IDLE") == 1)
        QTimer::singleShot(0, &form, [&form] { form.close(); });
    return QApplication::exec();
}
