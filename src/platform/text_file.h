#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFileDevice;

namespace halvora {

class FileReplacement;

// A file error as the messages show it: the classic runtime error number and its Japanese text.
struct FileError {
    int number = 0;
    QString description;
    bool isError() const { return number != 0; }
};

// Error numbers the program reports.
namespace FileErrors {
constexpr int InvalidArgument = 5; // a text CP932 cannot hold was to be written
constexpr int OutOfMemory = 7;     // a file far larger than any of ours
constexpr int BadFileName = 52;    // an empty path
constexpr int FileNotFound = 53;
constexpr int BadFileMode = 54; // reading an output file or writing an input file
constexpr int DeviceIo = 57;
constexpr int DiskFull = 61;
constexpr int InputPastEnd = 62;
constexpr int TooManyFiles = 67;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
} // namespace FileErrors

FileError fileError(int number);
FileError fileErrorFromErrno(int osError);
// As above; a missing file (53) is told from a missing folder (76) by looking at the path's folder.
FileError fileErrorFromErrno(int osError, const QString& path);

// Text in the system's ANSI code page (CP932, Shift_JIS with the vendor extensions).
QByteArray encodeAnsi(const QString& text, bool* ok = nullptr);
QString decodeAnsi(const QByteArray& bytes);
bool isAnsiEncodable(const QString& text);

// A text file in the ANSI code page, opened for input, output (replace) or append. Lines end with
// CR LF on output; on input CR LF, LF or a lone CR end a line, and a file written in UTF-8 (by another
// editor) is recognised and read as such. Output replaces the target whole only when close()
// succeeds, so a failed save leaves the old file byte for byte. Only regular files are read, replaced
// or appended to; a pipe, a device, a folder, or a link in place of a replaced or appended file is
// refused at once (PathFileAccess), and a file over kLargestTextFile is refused unread (OutOfMemory).
class TextFile {
public:
    enum class Mode { Input, Output, Append };
    // Input: a file only this program writes is CP932 whatever its bytes look like; one people may
    // edit is read as UTF-8 when it looks like it.
    enum class Encoding { Detect, Ansi };
    static constexpr qint64 kLargestTextFile = 16 * 1024 * 1024;

    TextFile();
    ~TextFile(); // closes (and so commits) an open file
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool open(const QString& path, Mode mode, Encoding input = Encoding::Detect);
    bool isOpen() const;
    // Input: true when no line is left.
    bool atEnd() const;
    // Input: the next line without its line end; false at the end of the file.
    bool readLine(QString& line);
    // Output/append: the text, then CR LF unless lineEnd is false. Text CP932 cannot hold is not
    // written and fails with InvalidArgument; after any failed print, close() keeps the old file.
    bool print(const QString& text, bool lineEnd = true);
    // Commits output and brings appended lines to the disk; false (and error()) when anything written
    // could not be kept. Closing a file that is not open does nothing and succeeds.
    bool close();
    const FileError& error() const { return error_; }
    // Input: the file was recognised as UTF-8 rather than CP932.
    bool readAsUtf8() const { return utf8_; }

private:
    bool fail(const FileError& error);
    bool openInput(Encoding encoding);
    bool openOutput();
    bool openAppend();
    FileError deviceError(int osError, const QFileDevice* device) const;

    Mode mode_ = Mode::Input;
    bool open_ = false;
    bool writeFailed_ = false;
    QString path_;
    std::unique_ptr<QFileDevice> device_;          // append
    std::unique_ptr<FileReplacement> replacement_; // output
    bool utf8_ = false;
    QByteArray content_; // input: the whole file
    qsizetype position_ = 0;
    FileError error_;
};

} // namespace halvora
