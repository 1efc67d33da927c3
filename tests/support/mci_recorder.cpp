#include "mci_recorder.h"

#include <algorithm>

namespace halvora::test {

void MciRecorder::setReply(const QString& prefix, const QString& reply, int code) {
    setResponder(prefix, [answer = Answer{reply, code}](const QString&) { return answer; });
}

void MciRecorder::setResponder(const QString& prefix, std::function<Answer(const QString&)> responder) {
    responders_[prefix] = std::move(responder);
}

QStringList MciRecorder::commands() const {
    QStringList texts;
    for (const Call& call : calls_)
        texts << call.command;
    return texts;
}

int MciRecorder::sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) {
    calls_.push_back({command, replyLength, callbackWindow});
    const std::function<Answer(const QString&)>* chosen = nullptr;
    qsizetype chosenLength = -1;
    for (const auto& [prefix, responder] : responders_) {
        if (command.startsWith(prefix) && prefix.size() > chosenLength) {
            chosen = &responder;
            chosenLength = prefix.size();
        }
    }
    const Answer answer = chosen ? (*chosen)(command) : Answer{};
    reply = answer.reply.left(std::max(0, replyLength - 1));
    return answer.code;
}

} // namespace halvora::test
