#include "dialogs/help_window.h"
#include "dialogs/timed_question.h"

#include "platform/text_file.h"
#include "support/test_files.h"
#include "support/virtual_time.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace halvora {
namespace {

// The box's answer and when it came, for each way it can end. The watched file is "playing": its
// position is the whole seconds since the box opened, up to its length.
TEST(TimedQuestion, AnswersByTimeByFileEndOrByTheOperator) {
    struct Case {
        const char* what;
        QString file;
        std::int32_t limit;
        std::int32_t length;
        const char* click; // a button clicked at 1.5 s, "close" for the close box, or a key typed
        Answer answer;
        qint64 atMs;
        QString shown; // the play-time display as last shown
    };
    const Case cases[] = {
        {"no file, 5 s", {}, 5, 0, nullptr, Answer::Yes, 5000, {}},
        {"no file, 0 s", {}, 0, 0, nullptr, Answer::Yes, 1000, {}},
        {"file to its end", "/m/a.mp3", 0, 3, nullptr, Answer::Yes, 3000, "3/3"},
        {"file not open", "/m/x.mp3", 0, 0, nullptr, Answer::Yes, 1000, "0/0"},
        {"file cut at 30 s", "/m/a.mp3", 30, 100, nullptr, Answer::Yes, 30000, "30/100"},
        {"file ended before 30 s", "/m/a.mp3", 30, 3, nullptr, Answer::Yes, 30000, "3/3"},
        {"blank path", "   ", 2, 9, nullptr, Answer::Yes, 2000, {}},
        {"いいえ", "/m/a.mp3", 0, 100, "CmdNo", Answer::No, 1500, "1/100"},
        {"はい", {}, 5, 0, "cmdYes", Answer::Yes, 1500, {}},
        {"close box", {}, 5, 0, "close", Answer::No, 1500, {}},
        {"N key", "/m/a.mp3", 0, 100, "n", Answer::No, 1500, "1/100"},
        {"Y key", {}, 5, 0, "y", Answer::Yes, 1500, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::VirtualTime time;
        QWidget owner;
        const MediaWatch watch{
            [&](const QString&) { return std::min(c.length, static_cast<std::int32_t>(time.elapsedMs() / 1000)); },
            [&](const QString&) { return c.length; }};
        QString shown;
        time.schedule(999, [&] {
            auto* box = owner.findChild<TimedQuestion*>();
            QObject::connect(box->findChild<QLineEdit*>(QStringLiteral("Txt演奏時間")), &QLineEdit::textChanged,
                             &owner, [&](const QString& text) { shown = text; });
        });
        if (c.click != nullptr)
            time.schedule(1500, [&] {
                auto* box = owner.findChild<TimedQuestion*>();
                if (QLatin1String(c.click) == QLatin1String("close"))
                    box->close();
                else if (qstrlen(c.click) == 1) // to the control with the focus, as the window system does
                    QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, c.click[0]);
                else
                    box->findChild<QPushButton*>(QLatin1String(c.click))->click();
            });

        const Answer answer = askTimed(owner, QStringLiteral("行1\r\n行2"), QStringLiteral("画像番号＝012"),
                                            c.file, c.limit, time, time, watch);

        EXPECT_EQ(std::tuple(answer, time.elapsedMs(), shown, time.runningTimers()),
                  std::tuple(c.answer, c.atMs, c.shown, 0));
    }
}

// Every line ends with CR LF, the last one too; a missing file is created empty; a file that can be
// neither created nor read shows nothing; instructions shipped apart from the data are found.
TEST(HelpText, LinesEndWithCrLfAndAMissingFileIsCreated) {
    test::ProgramFolder folder, shipped;
    const QString name = QStringLiteral("操作説明.txt"), path = folder.file(name);
    const QString three = QStringLiteral("一行目\r\n二行目\r\n三行目");
    for (const QString& content : {three + QStringLiteral("\r\n"), three}) {
        test::writeBytes(path, encodeAnsi(content));
        EXPECT_EQ(readHelpText(path), three + QStringLiteral("\r\n"));
    }
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), folder.path());
    EXPECT_EQ(readHelpText(shipped.file(name)), QString());
    EXPECT_EQ(instructionsFolder(shipped.path(), folder.path(), name), shipped.path());
    EXPECT_EQ(readHelpText(path + QStringLiteral("/") + name), QString()); // a "folder" that is a file
}

} // namespace
} // namespace halvora
