#pragma once

#include <QString>

namespace halvora {

// Moves every ordinary file of `folder` that matches the wildcard `pattern` (extension case ignored)
// into `folder` + "Sample/". A source is removed only when "Sample" holds an identical copy of it: a
// file that could not be copied, or whose name is taken there by other content, stays where it is.
void moveSampleFiles(const QString& folder, const QString& pattern);

// Copies the matching files of `sourceFolder` (the installed program's folder, which is not ours to
// change) into `folder` + "Sample/". Nothing is removed and an existing file there is never replaced.
void copySampleFiles(const QString& sourceFolder, const QString& folder, const QString& pattern);

} // namespace halvora
