#include "media/grid_modes.h"

#include <QImageReader>

#include <algorithm>

namespace halvora {

namespace {

QString withBlanks(const QString& last, int blanks) {
    return last + QString(blanks, QLatin1Char(' '));
}

QString joinHeaders(QStringList headers, int blanks) {
    headers.last() = withBlanks(headers.last(), blanks);
    return headers.join(QLatin1Char('\t'));
}

// Each extension, lower case with its dot, once.
QStringList dotted(const QStringList& names) {
    QStringList out;
    for (const QString& name : names)
        if (const QString extension = QLatin1Char('.') + name.toLower(); !out.contains(extension))
            out << extension;
    return out;
}

// The photo formats people hold today; the list also takes any other that the installed image
// plugins read.
const QStringList kPhotoFormats{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("png"),
                                QStringLiteral("gif"), QStringLiteral("bmp"),  QStringLiteral("webp")};
const QStringList kIconOnlyFormats{QStringLiteral("ico"), QStringLiteral("svg")};

QStringList readablePictureFormats() {
    QStringList names = kPhotoFormats;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        names << QString::fromLatin1(format);
    return names;
}

const QStringList kMediaFormats{
    QStringLiteral("mp3"),  QStringLiteral("m4a"), QStringLiteral("aac"), QStringLiteral("ogg"),
    QStringLiteral("oga"),  QStringLiteral("opus"), QStringLiteral("flac"), QStringLiteral("wav"),
    QStringLiteral("wma"),  QStringLiteral("mp2"), QStringLiteral("mp4"), QStringLiteral("m4v"),
    QStringLiteral("mov"),  QStringLiteral("mkv"), QStringLiteral("webm"), QStringLiteral("avi"),
    QStringLiteral("wmv"),  QStringLiteral("mpg"), QStringLiteral("mpeg")};

// "(*.mp3,*.m4a,…)" of the named formats.
QString patternList(const QStringList& names) {
    return QStringLiteral("(*.") + names.join(QStringLiteral(",*.")) + QLatin1Char(')');
}

} // namespace

const GridMode& gridModeFor(std::int16_t listKind) {
    static const QStringList pictures = readablePictureFormats();
    static const std::array<GridMode, 3> modes{{
        {QStringLiteral("音楽_動画ファイルの指定") + patternList(kMediaFormats),
         joinHeaders({QStringLiteral("^No."), QStringLiteral(">開始(s)"), QStringLiteral(">再生(s)"),
                      QStringLiteral("<音楽/動画ファイル保管場所(フルパス)")},
                     150),
         3, dotted(kMediaFormats), QStringLiteral("音楽_動画ファイル")},
        {QStringLiteral("画像ファイルの指定") + patternList(kPhotoFormats),
         joinHeaders({QStringLiteral("^No."), QStringLiteral("<画像ファイル保管場所(フルパス)")}, 170),
         1, dotted(pictures), QStringLiteral("画像ファイル")},
        {QStringLiteral("抽選開始アイコンファイルの指定") +
             patternList(kPhotoFormats + kIconOnlyFormats),
         joinHeaders({QStringLiteral("^No."), QStringLiteral("<保管場所(フルパス)")}, 170),
         1, dotted(pictures + kIconOnlyFormats),
         QStringLiteral("抽選開始アイコンファイル")},
    }};
    return modes.at(static_cast<std::size_t>(std::clamp<int>(listKind, 0, 2)));
}

std::vector<GridColumn> parseFormatString(const QString& format) {
    std::vector<GridColumn> columns;
    for (const QString& entry : format.split(QLatin1Char('\t'))) {
        const QChar mark = entry.isEmpty() ? QChar() : entry.front();
        Qt::Alignment alignment = Qt::AlignLeft;
        if (mark == QLatin1Char('^'))
            alignment = Qt::AlignHCenter;
        else if (mark == QLatin1Char('>'))
            alignment = Qt::AlignRight;
        const bool marked = mark == QLatin1Char('^') || mark == QLatin1Char('<') || mark == QLatin1Char('>');
        columns.push_back({alignment | Qt::AlignVCenter, marked ? entry.mid(1) : entry});
    }
    return columns;
}

ColumnLengths columnMaxLengthFor(std::int16_t listKind) {
    ColumnLengths lengths;
    lengths.fill(-1);
    if (listKind == 0) {
        lengths[1] = 3;
        lengths[2] = 3;
        lengths[3] = 300;
    } else {
        lengths[1] = 300;
    }
    return lengths;
}

bool hasAcceptedExtension(const QString& path, const QStringList& extensions) {
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && !path.mid(dot).contains(QLatin1Char('/')) && extensions.contains(path.mid(dot).toLower());
}

} // namespace halvora
