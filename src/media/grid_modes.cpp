#include "media/grid_modes.h"

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

} // namespace

const GridMode& gridModeFor(std::int16_t listKind) {
    static const std::array<GridMode, 3> modes{{
        {QStringLiteral("音楽_動画ファイルの指定(*.mp2,*.mp3,*.wav,*.wma,*.avi)"),
         joinHeaders({QStringLiteral("^No."), QStringLiteral(">開始(s)"), QStringLiteral(">再生(s)"),
                      QStringLiteral("<音楽/動画ファイル保管場所(フルパス)")},
                     150),
         3,
         {QStringLiteral(".mp2"), QStringLiteral(".mp3"), QStringLiteral(".wav"), QStringLiteral(".avi"),
          QStringLiteral(".wma")},
         QStringLiteral("音楽_動画ファイル")},
        {QStringLiteral("画像ファイルの指定(*.jpg,*.gif,*.bmp)"),
         joinHeaders({QStringLiteral("^No."), QStringLiteral("<画像ファイル保管場所(フルパス)")}, 170),
         1,
         {QStringLiteral(".jpg"), QStringLiteral(".gif"), QStringLiteral(".bmp")},
         QStringLiteral("画像ファイル")},
        {QStringLiteral("抽選開始アイコンファイルの指定(*.bmp,*.dib,*.gif,*.ipg,*.wmf,*.emf,*.ico,*.cur)"),
         joinHeaders({QStringLiteral("^No."), QStringLiteral("<保管場所(フルパス)")}, 170),
         1,
         {QStringLiteral(".bmp"), QStringLiteral(".dib"), QStringLiteral(".jpg"), QStringLiteral(".gif"),
          QStringLiteral(".wmf"), QStringLiteral(".emf"), QStringLiteral(".ico"), QStringLiteral(".cur")},
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
    return extensions.contains(path.right(4).toLower());
}

} // namespace halvora
