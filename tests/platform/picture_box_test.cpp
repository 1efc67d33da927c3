#include "platform/fonts.h"
#include "platform/picture_box.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QRawFont>

#include <gtest/gtest.h>

namespace halvora {
namespace {

// The bounding box of every pixel that differs from the background.
QRect ink(const QImage& image, const QColor& background = Qt::black) {
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                area |= QRect(x, y, 1, 1);
    return area;
}

// White text on the default black box of 400 × 300 pixels.
class PictureBoxTest : public ::testing::Test {
protected:
    PictureBoxTest() {
        box.setTwipsPerPixel(15);
        box.resize(400, 300);
        box.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
        box.setForeColor(Qt::white);
        box.show();
        box.clear();
    }
    PictureBox box;
};

TEST_F(PictureBoxTest, PrintPositionFollowsTheTextInTwips) {
    box.setFontSize(20);
    const double height = box.textHeight(QStringLiteral("A")), width = box.textWidth(QStringLiteral("05"));
    // 20 points are 400 twips; a line is about one to one and a half of them.
    EXPECT_TRUE(height >= 400.0 && height <= 600.0 && width > 0.0) << height << " " << width;
    box.setCurrentX(300);
    box.setCurrentY(150);
    box.print(QStringLiteral("05"), false);
    EXPECT_EQ(std::pair(box.currentX(), box.currentY()), std::pair(300 + width, 150.0));
    box.print(QStringLiteral("05"), true);
    EXPECT_EQ(std::pair(box.currentX(), box.currentY()), std::pair(0.0, 150 + height));
}

TEST_F(PictureBoxTest, DrawingStaysUntilTheBoxIsCleared) {
    box.setFontSize(36);
    box.print(QStringLiteral("12"), true);
    const QRect first = ink(box.image());
    ASSERT_FALSE(first.isEmpty());
    // A second print below keeps the first; a resize keeps both.
    box.print(QStringLiteral("34"), true);
    box.resize(420, 320);
    const QRect both = ink(box.image());
    EXPECT_TRUE(both.contains(first) && both.bottom() > first.bottom());
    // Clearing fills the background colour and moves back to the top left.
    box.setBackColor(QColor(0, 0, 128));
    box.clear();
    EXPECT_TRUE(ink(box.image(), QColor(0, 0, 128)).isEmpty());
    EXPECT_TRUE(box.currentX() == 0 && box.currentY() == 0);
}

TEST_F(PictureBoxTest, VerticalFaceTurnsEveryCharacter) {
    box.setFontSize(60);
    box.print(QStringLiteral("1"), true);
    const QRect upright = ink(box.image());
    EXPECT_GT(upright.height(), upright.width());
    box.clear();
    box.setFontName(QStringLiteral("@ＭＳ Ｐゴシック"));
    box.print(QStringLiteral("1"), true);
    const QRect turned = ink(box.image());
    EXPECT_GT(turned.width(), turned.height());
    EXPECT_NEAR(turned.width(), upright.height(), 3);
    // Each turned character takes a cell as wide as the line is high.
    EXPECT_DOUBLE_EQ(box.textWidth(QStringLiteral("05")), 2 * box.textHeight(QStringLiteral("05")));
}

// Every face the program names is drawn with an installed font meant for the text it prints — not
// with boxes, and not with a symbol font that merely maps the digits to pictures. Only the numbers
// are printed in Impact; every other face prints Japanese too.
TEST(Fonts, EveryNamedFaceRendersItsTextWithARealFont) {
    const QString digits = QStringLiteral("0123456789");
    const QString japanese = QStringLiteral("回数当り回す抽選時間ﾎﾟｯﾌﾟ７５");
    for (const char* name : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック", "@ＭＳ Ｐゴシック", "ＭＳ 明朝",
                             "ＭＳ Ｐ明朝", "@ＭＳ Ｐ明朝", "MS UI Gothic", "HGP創英角ﾎﾟｯﾌﾟ体",
                             "@HGP創英角ﾎﾟｯﾌﾟ体", "@HGS明朝B", "@HG正楷書体-PRO", "@HG行書体", "Impact"}) {
        const QString face = QString::fromUtf8(name);
        const bool isJapanese = face != QStringLiteral("Impact");
        const QString family = substituteFace(face);
        SCOPED_TRACE(std::string(name) + " renders with " + family.toStdString());
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        EXPECT_TRUE(systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Symbol) &&
                    (!isJapanese || systems.contains(QFontDatabase::Japanese)));
        const QRawFont raw = QRawFont::fromFont(QFont(face, 20));
        for (const QChar c : isJapanese ? digits + japanese : digits)
            EXPECT_TRUE(raw.supportsCharacter(c)) << "lacks " << QString(c).toStdString();
    }
}

} // namespace
} // namespace halvora
