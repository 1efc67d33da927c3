// Pictures of one real turn, for looking at: the main window grabbed during the roulette, during
// the announcement and after the board is back, as the screen shows them. Run under a display.
//   shoot_turn <output folder> [video file]
// With a video file the turn plays it in the video area instead of the sample tune.
#include "platform/fonts.h"
#include "real_turn.h"
#include "support/test_files.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <clocale>
#include <cstdio>

int main(int argc, char** argv) {
    using namespace halvora;
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 9));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);

    test::ProgramFolder folder;
    test::ProgramFolder userData;
    folder.addSampleMedia();
    // The machine's own outputs: the picture must really reach the screen.
    test::RealTurn turn(folder.path(), userData.path(), MpvOutputs{QStringLiteral("null"), {}});
    MainForm& form = turn.form();
    if (!form.load())
        return 1;
    form.controls().selectDrawTimeIndex(2);
    form.controls().selectHitCountIndex(3);
    if (argc > 2) {
        AvList& av = form.show().av;
        av.count = 1;
        av.files[1] = QString::fromLocal8Bit(argv[2]);
        av.playSeconds[1] = 20;
    }
    auto shoot = [&form](const QString& file) { form.screen()->grabWindow(0).save(file); };
    const std::pair<int, const char*> shots[] = {
        {1300, "1-roulette"}, {2800, "2-roulette"}, {5400, "3-announcement-start"}, {6500, "4-announcement"}};
    for (const auto& [ms, name] : shots) {
        const QString file = out + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
        QTimer::singleShot(ms, &form, [shoot, file] { shoot(file); });
    }
    if (!turn.run(60000))
        return 1;
    shoot(out + QStringLiteral("/5-board-back.png"));
    std::printf("pictures in %s\n", qPrintable(out));
    return 0;
}
