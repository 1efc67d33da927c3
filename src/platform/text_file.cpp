#include "platform/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

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

bool folderExists(const QString& path) {
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

// The descriptor is opened with POSIX so errno tells exactly what went wrong, then handed to QFile.
std::unique_ptr<QFile> openDescriptor(const QString& path, int flags, FileError& error) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = fileErrorFromErrno(errno, path);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        error = fileError(FileErrors::PathFileAccess);
        return nullptr;
    }
    auto file = std::make_unique<QFile>();
    const QIODevice::OpenMode mode =
        (flags & O_ACCMODE) == O_RDONLY ? QIODevice::ReadOnly : QIODevice::WriteOnly | QIODevice::Append;
    if (!file->open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = fileError(FileErrors::DeviceIo);
        return nullptr;
    }
    return file;
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

bool TextFile::open(const QString& path, Mode mode) {
    close();
    error_ = {};
    mode_ = mode;
    path_ = path;
    writeFailed_ = false;
    content_.clear();
    position_ = 0;
    // Only the texts are CP932: a file is opened by any path the file system takes.
    if (path.isEmpty())
        return fail(fileError(FileErrors::BadFileName));
    if (QFileInfo(path).isDir())
        return fail(fileError(FileErrors::PathFileAccess));
    const bool opened = mode == Mode::Input    ? openInput()
                        : mode == Mode::Output ? openOutput()
                                               : openAppend();
    open_ = opened;
    return opened;
}

bool TextFile::openInput() {
    std::unique_ptr<QFile> file = openDescriptor(path_, O_RDONLY, error_);
    if (!file)
        return false;
    errno = 0;
    content_ = file->readAll();
    if (file->error() != QFileDevice::NoError)
        return fail(deviceError(errno, file.get()));
    return true;
}

bool TextFile::openOutput() {
    if (!folderExists(path_))
        return fail(fileError(FileErrors::PathNotFound));
    auto file = std::make_unique<QSaveFile>(path_);
    errno = 0;
    if (!file->open(QIODevice::WriteOnly))
        return fail(deviceError(errno, file.get()));
    device_ = std::move(file);
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
    line = decodeAnsi(content_.mid(position_, end - position_));
    if (end < content_.size() && content_[end] == '\r' && end + 1 < content_.size() &&
        content_[end + 1] == '\n')
        ++end;
    position_ = end + 1;
    return true;
}

bool TextFile::print(const QString& text, bool lineEnd) {
    if (!open_ || mode_ == Mode::Input || !device_)
        return fail(fileError(FileErrors::BadFileMode));
    bool ok = false;
    QByteArray bytes = encodeAnsi(text, &ok);
    if (!ok) {
        writeFailed_ = true;
        return fail(fileError(FileErrors::InvalidArgument));
    }
    if (lineEnd)
        bytes += "\r\n";
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
    std::unique_ptr<QFileDevice> device = std::move(device_);
    if (!device)
        return true;
    bool kept = !writeFailed_;
    errno = 0;
    if (auto* save = dynamic_cast<QSaveFile*>(device.get())) {
        // Not committing discards the temporary file, so the old file stays as it was.
        if (kept && !save->commit())
            kept = fail(deviceError(errno, save));
    } else if (!device->flush() || !syncToDisk(*device)) {
        kept = fail(deviceError(errno, device.get()));
    }
    return kept;
}

} // namespace halvora
