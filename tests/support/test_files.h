#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <ostream>

// Failures print Qt texts readably.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QByteArray& bytes, std::ostream* os) { *os << '"' << bytes.toStdString() << '"'; }
QT_END_NAMESPACE

namespace halvora::test {

// A fresh program folder in a temporary directory. Paths end with "/".
class ProgramFolder {
public:
    ProgramFolder();
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    // Copies our sample media (as shipped next to the program) into the folder.
    void addSampleMedia() const;

private:
    QTemporaryDir dir_;
};

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Text in CP932 with CR LF after every line.
QByteArray ansiLines(const QStringList& lines);
QStringList sampleMediaNames();

} // namespace halvora::test
