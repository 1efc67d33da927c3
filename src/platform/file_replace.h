#pragma once

#include "platform/text_file.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace halvora {

// The system calls a replacement goes through; a test swaps one for a failing stand-in to see that
// every step is checked.
struct FileSystemCalls {
    ssize_t (*write)(int, const void*, size_t);
    int (*fdatasync)(int);
    int (*close)(int);
    int (*rename)(const char*, const char*);
};
FileSystemCalls& fileSystemCalls();

// A file replaced whole: the bytes go into a new file beside the target, which takes the target's
// name only when every write, the sync to disk and the close succeeded. On any failure the new file
// is removed and the old one stays byte for byte. Only a regular file is ever replaced: a link, a
// pipe, a device or a folder at the target is refused (PathFileAccess), never written through.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement(); // an uncommitted replacement is discarded
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    bool open(const QString& target);
    bool write(const QByteArray& bytes);
    bool commit();
    void discard();
    const FileError& error() const { return error_; }

private:
    bool fail(int osError);
    bool failWith(int number);

    QString target_;
    QByteArray temporary_;
    int fd_ = -1;
    FileError error_;
};

// Whether the target may be replaced: absent, or a regular file (a link is not followed).
bool isReplaceableTarget(const QString& target, FileError& error);

} // namespace halvora
