#include "settings/condition_records.h"

namespace halvora {

bool isVideoFile(const QString& path) { return path.right(4).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0; }

} // namespace halvora
