#include "headless_browser.h"

#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace halvora::test {

namespace {

int remainingMs(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::clamp<qint64>(deadline.remainingTime(), 0, 24 * 3600 * 1000));
}

} // namespace

HeadlessBrowser::HeadlessBrowser() {
    // Everything stays on loopback, whatever proxy the machine is set up with.
    network_.setProxy(QNetworkProxy::NoProxy);
    socket_.setProxy(QNetworkProxy::NoProxy);
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, &socket_,
                     [this](const QString& text) { receive(text); });
    QObject::connect(&socket_, &QWebSocket::disconnected, &socket_, [this] {
        if (crash_.isEmpty())
            crash_ = QStringLiteral("the DevTools connection closed");
    });
}

HeadlessBrowser::~HeadlessBrowser() {
    socket_.abort();
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    // Its helpers outlive it for a moment and would still write into the profile being removed.
    if (group_ > 0)
        ::kill(-group_, SIGKILL);
}

QString HeadlessBrowser::executable() {
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    return onPath.isEmpty()
               ? QStandardPaths::findExecutable(QStringLiteral("chromium"), {QStringLiteral("/usr/bin")})
               : onPath;
}

bool HeadlessBrowser::start(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const QString program = executable();
    if (dir_)
        return fail(QStringLiteral("start() runs once per browser"));
    if (program.isEmpty())
        return fail(QStringLiteral("chromium is not installed (Debian package chromium)"));
    dir_ = std::make_unique<QTemporaryDir>();
    if (!dir_->isValid())
        return fail(QStringLiteral("no temporary folder: ") + dir_->errorString());
    process_.setChildProcessModifier([] {
        ::setpgid(0, 0);                    // the browser and its helpers end as one group
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // and do not outlive a test that is killed
    });
    process_.setStandardOutputFile(QProcess::nullDevice());
    process_.setStandardErrorFile(dir_->filePath(QStringLiteral("chromium.log")));
    process_.start(program, {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                             QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                             QStringLiteral("--no-first-run"), QStringLiteral("--no-default-browser-check"),
                             QStringLiteral("--no-proxy-server"), QStringLiteral("--hide-scrollbars"),
                             QStringLiteral("--mute-audio"), QStringLiteral("--remote-debugging-port=0"),
                             QStringLiteral("--user-data-dir=") + dir_->filePath(QStringLiteral("profile")),
                             QStringLiteral("--window-size=390,844"), QStringLiteral("about:blank")});
    if (!process_.waitForStarted(remainingMs(deadline)))
        return fail(QStringLiteral("chromium did not start: ") + process_.errorString());
    group_ = static_cast<pid_t>(process_.processId());
    if (!readPort(deadline))
        return false;
    const QString url = pageSocketUrl(deadline);
    if (url.isEmpty())
        return fail(QStringLiteral("chromium listed no page on port %1").arg(port_));
    socket_.open(QUrl(url));
    runUntil([this] { return socket_.state() != QAbstractSocket::ConnectingState; }, deadline);
    if (socket_.state() != QAbstractSocket::ConnectedState)
        return fail(QStringLiteral("no DevTools connection to %1: %2").arg(url, socket_.errorString()));
    // The window keeps a desktop's minimum width and toolbar; the page gets a phone's whole screen.
    const QJsonObject phone{{QStringLiteral("width"), 390},
                            {QStringLiteral("height"), 844},
                            {QStringLiteral("deviceScaleFactor"), 1},
                            {QStringLiteral("mobile"), true}};
    return call(QStringLiteral("Page.enable")) && call(QStringLiteral("Inspector.enable")) &&
           call(QStringLiteral("Emulation.setDeviceMetricsOverride"), phone);
}

bool HeadlessBrowser::readPort(QDeadlineTimer deadline) {
    const QString path = dir_->filePath(QStringLiteral("profile/DevToolsActivePort"));
    // The port is the first line; the second line follows once it is written whole.
    const auto written = [&] {
        QFile file(path);
        const QList<QByteArray> lines =
            file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
        port_ = lines.size() >= 2 ? lines.first().toInt() : 0;
        return port_ > 0;
    };
    if (runUntil(written, deadline))
        return true;
    QFile log(dir_->filePath(QStringLiteral("chromium.log")));
    const QString tail =
        log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(600)) : QString();
    return fail(QStringLiteral("chromium opened no DevTools port (%1)\n%2")
                    .arg(goneReason().isEmpty() ? QStringLiteral("timed out") : goneReason(), tail));
}

QString HeadlessBrowser::pageSocketUrl(QDeadlineTimer deadline) {
    // The first page may be listed a moment after the port opens.
    while (!deadline.hasExpired() && goneReason().isEmpty()) {
        const QUrl list(QStringLiteral("http://127.0.0.1:%1/json/list").arg(port_));
        const std::unique_ptr<QNetworkReply> reply(network_.get(QNetworkRequest(list)));
        runUntil([&] { return reply->isFinished(); }, deadline);
        for (const QJsonValue target : QJsonDocument::fromJson(reply->readAll()).array())
            if (target[QLatin1String("type")].toString() == QLatin1String("page"))
                return target[QLatin1String("webSocketDebuggerUrl")].toString();
        runUntil([] { return false; }, QDeadlineTimer(std::min(100, remainingMs(deadline))));
    }
    return {};
}

