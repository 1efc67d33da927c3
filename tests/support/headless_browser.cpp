#include "headless_browser.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkProxy>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <csignal>

#include <sys/prctl.h>
#include <unistd.h>

namespace halvora::test {

using namespace Qt::StringLiterals;

HeadlessBrowser::~HeadlessBrowser() {
    socket_.abort();
    // The whole group at once: the browser's helpers would still write into the profile being removed.
    if (group_ > 0) {
        ::kill(static_cast<pid_t>(-group_), SIGKILL);
        process_.waitForFinished(5000);
    }
}

QString HeadlessBrowser::executable() {
    const QString onPath = QStandardPaths::findExecutable(u"chromium"_s);
    return onPath.isEmpty() ? QStandardPaths::findExecutable(u"chromium"_s, {u"/usr/bin"_s}) : onPath;
}

bool HeadlessBrowser::start(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    process_.setChildProcessModifier([] {
        ::setpgid(0, 0);                    // the browser and its helpers end as one group
        ::prctl(PR_SET_PDEATHSIG, SIGKILL); // and do not outlive a test that is killed
    });
    process_.setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(&process_, &QProcess::readyReadStandardError, &process_,
                     [this] { log_ += process_.readAllStandardError(); });
    process_.start(executable(),
                   {u"--headless=new"_s, u"--no-sandbox"_s, u"--disable-gpu"_s, u"--disable-dev-shm-usage"_s,
                    u"--no-first-run"_s, u"--no-default-browser-check"_s, u"--no-proxy-server"_s,
                    u"--hide-scrollbars"_s, u"--mute-audio"_s, u"--remote-debugging-port=0"_s,
                    u"--user-data-dir="_s + profile_.path(), u"--window-size=390,844"_s, u"about:blank"_s});
    if (!process_.waitForStarted(5000))
        return fail(u"chromium did not start (Debian package chromium): "_s + process_.errorString());
    group_ = process_.processId();
    static const QRegularExpression listening(u"DevTools listening on (ws://\\S+)"_s);
    QRegularExpressionMatch found;
    const auto announced = [&] { return (found = listening.match(QString::fromUtf8(log_))).hasMatch(); };
    if (!runUntil(announced, deadline))
        return fail(u"chromium opened no DevTools port\n"_s + QString::fromUtf8(log_.right(600)));
    // Everything stays on loopback, whatever proxy the machine is set up with.
    socket_.setProxy(QNetworkProxy::NoProxy);
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, &socket_,
                     [this](const QString& text) { receive(text); });
    socket_.open(QUrl(found.captured(1)));
    if (!runUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState; }, deadline))
        return fail(u"no DevTools connection: "_s + socket_.errorString());
    const auto page = call(u"Target.createTarget"_s, {{u"url"_s, u"about:blank"_s}});
    const auto attached = page ? call(u"Target.attachToTarget"_s,
                                      {{u"targetId"_s, page->value("targetId"_L1)}, {u"flatten"_s, true}})
                               : std::nullopt;
    if (!attached)
        return false;
    session_ = attached->value("sessionId"_L1).toString();
    // The window keeps a desktop's minimum width and toolbar; the page gets a phone's whole screen.
    const QJsonObject phone{
        {u"width"_s, 390}, {u"height"_s, 844}, {u"deviceScaleFactor"_s, 1}, {u"mobile"_s, true}};
    return call(u"Page.enable"_s) && call(u"Inspector.enable"_s) &&
           call(u"Emulation.setDeviceMetricsOverride"_s, phone);
}

bool HeadlessBrowser::open(const QUrl& url, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    const int loadsBefore = loadEvents_;
    const auto result = call(u"Page.navigate"_s, {{u"url"_s, url.toString()}}, timeoutMs);
    if (result && result->contains("errorText"_L1))
        return fail(url.toString() + u" did not load: "_s + result->value("errorText"_L1).toString());
    return result && (runUntil([&] { return loadEvents_ > loadsBefore; }, deadline) ||
                      fail(u"%1 did not load within %2 ms"_s.arg(url.toString()).arg(timeoutMs)));
}

QJsonValue HeadlessBrowser::evaluate(const QString& expression, int timeoutMs) {
    const auto result = call(
        u"Runtime.evaluate"_s,
        {{u"expression"_s, expression}, {u"awaitPromise"_s, true}, {u"returnByValue"_s, true}}, timeoutMs);
    if (!result)
        return QJsonValue::Undefined;
    if (const QJsonValue details = result->value("exceptionDetails"_L1); details.isObject()) {
        const QString thrown =
            details["exception"_L1]["description"_L1].toString(details["text"_L1].toString());
        fail(u"the page threw: %1\n  in: %2"_s.arg(thrown, expression));
        return QJsonValue::Undefined;
    }
    return result->value("result"_L1)["value"_L1];
}

