#pragma once

#include "platform/media_player.h"

#include <QStringList>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace halvora::test {

// Records every call to the media player as "verb path" ("seek path 12" with its seconds). A file holds
// what `kindOf` says: by default a video when its name ends in ".avi", else music. Probes answer at
// once, or when answerProbes() is called while holdProbes is set.
class MediaRecorder final : public MediaPlayer {
public:
    std::function<void()> whileOpening;
    std::function<MediaKind(const QString&)> kindOf = [](const QString& path) {
        return path.endsWith(QLatin1String(".avi"), Qt::CaseInsensitive) ? MediaKind::Video : MediaKind::Music;
    };

    QStringList calls() const { return calls_; }
    bool holdProbes = false;
    void clear() { calls_.clear(); }
    void answerProbes() {
        for (const auto& answer : std::exchange(heldProbes_, {}))
            answer();
    }
    void setTimes(const QString& path, double length, double position) { times_[path] = {length, position}; }

    bool open(const QString& path) override {
        record(u"open", path);
        if (whileOpening)
            whileOpening(); // the real player lets events run while a file loads
        return true;
    }
    bool showVideo(const QString& path) override { return record(u"show", path); }
    bool seek(const QString& path, double seconds) override {
        return record(u"seek", path + QLatin1Char(' ') + QString::number(seconds));
    }
    bool play(const QString& path) override { return record(u"play", path); }
    void close(const QString& path) override { record(u"close", path); }
    double position(const QString& path) const override { return times_.contains(path) ? times_.at(path).second : 0; }
    double length(const QString& path) const override { return times_.contains(path) ? times_.at(path).first : 0; }
    bool hasVideo(const QString& path) const override { return kindOf(path) == MediaKind::Video; }
    void probe(const QStringList& paths, std::function<void(const std::vector<MediaKind>&)> done) override {
        std::vector<MediaKind> kinds;
        for (const QString& path : paths)
            kinds.push_back(kindOf(path));
        if (holdProbes)
            heldProbes_.push_back([done, kinds] { done(kinds); });
        else
            done(kinds);
    }

private:
    bool record(QStringView verb, const QString& what) {
        calls_ << verb.toString() + QLatin1Char(' ') + what;
        return true;
    }

    QStringList calls_;
    std::vector<std::function<void()>> heldProbes_;
    std::map<QString, std::pair<double, double>> times_;
};

} // namespace halvora::test
