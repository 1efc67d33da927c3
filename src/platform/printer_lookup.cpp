#include "platform/printer_lookup.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QPrinterInfo>
#include <QTimer>

#include <memory>
#include <mutex>
#include <thread>

namespace halvora {

namespace {

// Shared with the asking thread, which may outlive the question when the server never answers.
struct Answer {
    std::mutex mutex;
    std::optional<QString> name;
};

} // namespace

std::optional<QString> lookUpDefaultPrinter(int timeoutMs) {
    auto answer = std::make_shared<Answer>();
    QEventLoop loop;
    QPointer<QEventLoop> waiting(&loop);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    std::thread([answer, waiting] {
        const QString name = QPrinterInfo::defaultPrinterName();
        {
            const std::lock_guard<std::mutex> hold(answer->mutex);
            answer->name = name;
        }
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app, [waiting] { if (waiting) waiting->quit(); }, Qt::QueuedConnection);
    }).detach();
    loop.exec();
    const std::lock_guard<std::mutex> hold(answer->mutex);
    return answer->name;
}

} // namespace halvora
