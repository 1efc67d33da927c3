#pragma once

#include "platform/dialogs.h"

#include <QString>

#include <deque>
#include <functional>
#include <vector>

namespace halvora::test {

// Records every dialog the program shows and answers it from a script. A message box with no
// scripted answer gets its default button (No for a box with No as default, else Yes or OK).
class FakeDialogs final : public Dialogs {
public:
    struct Message {
        QString prompt;
        int style = 0;
        QString title; // as shown: empty titles become the program's title
    };
    struct Input {
        QString prompt;
        QString title;
        QString defaultReply;
    };

    // Scripting.
    void answerNextMessage(int answer) { messageAnswers_.push_back(answer); }
    void answerNextInput(const QString& reply) { inputReplies_.push_back(reply); }
    void cancelNextInput() { inputReplies_.push_back(QString()); }
    // A handler that fills the request and returns true, or returns false for "cancelled".
    void answerNextFileDialog(std::function<bool(FileNameRequest&)> answer) {
        fileAnswers_.push_back(std::move(answer));
    }
    void answerNextColour(std::function<bool(ColourRequest&)> answer) {
        colourAnswers_.push_back(std::move(answer));
    }
    // Runs when a message box is shown, before it is answered (to check state at that moment).
    void onMessage(std::function<void(const Message&)> observer) { messageObserver_ = std::move(observer); }

    // What was shown.
    const std::vector<Message>& messages() const { return messages_; }
    const std::vector<Input>& inputs() const { return inputs_; }
    const std::vector<FileNameRequest>& fileRequests() const { return fileRequests_; }
    const std::vector<ColourRequest>& colourRequests() const { return colourRequests_; }
    void clear();

    int messageBox(QWidget* owner, const QString& prompt, int style, const QString& title = {}) override;
    QString inputBox(QWidget* owner, const QString& prompt, const QString& title,
                     const QString& defaultReply) override;
    bool getOpenFileName(FileNameRequest& request) override { return answerFile(request); }
    bool getSaveFileName(FileNameRequest& request) override { return answerFile(request); }
    bool chooseColor(ColourRequest& request) override;

private:
    bool answerFile(FileNameRequest& request);

    std::deque<int> messageAnswers_;
    std::deque<QString> inputReplies_;
    std::deque<std::function<bool(FileNameRequest&)>> fileAnswers_;
    std::deque<std::function<bool(ColourRequest&)>> colourAnswers_;
    std::function<void(const Message&)> messageObserver_;
    std::vector<Message> messages_;
    std::vector<Input> inputs_;
    std::vector<FileNameRequest> fileRequests_;
    std::vector<ColourRequest> colourRequests_;
};

} // namespace halvora::test
