#pragma once

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QWebSocket>

#include <functional>
#include <map>
#include <optional>

namespace halvora::test {

// A real headless Chromium showing pages on a phone's screen (390 x 844, mobile), driven over its
// DevTools protocol. Every wait runs the event loop up to a deadline and fails instead of hanging;
// lastError() says why.
class HeadlessBrowser {
public:
    ~HeadlessBrowser();

    // The browser's path; empty when it is not installed.
    static QString executable();

    // Starts the browser on a fresh profile and opens a page in it.
    bool start(int timeoutMs = 30000);
    // Loads a new document and waits for its load event.
    bool open(const QUrl& url, int timeoutMs = 15000);
    // The expression's value (promises awaited); undefined, with lastError() set, when the page threw
    // or the browser did not answer.
    QJsonValue evaluate(const QString& expression, int timeoutMs = 10000);
    // Waits until the expression is truthy; the page checks it every 50 ms.
    bool waitFor(const QString& condition, int timeoutMs);
    // Types into the focused element as a keyboard would (input events, maxlength honoured).
    bool insertText(const QString& text);
    // What the phone's screen shows; null on failure.
    QImage screenshot();

    QString lastError() const { return error_; }

private:
    // A protocol command's result, or nothing (lastError() set) on an error, a crash or the deadline.
    std::optional<QJsonObject> call(const QString& method, const QJsonObject& params = {},
                                    int timeoutMs = 10000);
    // Runs the event loop until done() holds, the browser is gone or the deadline passes.
    bool runUntil(const std::function<bool()>& done, QDeadlineTimer deadline);
    void receive(const QString& text);
    // Why the browser can no longer answer; empty while it can.
    QString goneReason() const;
    // Sets lastError() to the message, with why the browser is gone if it is.
    bool fail(const QString& message);

    QTemporaryDir profile_;
    QProcess process_;
    QByteArray log_; // the browser's error output
    QWebSocket socket_;
    qint64 group_ = 0; // the browser's process group, its helpers included
    QString session_;  // the page's session on the browser's connection
    int nextId_ = 0;
    int loadEvents_ = 0;
    QString crash_; // set when the page's renderer died
    std::map<int, QJsonObject> replies_;
    QString error_;
};

} // namespace halvora::test
