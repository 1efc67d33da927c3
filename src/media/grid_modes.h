#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <vector>

namespace halvora {

// The three lists the registration grid edits: 0 music/video, 1 photos, 2 draw-start icons.
struct GridMode {
    QString caption;
    QString formatString;   // header entries joined by TAB, each led by its alignment mark
    int dataColumns;        // data columns after the No. column; the path is the last
    QStringList extensions; // accepted for dropped or chosen files, lower case with the dot
    QString fileKind;       // how the file dialog names them
};

const GridMode& gridModeFor(std::int16_t listKind);

// One column of a format string: "^" centred, "<" left, ">" right, then the header text.
struct GridColumn {
    Qt::Alignment alignment;
    QString header; // as given, blanks included: the grid sizes the column to it
};
std::vector<GridColumn> parseFormatString(const QString& format);

// Per grid column, the editor's maximum text length, or -1 where the column cannot be edited.
using ColumnLengths = std::array<std::int16_t, 41>;
ColumnLengths columnMaxLengthFor(std::int16_t listKind);

// True when the path's extension (after its last dot), in any case, is one of the extensions.
bool hasAcceptedExtension(const QString& path, const QStringList& extensions);

} // namespace halvora
