#pragma once

#include "platform/mci.h"
#include "platform/mci_command.h"
#include "platform/mpv_player.h"
#include "platform/video_view.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>
#include <set>

namespace halvora {

// The error codes of the string-form media interface that our player answers (0 = success).
namespace MciError {
constexpr int UnrecognizedKeyword = 259;
constexpr int UnrecognizedCommand = 261;
constexpr int InvalidDeviceName = 263; // no device of that name is open
constexpr int DeviceOpen = 265;
constexpr int CannotLoadDriver = 266; // libmpv cannot be loaded
constexpr int ParamOverflow = 268;    // the reply does not fit
constexpr int BadInteger = 270;
constexpr int MissingParameter = 273;
constexpr int FileNotFound = 275;
constexpr int DeviceNotReady = 276;
constexpr int Internal = 277;
constexpr int OutOfRange = 282;
constexpr int MissingDeviceName = 292;
constexpr int InvalidFile = 296; // the file cannot be played
} // namespace MciError

// The media commands the program sends, played by libmpv: one player per open device.
//   open "file" [alias name]      a local regular file, loaded and paused at its start
//   window name state show        shows the picture in the video view
//   seek name to n                position in the device's units
//   play name | close name
//   status name length|position|mode
// A file whose name ends in ".avi" (any case) counts in tenths of a second, every other in
// milliseconds. Device names match without regard to case. Commands may be sent from the handlers of
// this object's signals and from events that run while an open waits for its player.
class MpvMci final : public QObject, public Mci {
    Q_OBJECT
public:
    explicit MpvMci(MpvOutputs outputs = MpvOutputs::fromEnvironment(), QObject* parent = nullptr);
    ~MpvMci() override;

    int sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) override;

    void setVideoView(VideoView* view) override { videoView_ = view; }

    int openDevices() const { return static_cast<int>(devices_.size()); }

signals:
    // For waits and measurements: a device's playback position moved, or it reached its end.
    void positionChanged(const QString& device, double seconds);
    void playbackEnded(const QString& device);

private:
    struct Device {
        QString name;
        double unitsPerSecond = 1000;
        std::unique_ptr<MpvPlayer> player;
    };

    static bool isDeviceCommand(const QString& verb);
    int open(const MciCommand& command);
    int run(Device& device, const MciCommand& command, QString& reply);
    static int integerAfter(const QStringList& words, QLatin1String keyword, qint64& value);
    int window(Device& device, const QStringList& words);
    int seek(Device& device, const QStringList& words);
    int status(const Device& device, const QStringList& words, QString& reply);
    Device* find(const QString& name);
    static QString key(const QString& name) { return name.toCaseFolded(); }

    void close(const QString& name);

    MpvOutputs outputs_;
    QPointer<VideoView> videoView_;
    std::map<QString, Device> devices_;
    std::set<QString> opening_; // names whose open is waiting for its player
};

} // namespace halvora
