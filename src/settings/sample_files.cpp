#include "settings/sample_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace halvora {

namespace {

// Ordinary, visible files only; QDir matches name filters without regard to case by default.
QStringList matchingFiles(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::NoSymLinks, QDir::Name);
}

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    constexpr qint64 chunk = 1 << 16;
    while (!fa.atEnd()) {
        if (fa.read(chunk) != fb.read(chunk))
            return false;
    }
    return true;
}

// True when `target` ends up holding the same bytes as `source`. An existing target is never replaced.
bool copyInto(const QString& source, const QString& target) {
    if (QFileInfo::exists(target) || QFileInfo(target).isSymLink())
        return QFileInfo(target).isFile() && sameContent(source, target);
    return QFile::copy(source, target);
}

void transferSampleFiles(const QString& sourceFolder, const QString& folder, const QString& pattern,
                         bool removeSources) {
    const QString sample = folder + QStringLiteral("Sample/");
    for (const QString& name : matchingFiles(sourceFolder, pattern)) {
        const bool copied = copyInto(sourceFolder + name, sample + name);
        if (copied && removeSources)
            QFile::remove(sourceFolder + name);
    }
}

} // namespace

void moveSampleFiles(const QString& folder, const QString& pattern) {
    transferSampleFiles(folder, folder, pattern, true);
}

void copySampleFiles(const QString& sourceFolder, const QString& folder, const QString& pattern) {
    transferSampleFiles(sourceFolder, folder, pattern, false);
}

} // namespace halvora
