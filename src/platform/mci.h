#pragma once

#include <QString>
#include <QtGui/qwindowdefs.h>

namespace halvora {

class VideoView;

// A media file is a video exactly when its name ends in ".avi" in any case; a video counts its
// positions in tenths of a second, every other file in milliseconds.
inline bool isVideoFile(const QString& path) {
    return path.right(4).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0;
}

// The string-form media interface: a command text in, an error code (0 = success) and a reply out.
class Mci {
public:
    virtual ~Mci() = default;
    virtual int sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) = 0;
    // Where "window <device> state show" puts a video's picture; a player without one shows none.
    virtual void setVideoView(VideoView* view) { (void)view; }
};

} // namespace halvora