bool HeadlessBrowser::waitFor(const QString& condition, int timeoutMs) {
    // The page answers true, or at the deadline what the condition last threw (empty if nothing).
    const QString poll = uR"(new Promise(resolve => {
        const end = Date.now() + %1;
        const check = () => {
            let thrown = '';
            try { if (%2
                ) return resolve(true); } catch (e) { thrown = String(e); }
            Date.now() >= end ? resolve(thrown) : setTimeout(check, 50);
        };
        check();
    }))"_s.arg(QString::number(timeoutMs), condition);
    const QJsonValue answer = evaluate(poll, timeoutMs + 5000);
    if (answer.isString())
        return fail(u"still false after %1 ms: %2"_s.arg(QString::number(timeoutMs), condition) +
                    (answer.toString().isEmpty() ? QString() : u"\n  last error: "_s + answer.toString()));
    return answer.toBool();
}

bool HeadlessBrowser::insertText(const QString& text) {
    return call(u"Input.insertText"_s, {{u"text"_s, text}}).has_value();
}

QImage HeadlessBrowser::screenshot() {
    const auto shot = call(u"Page.captureScreenshot"_s, {{u"format"_s, u"png"_s}}, 20000);
    return shot
               ? QImage::fromData(QByteArray::fromBase64(shot->value("data"_L1).toString().toLatin1()), "PNG")
               : QImage();
}

std::optional<QJsonObject> HeadlessBrowser::call(const QString& method, const QJsonObject& params,
                                                 int timeoutMs) {
    const int id = ++nextId_;
    QJsonObject message{{u"id"_s, id}, {u"method"_s, method}, {u"params"_s, params}};
    if (!session_.isEmpty())
        message[u"sessionId"_s] = session_;
    socket_.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    if (!runUntil([&] { return replies_.count(id) > 0; }, QDeadlineTimer(timeoutMs))) {
        fail(u"%1: no answer within %2 ms"_s.arg(method).arg(timeoutMs));
        return std::nullopt;
    }
    const QJsonObject reply = replies_.extract(id).mapped();
    if (reply.contains("error"_L1)) {
        fail(method + u": "_s + reply["error"_L1]["message"_L1].toString());
        return std::nullopt;
    }
    return reply["result"_L1].toObject();
}

void HeadlessBrowser::receive(const QString& text) {
    const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
    const QString method = message["method"_L1].toString();
    if (message.contains("id"_L1))
        replies_[message["id"_L1].toInt()] = message;
    else if (method == "Page.loadEventFired"_L1)
        ++loadEvents_;
    else if (method == "Inspector.targetCrashed"_L1 && crash_.isEmpty())
        crash_ = u"the page crashed"_s;
}

bool HeadlessBrowser::runUntil(const std::function<bool()>& done, QDeadlineTimer deadline) {
    QEventLoop loop;
    const auto check = [&] {
        if (done() || !goneReason().isEmpty())
            loop.quit();
    };
    // Everything that can change what is waited for arrives as one of these signals.
    QObject::connect(&socket_, &QWebSocket::textMessageReceived, &loop, check);
    QObject::connect(&socket_, &QWebSocket::stateChanged, &loop, check);
    QObject::connect(&process_, &QProcess::readyReadStandardError, &loop, check);
    QObject::connect(&process_, &QProcess::finished, &loop, check);
    const auto left = std::clamp<qint64>(deadline.remainingTime(), 0, 24 * 3600 * 1000);
    QTimer::singleShot(static_cast<int>(left), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    if (!done() && goneReason().isEmpty() && left > 0)
        loop.exec();
    return done();
}

QString HeadlessBrowser::goneReason() const {
    if (!crash_.isEmpty())
        return crash_;
    if (!session_.isEmpty() && socket_.state() != QAbstractSocket::ConnectedState)
        return u"the DevTools connection closed"_s;
    if (group_ > 0 && process_.state() == QProcess::NotRunning)
        return u"chromium ended (exit code %1)"_s.arg(process_.exitCode());
    return {};
}

bool HeadlessBrowser::fail(const QString& message) {
    const QString gone = goneReason();
    error_ = gone.isEmpty() ? message : message + u" ("_s + gone + u')';
    return false;
}

} // namespace halvora::test
