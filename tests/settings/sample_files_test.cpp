#include "settings/kav_file_copy.h"

#include "support/test_files.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace halvora {
namespace {

TEST(SampleFiles, MoveKeepsEverySourceWithoutAnIdenticalCopy) {
    test::ProgramFolder program;
    auto here = [&](const QString& name) { return QFileInfo::exists(program.file(name)); };
    auto bytes = [&](const QString& name) { return test::readBytes(program.file(name)); };
    QDir(program.path()).mkpath(QStringLiteral("Sample/blocked.mp3")); // a folder where the copy should go
    QDir(program.path()).mkdir(QStringLiteral("folder.mp3"));
    const QStringList names{"tune.mp3",    "LOUD.MP3", "blocked.mp3", "clash.mp3",
                            ".hidden.mp3", "same.mp3", "tune.mp3x",   "notes.txt"};
    for (const QString& name : names)
        test::writeBytes(program.file(name), "content of " + name.toUtf8());
    test::writeBytes(program.file(QStringLiteral("Sample/clash.mp3")), "another tune");
    test::writeBytes(program.file(QStringLiteral("Sample/same.mp3")), "content of same.mp3");

    MoveSampleFiles(program.path(), QStringLiteral("*.mp3"));

    // Moved whatever the case of the extension; an identical copy already there lets the source go.
    for (const QString& name : QStringList{"tune.mp3", "LOUD.MP3", "same.mp3"}) {
        EXPECT_FALSE(here(name)) << name.toStdString();
        EXPECT_EQ(bytes("Sample/" + name), "content of " + name.toUtf8());
    }
    // A failed copy and a name taken by other content keep both files as they were.
    EXPECT_EQ(bytes(QStringLiteral("blocked.mp3")), "content of blocked.mp3");
    EXPECT_EQ(bytes(QStringLiteral("clash.mp3")), "content of clash.mp3");
    EXPECT_EQ(bytes(QStringLiteral("Sample/clash.mp3")), "another tune");
    // Hidden files, folders and other names are not touched.
    for (const QString& name : QStringList{".hidden.mp3", "folder.mp3", "tune.mp3x", "notes.txt"})
        EXPECT_TRUE(here(name) && !here("Sample/" + name)) << name.toStdString();
}

} // namespace
} // namespace halvora
