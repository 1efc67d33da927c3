#pragma once

#include "platform/media_player.h"
#include "platform/mpv_player.h"
#include "platform/video_view.h"

#include <QPointer>

#include <atomic>
#include <thread>

#include <map>
#include <memory>
#include <set>

namespace halvora {

// The media player over libmpv: one MpvPlayer per open file. Calls may come from the handlers of this
// object's signals and from events that run while an open waits for its player.
class MpvMediaPlayer final : public MediaPlayer {
    Q_OBJECT

public:
    explicit MpvMediaPlayer(MpvOutputs outputs = MpvOutputs::fromEnvironment(), QObject* parent = nullptr);
    ~MpvMediaPlayer() override;

    bool open(const QString& path) override;
    bool showVideo(const QString& path) override;
    bool seek(const QString& path, double seconds) override;
    bool play(const QString& path) override;
    void close(const QString& path) override;
    double position(const QString& path) const override;
    double length(const QString& path) const override;
    bool hasVideo(const QString& path) const override;
    void probe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done) override;
    void setVideoView(VideoView* view) override { videoView_ = view; }

    int openFiles() const { return static_cast<int>(players_.size()); }

private:
    MpvPlayer* find(const QString& path) const;

    MpvOutputs outputs_;
    QPointer<VideoView> videoView_;
    std::map<QString, std::unique_ptr<MpvPlayer>> players_;
    std::set<QString> opening_; // paths whose open is waiting for its player
    void startProbe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done);

    // Threads finding what files hold, by number; each is joined when its answer is handled or this
    // player goes, so none is left running at the program's end.
    std::map<int, std::thread> probes_;
    int lastProbe_ = 0;
    std::shared_ptr<std::atomic<bool>> stopProbes_ = std::make_shared<std::atomic<bool>>(false);
};

} // namespace halvora
