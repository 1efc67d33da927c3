#pragma once

#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

namespace halvora {

// One program per data folder: two programs drawing into one game and one log would each undo the
// other's kept game. The lock is a file in the folder whose owner is checked, so a lock left by a
// crash or a kill does not hold the next start. The holder listens for a later start asking it to
// come to the front.
class InstanceLock final : public QObject {
    Q_OBJECT

public:
    explicit InstanceLock(QObject* parent = nullptr);
    ~InstanceLock() override;

    // True when this program now holds `folder` (or the folder cannot hold a lock at all); false when
    // another program holds it, which is then asked to come to the front. Nothing is written then.
    bool acquire(const QString& folder);
    void release();

signals:
    void frontRequested();

private:
    void listen(const QString& name);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace halvora
