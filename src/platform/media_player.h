#pragma once

#include <QObject>
#include <QString>

namespace halvora {

class VideoView;

// A media file is a video exactly when its name ends in ".avi" in any case.
inline bool isVideoFile(const QString& path) {
    return path.right(4).compare(QLatin1String(".avi"), Qt::CaseInsensitive) == 0;
}

// The media player of the show: files are opened, played and closed by their path; several may be
// open at once. Calls for a file that is not open do nothing and read 0.
class MediaPlayer : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // A local regular file, loaded and paused at its start. False when it is open already, missing
    // or cannot be played.
    virtual bool open(const QString& path) = 0;
    // Shows an open video's picture in the video view.
    virtual bool showVideo(const QString& path) = 0;
    // A place outside the file is refused and the position stays.
    virtual bool seek(const QString& path, double seconds) = 0;
    virtual bool play(const QString& path) = 0;
    virtual void close(const QString& path) = 0;
    // Seconds.
    virtual double position(const QString& path) const = 0;
    virtual double length(const QString& path) const = 0;
    // Where videos show; a player without one shows none.
    virtual void setVideoView(VideoView* view) { (void)view; }

signals:
    // The playback position of an open file moved, or it reached its end.
    void positionChanged(const QString& path, double seconds);
    void finished(const QString& path);
};

} // namespace halvora
