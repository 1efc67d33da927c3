#include "support/mci_recorder.h"
#include "support/scripted_random.h"

#include <QString>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace halvora::test {
namespace {

// The program's pick, as it reads the number: six decimals of the ten-decimal text, mod max, plus 1.
int pickOf(float value, int max) {
    return QString::number(double(value), 'f', 10).mid(2, 6).toInt() % max + 1;
}

TEST(ScriptedRandom, ValuesProduceTheWantedPicks) {
    for (int max : {1, 2, 8, 12, 75, 200}) {
        for (int pick = 1; pick <= max; ++pick) {
            const float value = valueForPick(pick, max);
            EXPECT_GE(value, 0.0f);
            EXPECT_LT(value, 1.0f);
            EXPECT_EQ(pickOf(value, max), pick) << pick << " of " << max;
        }
    }
    ScriptedRandom random;
    random.pushPicks({75, 1, 38}, 75);
    EXPECT_EQ(pickOf(random.next(), 75), 75);
    EXPECT_EQ(pickOf(random.next(), 75), 1);
    EXPECT_EQ(pickOf(random.next(), 75), 38);
    // Used up: fails, unless a fallback repeats.
    EXPECT_NONFATAL_FAILURE(random.next(), "used up after 3 numbers");
    random.setFallback(0.25f);
    EXPECT_EQ(random.next(), 0.25f);
    EXPECT_EQ(random.next(), 0.25f);
}

TEST(MciRecorder, AnswersByTheLongestPrefixAndCutsRepliesToTheBuffer) {
    MciRecorder mci;
    mci.setReply(QStringLiteral("status"), QStringLiteral("0"));
    mci.setReply(QStringLiteral("status \"a.mp3\" length"), QStringLiteral("123456789012345678901234"));
    mci.setReply(QStringLiteral("open \"bad"), {}, 275);
    QString reply = QStringLiteral("stale");
    EXPECT_EQ(mci.sendString(QStringLiteral("status \"a.mp3\" length"), reply, 20, 0), 0);
    EXPECT_EQ(reply, QStringLiteral("1234567890123456789"));
    EXPECT_EQ(mci.sendString(QStringLiteral("status \"b.mp3\" position"), reply, 20, 0), 0);
    EXPECT_EQ(reply, QStringLiteral("0"));
    EXPECT_EQ(mci.sendString(QStringLiteral("open \"bad.mp3\""), reply, 0, 0), 275);
    EXPECT_EQ(mci.sendString(QStringLiteral("play \"a.mp3\""), reply, 0, 42), 0);
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_EQ(mci.commands(), QStringList({"status \"a.mp3\" length", "status \"b.mp3\" position",
                                           "open \"bad.mp3\"", "play \"a.mp3\""}));
    EXPECT_EQ(mci.calls().back().callbackWindow, WId(42));
}

} // namespace
} // namespace halvora::test
