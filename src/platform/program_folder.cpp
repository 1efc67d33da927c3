#include "platform/program_folder.h"

#include <QFile>
#include <QFileInfo>

#include <climits>
#include <unistd.h>

namespace halvora {

QString runningProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof path))
        return {};
    const QString folder = QFileInfo(QFile::decodeName(QByteArray(path, length))).absolutePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

} // namespace halvora
