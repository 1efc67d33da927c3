#pragma once

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace halvora::test {

// Records every message box the program shows and answers it from a script; with no scripted
// answer it gets its default button (No for a box with No as default, else Yes or OK). Input
// boxes answer from their script (else the default reply); file dialogs give their scripted paths
// (none or an empty one: cancelled); colour pickers are answered from their own script (no answer,
// or an empty one, cancels). What each was asked is recorded.
class FakeDialogs final : public Dialogs {
public:
    struct Message {
        QString prompt;
        int style = 0;
        QString title; // as shown: empty titles become the program's title
    };

    void answerNextMessage(int answer) { messageAnswers_.push_back(answer); }
    // The full path the next open or save dialog returns; an empty path cancels it.
    void answerNextFile(const QString& path) { fileAnswers_.push_back({path}); }
    // The files the next dialog that allows several returns.
    void answerNextFiles(const QStringList& paths) { fileAnswers_.push_back(paths); }
    const std::vector<FileNameRequest>& fileRequests() const { return fileRequests_; }
    // Runs when a message box is shown, before it is answered (to check state at that moment).
    void onMessage(std::function<void(const Message&)> observer) { messageObserver_ = std::move(observer); }

    void answerNextColour(std::optional<std::uint32_t> rgb) { colourAnswers_.push_back(rgb); }
    // Runs when a colour picker is shown, before it is answered.
    void onColour(std::function<void()> observer) { colourObserver_ = std::move(observer); }
    const std::vector<ColourRequest>& colourRequests() const { return colourRequests_; }
    // The next input box's reply (an empty text is what a cancelled box gives).
    void answerNextInput(const QString& reply) { inputAnswers_.push_back(reply); }

    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<std::pair<QString, QString>>& inputs() const { return inputs_; } // prompt, default
    void clear() { messages_.clear(); }

    int messageBox(QWidget* owner, const QString& prompt, int style, const QString& title = {}) override;
    QString inputBox(QWidget*, const QString& prompt, const QString&, const QString& defaultReply) override {
        inputs_.push_back({prompt, defaultReply});
        return take(inputAnswers_).value_or(defaultReply);
    }
    bool getOpenFileName(FileNameRequest& request) override { return answerFile(request); }
    bool getSaveFileName(FileNameRequest& request) override { return answerFile(request); }
    bool chooseColor(ColourRequest& request) override;

private:
    bool answerFile(FileNameRequest& request);

    // The next scripted answer, if any.
    template <typename T> static std::optional<T> take(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T next = std::move(answers.front());
        answers.pop_front();
        return next;
    }

    std::deque<int> messageAnswers_;
    std::deque<QString> inputAnswers_;
    std::vector<std::pair<QString, QString>> inputs_;
    std::deque<QStringList> fileAnswers_;
    std::vector<FileNameRequest> fileRequests_;
    std::function<void(const Message&)> messageObserver_;
    std::vector<Message> messages_;
    std::deque<std::optional<std::uint32_t>> colourAnswers_;
    std::function<void()> colourObserver_;
    std::vector<ColourRequest> colourRequests_;
};

} // namespace halvora::test
