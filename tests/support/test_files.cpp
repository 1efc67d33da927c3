#include "test_files.h"

#include "platform/text_file.h"

#include <QFile>

#include <gtest/gtest.h>

namespace halvora::test {

ProgramFolder::ProgramFolder() { EXPECT_TRUE(dir_.isValid()); }

void ProgramFolder::addSampleMedia() const {
    const QString assets = QStringLiteral(HALVORA_ASSET_DIR "/");
    for (const QString& name : sampleMediaNames())
        EXPECT_TRUE(QFile::copy(assets + name, file(name))) << name.toStdString();
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray ansiLines(const QStringList& lines) {
    QByteArray out;
    for (const QString& line : lines)
        out += encodeAnsi(line) + "\r\n";
    return out;
}

QStringList sampleMediaNames() {
    return QStringLiteral("spm1.mp3|SPG1.jpg|SPG2.jpg|スタート1.bmp|スタート2.bmp|スタート3.bmp|スタート4.bmp").split(u'|');
}

} // namespace halvora::test
