#pragma once

#include "settings/condition_file.h"
#include "support/fake_dialogs.h"
#include "support/test_files.h"

#include <QStringList>

namespace halvora::test {

using namespace Qt::StringLiterals;

// The five option controls; every change made to them is noted in `changes`.
class FakeOptions final : public ConditionOptions {
public:
    QString participants = u"1"_s;
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
        changes << u"%1 %2"_s.arg(QLatin1String(what)).arg(value);
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
    QStringList messageLines(std::size_t i) const { return dialogs.messages().at(i).prompt.split(u"\r\n"_s); }
    // Entries 1..count of a list; music and video entries as "path|start|play".
    template <typename List> static QStringList entries(const List& list) {
        return QStringList(list.files.begin() + 1, list.files.begin() + list.count + 1);
    }
    static QStringList entries(const AvList& list) {
        QStringList all;
        for (int i = 1; i <= list.count; ++i)
            all << u"%1|%2|%3"_s.arg(list.files[i]).arg(list.starts[i]).arg(list.playSeconds[i]);
        return all;
    }
};

} // namespace halvora::test
