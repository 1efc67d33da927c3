#include "draw/main_form.h"
#include "platform/fonts.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <clocale>

namespace {

// The real platform services; media and printing come through their own interfaces.
class NoMci final : public halvora::Mci {
public:
    int sendString(const QString&, QString& reply, int, WId) override {
        reply.clear();
        return 0;
    }
};

class NoPrinter final : public halvora::Printer {
public:
    void setFontName(const QString&) override {}
    void setScaleMillimetres() override {}
    void setPaperSize(int) override {}
    void setOrientation(int) override {}
    void setFontBold(bool) override {}
    void setFontSize(double) override {}
    void drawBox(double, double, double, double, std::uint32_t) override {}
    void setCurrentX(double) override {}
    void setCurrentY(double) override {}
    void printText(const QString&) override {}
    void newPage() override {}
    bool endDoc() override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Halvora"));
    std::setlocale(LC_NUMERIC, "C");
    halvora::installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));

    halvora::SystemClock clock;
    halvora::MersenneRandom random;
    halvora::QtTimerFactory timers;
    halvora::QtEventPump pump(clock);
    halvora::QtDialogs dialogs;
    NoMci mci;
    NoPrinter printer;
    halvora::Services services{clock, random, timers, pump, dialogs, mci, printer};

    const QString programFolder = QDir(QCoreApplication::applicationDirPath()).absolutePath() + QLatin1Char('/');
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    halvora::MainForm form(services, programFolder, userData);
    if (!form.load())
        return 1;
    // For the smoke test and the start-up benchmark: close the window once the loop is first idle.
    if (qEnvironmentVariableIntValue("HALVORA_QUIT_WHEN_IDLE") == 1)
        QTimer::singleShot(0, &form, [&form] { form.close(); });
    return QApplication::exec();
}
