#include "platform/file_replace.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvora {

namespace {

// The folder entry reaches the disk too, so that the new name survives a power cut.
void syncFolderOf(const QByteArray& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// New files get the usual permissions; a replaced file keeps its own.
mode_t modeFor(const QByteArray& target) {
    struct stat info {};
    if (::stat(target.constData(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

FileSystemCalls& fileSystemCalls() {
    static FileSystemCalls calls{::write, ::fdatasync, ::close, ::rename};
    return calls;
}

bool isReplaceableTarget(const QString& target, FileError& error) {
    const QByteArray name = QFile::encodeName(target);
    if (name.size() >= PATH_MAX) {
        error = fileError(FileErrors::PathFileAccess);
        return false;
    }
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        error = errno == ENOENT ? FileError{} : fileErrorFromErrno(errno, target);
        return !error.isError();
    }
    if (!S_ISREG(info.st_mode)) {
        error = fileError(FileErrors::PathFileAccess);
        return false;
    }
    error = {};
    return true;
}

FileReplacement::~FileReplacement() {
    discard();
}

bool FileReplacement::fail(int osError) {
    error_ = fileErrorFromErrno(osError == 0 ? EIO : osError, target_);
    discard();
    return false;
}

bool FileReplacement::failWith(int number) {
    error_ = fileError(number);
    discard();
    return false;
}

bool FileReplacement::open(const QString& target) {
    discard();
    error_ = {};
    target_ = target;
    if (target.isEmpty())
        return failWith(FileErrors::BadFileName);
    if (!isReplaceableTarget(target, error_))
        return failWith(error_.number);
    const QByteArray name = QFile::encodeName(target);
    // The temporary name has six more characters than the target; it too must fit.
    QByteArray pattern = name + ".XXXXXX";
    if (pattern.size() >= PATH_MAX)
        return failWith(FileErrors::PathFileAccess);
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    fd_ = fd;
    temporary_ = pattern;
    if (::fchmod(fd_, modeFor(name)) != 0)
        return fail(errno);
    return true;
}

bool FileReplacement::write(const QByteArray& bytes) {
    if (fd_ < 0)
        return failWith(error_.isError() ? error_.number : FileErrors::BadFileMode);
    const char* data = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        errno = 0;
        const ssize_t written = fileSystemCalls().write(fd_, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(errno);
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool FileReplacement::commit() {
    if (fd_ < 0)
        return failWith(error_.isError() ? error_.number : FileErrors::BadFileMode);
    errno = 0;
    if (fileSystemCalls().fdatasync(fd_) != 0 && errno != EINVAL)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    errno = 0;
    if (fileSystemCalls().close(fd) != 0)
        return fail(errno);
    // Something other than a regular file may have been put at the target while this one was written.
    if (!isReplaceableTarget(target_, error_))
        return failWith(error_.number);
    errno = 0;
    if (fileSystemCalls().rename(temporary_.constData(), QFile::encodeName(target_).constData()) != 0)
        return fail(errno);
    syncFolderOf(temporary_);
    temporary_.clear();
    return true;
}

void FileReplacement::discard() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

} // namespace halvora
