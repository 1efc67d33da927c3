#pragma once

#include "platform/mci.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace halvora::test {

// Records every media command and answers from a script chosen by the longest matching command
// prefix; unscripted commands succeed with an empty reply. Like the platform, a reply is cut to
// replyLength - 1 characters.
class MciRecorder final : public Mci {
public:
    struct Answer {
        QString reply;
        int code = 0;
    };
    struct Call {
        QString command;
        int replyLength = 0;
        WId callbackWindow = 0;
    };

    void setReply(const QString& prefix, const QString& reply, int code = 0);
    // For replies that change, e.g. a position that follows the virtual clock.
    void setResponder(const QString& prefix, std::function<Answer(const QString& command)> responder);

    const std::vector<Call>& calls() const { return calls_; }
    QStringList commands() const;
    void clear() { calls_.clear(); }

    int sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) override;

private:
    std::map<QString, std::function<Answer(const QString&)>> responders_;
    std::vector<Call> calls_;
};

} // namespace halvora::test
