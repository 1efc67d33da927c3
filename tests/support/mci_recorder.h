#pragma once

#include "platform/mci.h"

#include <QString>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

namespace halvora::test {

// Records every media command and answers from a script chosen by the longest matching command
// prefix; unscripted commands succeed with an empty reply. Like the platform, a reply is cut to
// replyLength - 1 characters.
class MciRecorder final : public Mci {
public:
    struct Call {
        QString command;
        int replyLength = 0;
    };

    void setReply(const QString& prefix, const QString& reply, int code = 0) {
        answers_[prefix] = {reply, code};
    }

    const std::vector<Call>& calls() const { return calls_; }
    QStringList commands() const;
    void clear() { calls_.clear(); }

    int sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) override;

private:
    std::map<QString, std::pair<QString, int>> answers_; // prefix: reply and code
    std::vector<Call> calls_;
};

} // namespace halvora::test
