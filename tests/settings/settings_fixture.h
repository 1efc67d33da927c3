#pragma once

#include "settings/condition_file.h"
#include "support/fake_dialogs.h"
#include "support/test_files.h"

#include <QStringList>

namespace halvora::test {

// The five option controls; every change made to them is noted in `changes`.
class FakeOptions final : public ConditionOptions {
public:
    QString participants = QStringLiteral("1");
    bool avRandomChecked = true, pictureRandomChecked = true;
    int hitCountIndex = 3, drawTimeIndex = 0;
    QStringList changes;

    QString participantsText() const override { return participants; }
    void setParticipantsText(const QString& t) override {
        participants = t;
        changes << "participants " + t;
    }
    bool avRandom() const override { return avRandomChecked; }
    void setAvRandom(bool c) override {
        avRandomChecked = c;
        changes << QStringLiteral("avRandom %1").arg(c);
    }
    bool pictureRandom() const override { return pictureRandomChecked; }
    void setPictureRandom(bool c) override {
        pictureRandomChecked = c;
        changes << QStringLiteral("pictureRandom %1").arg(c);
    }
    int selectedHitCountIndex() const override { return hitCountIndex; }
    void selectHitCountIndex(int i) override {
        hitCountIndex = i;
        changes << QStringLiteral("hitCount %1").arg(i);
    }
    int selectedDrawTimeIndex() const override { return drawTimeIndex; }
    void selectDrawTimeIndex(int i) override {
        drawTimeIndex = i;
        changes << QStringLiteral("drawTime %1").arg(i);
    }
};

// A program folder, the main window's condition records and the reader/writer working on them.
struct SettingsFixture {
    ProgramFolder folder;
    FakeDialogs dialogs;
    AvList av;
    PictureList pictures;
    IconList icons;
    ScreenColours colours;
    FakeOptions options;
    ConditionFile file{dialogs, nullptr, av, pictures, icons, colours, options};

    // Writes `text` ("\n" between lines) as a CP932 file with CR LF line ends.
    QString write(const QString& name, const QString& text) const {
        writeBytes(folder.file(name), ansiLines(text.split(QLatin1Char('\n'))));
        return folder.file(name);
    }
    QStringList messageLines(std::size_t i) const {
        return dialogs.messages().at(i).prompt.split(QStringLiteral("\r\n"));
    }
};

} // namespace halvora::test
