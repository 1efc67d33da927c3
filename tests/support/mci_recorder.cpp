#include "mci_recorder.h"

#include <algorithm>

namespace halvora::test {

QStringList MciRecorder::commands() const {
    QStringList texts;
    for (const Call& call : calls_)
        texts << call.command;
    return texts;
}

int MciRecorder::sendString(const QString& command, QString& reply, int replyLength, WId) {
    calls_.push_back({command, replyLength});
    const std::pair<QString, int>* chosen = nullptr;
    qsizetype chosenLength = -1;
    for (const auto& [prefix, answer] : answers_) {
        if (command.startsWith(prefix) && prefix.size() > chosenLength) {
            chosen = &answer;
            chosenLength = prefix.size();
        }
    }
    const std::pair<QString, int> answer = chosen ? *chosen : std::pair<QString, int>{};
    reply = answer.first.left(std::max(0, replyLength - 1));
    return answer.second;
}

} // namespace halvora::test