bool HeadlessBrowser::open(const QUrl& url, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const int loadsBefore = loadEvents_;
    const auto result =
        call(QStringLiteral("Page.navigate"), {{QStringLiteral("url"), url.toString()}}, timeoutMs);
    if (!result)
        return false;
    if (result->contains(QLatin1String("errorText")))
        return fail(QStringLiteral("%1 did not load: %2")
                        .arg(url.toString(), result->value(QLatin1String("errorText")).toString()));
    if (runUntil([&] { return loadEvents_ > loadsBefore; }, deadline))
        return true;
    return failWaiting(QStringLiteral("loading ") + url.toString(), timeoutMs);
}

QJsonValue HeadlessBrowser::evaluate(const QString& expression, int timeoutMs) {
    error_.clear();
    const auto result = call(QStringLiteral("Runtime.evaluate"),
                             {{QStringLiteral("expression"), expression},
                              {QStringLiteral("awaitPromise"), true},
                              {QStringLiteral("returnByValue"), true}},
                             timeoutMs);
    if (!result)
        return QJsonValue(QJsonValue::Undefined);
    if (result->contains(QLatin1String("exceptionDetails"))) {
        const QJsonObject details = result->value(QLatin1String("exceptionDetails")).toObject();
        const QString description =
            details[QLatin1String("exception")][QLatin1String("description")].toString();
        fail(QStringLiteral("the page threw: %1\n  in: %2")
                 .arg(description.isEmpty() ? details[QLatin1String("text")].toString() : description,
                      expression));
        return QJsonValue(QJsonValue::Undefined);
    }
    return result->value(QLatin1String("result"))[QLatin1String("value")];
}

bool HeadlessBrowser::waitFor(const QString& condition, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const QString truthy = QStringLiteral("!!(") + condition + QStringLiteral("\n)");
    for (;;) {
        const int seen = events_;
        // A last look at the deadline still gets time to answer.
        if (evaluate(truthy, std::max(1000, remainingMs(deadline))).toBool())
            return true;
        const QString last = error_;
        if (!goneReason().isEmpty())
            return failWaiting(condition, timeoutMs);
        if (deadline.hasExpired())
            return fail(QStringLiteral("still false after %1 ms: %2%3")
                            .arg(QString::number(timeoutMs), condition,
                                 last.isEmpty() ? QString() : QStringLiteral("\n  last error: ") + last));
        runUntil([&] { return events_ != seen; }, QDeadlineTimer(std::min(50, remainingMs(deadline))));
    }
}

bool HeadlessBrowser::insertText(const QString& text) {
    return call(QStringLiteral("Input.insertText"), {{QStringLiteral("text"), text}}).has_value();
}

QImage HeadlessBrowser::screenshot() {
    const auto result = call(QStringLiteral("Page.captureScreenshot"),
                             {{QStringLiteral("format"), QStringLiteral("png")}}, 20000);
    if (!result)
        return {};
    const QImage image = QImage::fromData(
        QByteArray::fromBase64(result->value(QLatin1String("data")).toString().toLatin1()), "PNG");
    if (image.isNull())
        fail(QStringLiteral("the screenshot is not a PNG image"));
    return image;
}

std::optional<QJsonObject> HeadlessBrowser::call(const QString& method, const QJsonObject& params,
                                                 int timeoutMs) {
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        fail(method + QStringLiteral(": the browser is not connected (did start() succeed?)"));
        return {};
    }
    const int id = ++nextId_;
    const QJsonObject message{
        {QStringLiteral("id"), id}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    if (!runUntil([&] { return replies_.count(id) > 0; }, QDeadlineTimer(timeoutMs))) {
        failWaiting(method, timeoutMs);
        return {};
    }
    const QJsonObject reply = replies_.extract(id).mapped();
    if (reply.contains(QLatin1String("error"))) {
        fail(method + QStringLiteral(": ") +
             reply[QLatin1String("error")][QLatin1String("message")].toString());
        return {};
    }
    return reply[QLatin1String("result")].toObject();
}

void HeadlessBrowser::receive(const QString& text) {
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    if (message.contains(QLatin1String("id"))) {
        replies_[message[QLatin1String("id")].toInt()] = message;
        return;
    }
    ++events_;
    const QString method = message[QLatin1String("method")].toString();
    if (method == QLatin1String("Page.loadEventFired"))
        ++loadEvents_;
    else if (method == QLatin1String("Inspector.targetCrashed") && crash_.isEmpty())
        crash_ = QStringLiteral("the page crashed");
}

bool HeadlessBrowser::runUntil(const std::function<bool()>& done, QDeadlineTimer deadline) {
    if (done() || !goneReason().isEmpty() || deadline.hasExpired())
        return done();
    QEventLoop loop;
    const auto check = [&] {
        if (done() || !goneReason().isEmpty())
            loop.quit();
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, &loop, check);
    QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(remainingMs(deadline), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    poll.start(50);
    loop.exec();
    return done();
}

QString HeadlessBrowser::goneReason() const {
    if (!crash_.isEmpty())
        return crash_;
    if (dir_ && process_.state() == QProcess::NotRunning)
        return QStringLiteral("chromium ended (exit code %1)").arg(process_.exitCode());
    return {};
}

bool HeadlessBrowser::failWaiting(const QString& what, int timeoutMs) {
    const QString reason = goneReason();
    return fail(what + QStringLiteral(": ") +
                (reason.isEmpty() ? QStringLiteral("no result within %1 ms").arg(timeoutMs) : reason));
}

bool HeadlessBrowser::fail(const QString& message) {
    error_ = message;
    return false;
}

} // namespace halvora::test
