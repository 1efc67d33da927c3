#pragma once

#include "platform/media_player.h"

#include <QStringList>

#include <functional>
#include <map>

namespace halvora::test {

// Records every call to the media player as "verb path" ("seek path 12" with its seconds); files open
// and play as asked, with the lengths and positions given.
class MediaRecorder final : public MediaPlayer {
public:
    std::function<void()> whileOpening;

    QStringList calls() const { return calls_; }
    void clear() { calls_.clear(); }
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

private:
    bool record(QStringView verb, const QString& what) {
        calls_ << verb.toString() + QLatin1Char(' ') + what;
        return true;
    }

    QStringList calls_;
    std::map<QString, std::pair<double, double>> times_;
};

} // namespace halvora::test
