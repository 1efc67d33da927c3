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
    void setParticipantsText(const QString& t) override { note(participants, t, "participants"); }
    bool avRandom() const override { return avRandomChecked; }
    void setAvRandom(bool c) override { note(avRandomChecked, c, "avRandom"); }
    bool pictureRandom() const override { return pictureRandomChecked; }
    void setPictureRandom(bool c) override { note(pictureRandomChecked, c, "pictureRandom"); }
    int selectedHitCountIndex() const override { return hitCountIndex; }
    void selectHitCountIndex(int i) override { note(hitCountIndex, i, "hitCount"); }
    int selectedDrawTimeIndex() const override { return drawTimeIndex; }
    void selectDrawTimeIndex(int i) override { note(drawTimeIndex, i, "drawTime"); }

private:
    template <typename T> void note(T& field, const T& value, const char* what) {
        field = value;
        changes << QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(value);
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
        writeBytes(folder.file(name), ansi(text));
        return folder.file(name);
    }
    static QByteArray ansi(const QString& text) { return ansiLines(text.split(QLatin1Char('\n'))); }
    QStringList messageLines(std::size_t i) const {
        return dialogs.messages().at(i).prompt.split(QStringLiteral("\r\n"));
    }
};

} // namespace halvora::test
