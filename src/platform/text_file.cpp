#include "platform/text_file.h"

#include "platform/file_replace.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace halvora {

namespace {

struct ErrorText {
    int number;
    const char16_t* text;
};

// The descriptions the classic runtime gives these numbers; messages quote them verbatim.
constexpr ErrorText kErrorTexts[] = {
    {FileErrors::InvalidArgument, u"プロシージャの呼び出し、または引数が不正です。"},
    {FileErrors::OutOfMemory, u"メモリが不足しています。"},
    {FileErrors::BadFileName, u"ファイル名または番号が不正です。"},
    {FileErrors::FileNotFound, u"ファイルが見つかりません。"},
    {FileErrors::BadFileMode, u"ファイル モードが不正です。"},
    {FileErrors::DeviceIo, u"デバイス I/O エラーです。"},
    {FileErrors::DiskFull, u"ディスクの空き容量が不足しています。"},
    {FileErrors::InputPastEnd, u"ファイルにこれ以上データがありません。"},
    {FileErrors::TooManyFiles, u"ファイルが多すぎます。"},
    {FileErrors::PermissionDenied, u"書き込みできません。"},
    {FileErrors::PathFileAccess, u"パス名が無効です。"},
    {FileErrors::PathNotFound, u"パスが見つかりません。"},
};

constexpr char kAnsiCodec[] = "Shift_JIS";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF"; // put first by some editors

bool folderExists(const QString& path) {
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// The descriptor is opened with POSIX so errno tells exactly what went wrong, then handed to QFile.
// Opening never waits: a pipe put in place of a file would otherwise hold the program until a writer
// comes. Anything but a regular file is refused, as is a link in place of a file appended to.
std::unique_ptr<QFile> openDescriptor(const QString& path, int flags, FileError& error) {
    const QByteArray name = QFile::encodeName(path);
    const bool reading = (flags & O_ACCMODE) == O_RDONLY;
    const int fd =
        ::open(name.constData(), flags | O_CLOEXEC | O_NONBLOCK | (reading ? 0 : O_NOFOLLOW), 0666);
    if (fd < 0) {
        error = fileErrorFromErrno(errno, path);
        return nullptr;
    }
    struct stat info {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!regular || (reading && info.st_size > TextFile::kLargestTextFile)) {
        ::close(fd);
        error = fileError(regular ? FileErrors::OutOfMemory : FileErrors::PathFileAccess);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    const QIODevice::OpenMode mode = reading ? QIODevice::ReadOnly : QIODevice::WriteOnly | QIODevice::Append;
    if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = fileError(FileErrors::DeviceIo);
        return nullptr;
    }
    return file;
}

// Text another editor saved in UTF-8: it decodes without a fault and has characters beyond ASCII
// (CP932 text almost never does, its lead bytes being UTF-8's continuation bytes).
bool looksLikeUtf8(const QByteArray& bytes) {
    if (bytes.startsWith(kUtf8Mark))
        return true;
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

// Appended lines reach the disk, not only the system's cache, so a log is whole even after a power
// cut. Devices that cannot be synchronised (EINVAL) have nothing to keep.
bool syncToDisk(const QFileDevice& device) {
    errno = 0;
    return ::fdatasync(device.handle()) == 0 || errno == EINVAL;
}

} // namespace

FileError fileError(int number) {
    for (const ErrorText& entry : kErrorTexts)
        if (entry.number == number)
            return {number, QString::fromUtf16(entry.text)};
    return {number, QStringLiteral("アプリケーション定義またはオブジェクト定義のエラーです。")};
}

FileError fileErrorFromErrno(int osError) {
    switch (osError) {
    case 0:
        return {};
    case ENOENT:
        return fileError(FileErrors::FileNotFound);
    case ENOTDIR:
        return fileError(FileErrors::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case EBUSY:
    case ETXTBSY:
        return fileError(FileErrors::PermissionDenied);
    case EISDIR:
    case ENXIO: // a pipe with no reader, a socket
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return fileError(FileErrors::PathFileAccess);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return fileError(FileErrors::DiskFull);
    case EMFILE:
    case ENFILE:
        return fileError(FileErrors::TooManyFiles);
    default:
        return fileError(FileErrors::DeviceIo);
    }
}

FileError fileErrorFromErrno(int osError, const QString& path) {
    if (osError == ENOENT && !folderExists(path))
        return fileError(FileErrors::PathNotFound);
    return fileErrorFromErrno(osError);
}

QByteArray encodeAnsi(const QString& text, bool* ok) {
    QStringEncoder encoder(kAnsiCodec);
    QByteArray bytes = encoder(text);
    if (ok)
        *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

QString decodeAnsi(const QByteArray& bytes) {
    QStringDecoder decoder(kAnsiCodec);
    return decoder(bytes);
}

bool isAnsiEncodable(const QString& text) {
    bool ok = false;
    encodeAnsi(text, &ok);
    return ok;
}

TextFile::TextFile() = default;

TextFile::~TextFile() {
    close();
}

bool TextFile::fail(const FileError& error) {
    error_ = error;
    return false;
}

bool TextFile::isOpen() const {
    return open_;
}

bool TextFile::atEnd() const {
    return position_ >= content_.size();
}

bool TextFile::open(const QString& path, Mode mode, Encoding input) {
    close();
    error_ = {};
    mode_ = mode;
    path_ = path;
    writeFailed_ = false;
    utf8_ = false;
    content_.clear();
    position_ = 0;
    // Only the texts are CP932: a file is opened by any path the file system takes.
    if (path.isEmpty())
        return fail(fileError(FileErrors::BadFileName));
    if (QFileInfo(path).isDir())
        return fail(fileError(FileErrors::PathFileAccess));
    const bool opened = mode == Mode::Input    ? openInput(input)
                        : mode == Mode::Output ? openOutput()
                                               : openAppend();
    open_ = opened;
    return opened;
}

bool TextFile::openInput(Encoding encoding) {
    std::unique_ptr<QFile> file = openDescriptor(path_, O_RDONLY, error_);
    if (!file)
        return false;
    errno = 0;
    content_ = file->readAll();
    if (file->error() != QFileDevice::NoError)
        return fail(deviceError(errno, file.get()));
    utf8_ = encoding == Encoding::Detect && looksLikeUtf8(content_);
    if (utf8_ && content_.startsWith(kUtf8Mark))
        position_ = static_cast<qsizetype>(sizeof kUtf8Mark) - 1;
    return true;
}

bool TextFile::openOutput() {
    if (!folderExists(path_))
        return fail(fileError(FileErrors::PathNotFound));
    auto replacement = std::make_unique<FileReplacement>();
    if (!replacement->open(path_))
        return fail(replacement->error());
    replacement_ = std::move(replacement);
    return true;
}

bool TextFile::openAppend() {
    device_ = openDescriptor(path_, O_WRONLY | O_APPEND | O_CREAT, error_);
    return device_ != nullptr;
}

FileError TextFile::deviceError(int osError, const QFileDevice* device) const {
    if (osError != 0)
        return fileErrorFromErrno(osError, path_);
    switch (device ? device->error() : QFileDevice::UnspecifiedError) {
    case QFileDevice::ResourceError:
        return fileError(FileErrors::DiskFull);
    case QFileDevice::PermissionsError:
        return fileError(FileErrors::PermissionDenied);
    case QFileDevice::OpenError:
        return fileError(FileErrors::PathFileAccess);
    default:
        return fileError(FileErrors::DeviceIo);
    }
}

bool TextFile::readLine(QString& line) {
    if (!open_ || mode_ != Mode::Input)
        return fail(fileError(FileErrors::BadFileMode));
    if (atEnd())
        return fail(fileError(FileErrors::InputPastEnd));
    // CP932 trail bytes never take the values of CR or LF, so the bytes can be cut directly.
    qsizetype end = position_;
    while (end < content_.size() && content_[end] != '\r' && content_[end] != '\n')
        ++end;
    const QByteArray bytes = content_.mid(position_, end - position_);
    line = utf8_ ? QString::fromUtf8(bytes) : decodeAnsi(bytes);
    if (end < content_.size() && content_[end] == '\r' && end + 1 < content_.size() &&
        content_[end + 1] == '\n')
        ++end;
    position_ = end + 1;
    return true;
}

bool TextFile::print(const QString& text, bool lineEnd) {
    if (!open_ || mode_ == Mode::Input || (!device_ && !replacement_))
        return fail(fileError(FileErrors::BadFileMode));
    bool ok = false;
    QByteArray bytes = encodeAnsi(text, &ok);
    if (!ok) {
        writeFailed_ = true;
        return fail(fileError(FileErrors::InvalidArgument));
    }
    if (lineEnd)
        bytes += "\r\n";
    if (replacement_) {
        if (replacement_->write(bytes))
            return true;
        writeFailed_ = true;
        return fail(replacement_->error());
    }
    errno = 0;
    if (device_->write(bytes) != bytes.size()) {
        writeFailed_ = true;
        return fail(deviceError(errno, device_.get()));
    }
    return true;
}

bool TextFile::close() {
    if (!open_)
        return true;
    open_ = false;
    content_.clear();
    position_ = 0;
    if (std::unique_ptr<FileReplacement> replacement = std::move(replacement_)) {
        // Not committing discards the new file, so the old file stays as it was.
        if (writeFailed_)
            return false;
        return replacement->commit() || fail(replacement->error());
    }
    std::unique_ptr<QFileDevice> device = std::move(device_);
    if (!device)
        return true;
    errno = 0;
    if (!device->flush() || !syncToDisk(*device))
        return fail(deviceError(errno, device.get()));
    return !writeFailed_;
}

} // namespace halvora
