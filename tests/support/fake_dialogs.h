#pragma once

#include "platform/dialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace halvora::test {

// Records every message box the program shows and answers it from a script; with no scripted
// answer it gets its default button (No for a box with No as default, else Yes or OK). Input
// boxes and save dialogs answer from their scripts (else the default reply, or cancelled); open
// and colour dialogs are cancelled.
class FakeDialogs final : public Dialogs {
public:
    struct Message {
        QString prompt;
        int style = 0;
        QString title; // as shown: empty titles become the program's title
    };

    void answerNextMessage(int answer) { messageAnswers_.push_back(answer); }
    // Runs when a message box is shown, before it is answered (to check state at that moment).
    void onMessage(std::function<void(const Message&)> observer) { messageObserver_ = std::move(observer); }

    // The next input box's reply (an empty text is what a cancelled box gives).
    void answerNextInput(const QString& reply) { inputAnswers_.push_back(reply); }
    // The next save dialog's chosen path; without one the dialog is cancelled.
    void answerNextSaveFile(const QString& path) { saveAnswers_.push_back(path); }

    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<std::pair<QString, QString>>& inputs() const { return inputs_; } // prompt, default
    const std::vector<FileNameRequest>& saveRequests() const { return saveRequests_; }
    void clear() { messages_.clear(); }

    int messageBox(QWidget* owner, const QString& prompt, int style, const QString& title = {}) override;
    QString inputBox(QWidget*, const QString& prompt, const QString&, const QString& defaultReply) override {
        inputs_.push_back({prompt, defaultReply});
        return takeNext(inputAnswers_).value_or(defaultReply);
    }
    bool getOpenFileName(FileNameRequest&) override { return false; }
    bool getSaveFileName(FileNameRequest& request) override {
        saveRequests_.push_back(request);
        const std::optional<QString> file = takeNext(saveAnswers_);
        if (file)
            request.file = *file;
        return file.has_value();
    }
    bool chooseColor(ColourRequest&) override { return false; }

private:
    static std::optional<QString> takeNext(std::deque<QString>& answers) {
        if (answers.empty())
            return std::nullopt;
        QString next = answers.front();
        answers.pop_front();
        return next;
    }

    std::deque<int> messageAnswers_;
    std::deque<QString> inputAnswers_;
    std::deque<QString> saveAnswers_;
    std::vector<std::pair<QString, QString>> inputs_;
    std::vector<FileNameRequest> saveRequests_;
    std::function<void(const Message&)> messageObserver_;
    std::vector<Message> messages_;
};

} // namespace halvora::test
