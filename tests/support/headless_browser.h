#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonObject>
#include <QJsonValue>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebSocket>

#include <functional>
#include <map>
#include <memory>
#include <optional>

#include <sys/types.h>

namespace halvora::test {

// A real headless Chromium showing pages on a phone's screen (390 x 844, mobile), driven over its
// DevTools protocol. Every wait runs the event loop up to a deadline and fails instead of hanging;
// lastError() says why.
class HeadlessBrowser {
public:
    HeadlessBrowser();
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    // The browser's path; empty when it is not installed.
    static QString executable();

    // Starts the browser on a fresh profile and connects to its page.
    bool start(int timeoutMs = 30000);
    // Loads a new document and waits for its load event.
    bool open(const QUrl& url, int timeoutMs = 15000);
    // The expression's value (promises awaited). Undefined when the page threw or the browser did
    // not answer; lastError() then holds the reason.
    QJsonValue evaluate(const QString& expression, int timeoutMs = 10000);
    // Waits until the expression is truthy, checking again on each page event and every 50 ms.
    bool waitFor(const QString& condition, int timeoutMs);
    // Types into the focused element as a keyboard would (input events, maxlength honoured).
    bool insertText(const QString& text);
    // What the phone's screen shows (390 x 844); null on failure.
    QImage screenshot();

    QString lastError() const { return error_; }

private:
    // The result of a protocol command, or nothing (error_ set) on an error, a crash or the deadline.
    std::optional<QJsonObject> call(const QString& method, const QJsonObject& params = {},
                                    int timeoutMs = 10000);
    // Runs the event loop until done() holds, the browser is gone or the deadline passes.
    bool runUntil(const std::function<bool()>& done, QDeadlineTimer deadline);
    // Why the browser can no longer answer; empty while it can.
    QString goneReason() const;
    bool fail(const QString& message);
    bool failWaiting(const QString& what, int timeoutMs);
    void receive(const QString& text);
    bool readPort(QDeadlineTimer deadline);
    QString pageSocketUrl(QDeadlineTimer deadline);

    std::unique_ptr<QTemporaryDir> dir_; // the profile and the browser's log
    QProcess process_;
    QNetworkAccessManager network_;
    QWebSocket socket_;
    pid_t group_ = 0; // the browser's process group, its helpers included
    int port_ = 0;
    int nextId_ = 0;
    int events_ = 0; // events received from the page
    int loadEvents_ = 0;
    QString crash_; // set when the page's renderer died or the protocol detached
    std::map<int, QJsonObject> replies_;
    QString error_;
};

} // namespace halvora::test
