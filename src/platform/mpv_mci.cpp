#include "mpv_mci.h"

#include "mpv_library.h"

#include <QFileInfo>
#include <QtDebug>

#include <cmath>

namespace halvora {

namespace {

double unitsPerSecondOf(const QString& file) {
    return isVideoFile(file) ? 10 : 1000;
}

int loadError(MpvPlayer::LoadResult result) {
    switch (result) {
    case MpvPlayer::LoadResult::Loaded:
        return 0;
    case MpvPlayer::LoadResult::Failed:
        return MciError::InvalidFile;
    case MpvPlayer::LoadResult::TimedOut:
        return MciError::DeviceNotReady;
    case MpvPlayer::LoadResult::NoPlayer:
        break;
    }
    return MciError::Internal;
}

QString unitsText(double seconds, double unitsPerSecond) {
    return QString::number(std::llround(seconds * unitsPerSecond));
}

} // namespace

MpvMci::MpvMci(MpvOutputs outputs, QObject* parent) : QObject(parent), outputs_(std::move(outputs)) {}

MpvMci::~MpvMci() = default;

int MpvMci::sendString(const QString& command, QString& reply, int replyLength, WId) {
    reply.clear();
    const std::optional<MciCommand> parsed = parseMciCommand(command);
    if (!parsed)
        return MciError::MissingDeviceName;
    if (parsed->verb == QLatin1String("open"))
        return open(*parsed);
    if (!isDeviceCommand(parsed->verb))
        return MciError::UnrecognizedCommand;
    Device* device = find(parsed->device);
    if (!device)
        return MciError::InvalidDeviceName;
    QString text;
    if (const int error = run(*device, *parsed, text); error || text.isEmpty())
        return error;
    reply = text.left(std::max(0, replyLength - 1));
    return reply.size() < text.size() ? MciError::ParamOverflow : 0;
}

bool MpvMci::isDeviceCommand(const QString& verb) {
    static const QStringList verbs{QStringLiteral("close"), QStringLiteral("play"), QStringLiteral("seek"),
                                   QStringLiteral("window"), QStringLiteral("status")};
    return verbs.contains(verb);
}

int MpvMci::run(Device& device, const MciCommand& command, QString& reply) {
    if (command.verb == QLatin1String("seek"))
        return seek(device, command.words);
    if (command.verb == QLatin1String("window"))
        return window(device, command.words);
    if (command.verb == QLatin1String("status"))
        return status(device, command.words, reply);
    if (!command.words.isEmpty())
        return MciError::UnrecognizedKeyword;
    if (command.verb == QLatin1String("play"))
        return device.player->play() ? 0 : MciError::DeviceNotReady;
    close(device.name);
    return 0;
}

void MpvMci::close(const QString& name) {
    auto node = devices_.extract(key(name));
    // The player may be the sender of the signal whose handler closes it: it goes once its own
    // handling is over, or with this object.
    MpvPlayer* player = node.mapped().player.release();
    player->pause(); // silent from now on, though the player itself goes a little later
    player->releaseVideo(); // and its picture gone, the view free for the next one
    player->disconnect(this);
    player->setParent(this);
    player->deleteLater();
}

int MpvMci::open(const MciCommand& command) {
    QString name = command.device;
    if (command.words.size() == 2 && command.words[0] == QLatin1String("alias"))
        name = command.words[1];
    else if (!command.words.isEmpty())
        return MciError::UnrecognizedKeyword;
    if (find(name) || opening_.contains(key(name)))
        return MciError::DeviceOpen;
    // Only a file that is there: no protocols, folders, devices or other tricks reach the player.
    const QFileInfo file(command.device);
    if (!file.exists() || !file.isFile()) {
        qWarning("media: cannot open %s: no such file", qUtf8Printable(command.device));
        return MciError::FileNotFound;
    }
    if (!mpvApi())
        return MciError::CannotLoadDriver;
    auto player = std::make_unique<MpvPlayer>(outputs_);
    QString why;
    opening_.insert(key(name));
    const int error = loadError(player->load(file.absoluteFilePath(), why));
    opening_.erase(key(name));
    if (error) {
        qWarning("media: cannot play %s: %s", qUtf8Printable(command.device), qUtf8Printable(why));
        return error;
    }
    connect(player.get(), &MpvPlayer::positionChanged, this,
            [this, name](double seconds) { emit positionChanged(name, seconds); });
    connect(player.get(), &MpvPlayer::ended, this, [this, name] { emit playbackEnded(name); });
    devices_[key(name)] = Device{name, unitsPerSecondOf(command.device), std::move(player)};
    return 0;
}

// The number of "<keyword> <n>"; 0, or the error code for words of another shape.
int MpvMci::integerAfter(const QStringList& words, QLatin1String keyword, qint64& value) {
    if (words.size() != 2 || words[0] != keyword)
        return words.isEmpty() ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
    bool ok = false;
    value = words[1].toLongLong(&ok);
    return ok ? 0 : MciError::BadInteger;
}

int MpvMci::window(Device& device, const QStringList& words) {
    if (words.isEmpty())
        return MciError::MissingParameter;
    if (words != QStringList{QStringLiteral("state"), QStringLiteral("show")})
        return MciError::UnrecognizedKeyword;
    if (!videoView_)
        return MciError::DeviceNotReady;
    return device.player->showVideoIn(*videoView_) ? 0 : MciError::DeviceNotReady;
}

int MpvMci::seek(Device& device, const QStringList& words) {
    qint64 units = 0;
    if (const int error = integerAfter(words, QLatin1String("to"), units))
        return error;
    const double seconds = static_cast<double>(units) / device.unitsPerSecond;
    // Like the platform player: a place outside the file is refused and the position stays.
    if (units < 0 || units > std::llround(device.player->duration() * device.unitsPerSecond))
        return MciError::OutOfRange;
    return device.player->seek(seconds) ? 0 : MciError::DeviceNotReady;
}

int MpvMci::status(const Device& device, const QStringList& words, QString& reply) {
    if (words.size() != 1)
        return words.isEmpty() ? MciError::MissingParameter : MciError::UnrecognizedKeyword;
    const MpvPlayer& player = *device.player;
    if (words[0] == QLatin1String("length"))
        reply = unitsText(player.duration(), device.unitsPerSecond);
    else if (words[0] == QLatin1String("position"))
        reply = unitsText(player.position(), device.unitsPerSecond);
    else if (words[0] == QLatin1String("mode"))
        reply = player.playing() ? QStringLiteral("playing") : QStringLiteral("stopped");
    else
        return MciError::UnrecognizedKeyword;
    return 0;
}

MpvMci::Device* MpvMci::find(const QString& name) {
    const auto it = devices_.find(key(name));
    return it == devices_.end() ? nullptr : &it->second;
}

} // namespace halvora
