#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace halvora {

class VideoView;

// What a file holds for the show, whatever its name: a moving picture (with or without sound), sound
// alone (a cover picture does not make music a video), or nothing the show can play.
enum class MediaKind { None, Music, Video };

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
    // An open file has a moving picture.
    virtual bool hasVideo(const QString& path) const = 0;
    // Finds what each file holds without playing it and without holding up the window; `done` gets
    // the kinds, in the order of `paths`, on this object's thread once all are known.
    virtual void probe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done) = 0;
    // Where videos show; a player without one shows none.
    virtual void setVideoView(VideoView* view) { (void)view; }

signals:
    // The playback position of an open file moved, or it reached its end.
    void positionChanged(const QString& path, double seconds);
    void finished(const QString& path);
};

} // namespace halvora
