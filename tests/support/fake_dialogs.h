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

// Records what each box, dialog and picker was asked and answers from its own script; unscripted,
// a message box gets its default button, an input box its default reply, and the rest cancel.
class FakeDialogs final : public Dialogs {
public:
    struct Message {
        QString prompt;
        MessageKind kind = MessageKind::Plain;
        QString title; // as shown: empty titles become the program's title
    };

    void answerNextMessage(Answer answer) { messageAnswers_.push_back(answer); }
    // The full path the next open or save dialog returns (an empty path cancels), or several files.
    void answerNextFile(const QString& path) { fileAnswers_.push_back({path}); }
    void answerNextFiles(const QStringList& paths) { fileAnswers_.push_back(paths); }
    const std::vector<FileDialogOptions>& fileRequests() const { return fileRequests_; }
    // Runs when a message box is shown, before it is answered (to check state at that moment).
    void onMessage(std::function<void(const Message&)> observer) { messageObserver_ = std::move(observer); }

    void answerNextColour(std::optional<QColor> colour) { colourAnswers_.push_back(colour); }
    void onColour(std::function<void()> observer) { colourObserver_ = std::move(observer); }
    const std::vector<QColor>& colourStarts() const { return colourStarts_; }
    // The next input box's reply (an empty text is what a cancelled box gives).
    void answerNextInput(const QString& reply) { inputAnswers_.push_back(reply); }

    const std::vector<Message>& messages() const { return messages_; }
    void clear() { messages_.clear(); }

    Answer messageBox(QWidget*, const QString& prompt, MessageKind kind = MessageKind::Plain,
                      const QString& title = {}) override {
        messages_.push_back({prompt, kind, title.isEmpty() ? kProgramTitle : title});
        if (messageObserver_)
            messageObserver_(messages_.back());
        const Answer byDefault = kind == MessageKind::QuestionDefaultNo ? Answer::No
                                 : kind == MessageKind::Question        ? Answer::Yes
                                                                        : Answer::Ok;
        return take(messageAnswers_).value_or(byDefault);
    }
    QString inputBox(QWidget*, const QString&, const QString&, const QString& defaultReply) override {
        return take(inputAnswers_).value_or(defaultReply);
    }
    QStringList openFiles(const FileDialogOptions& options) override {
        fileRequests_.push_back(options);
        const QStringList paths = take(fileAnswers_).value_or(QStringList());
        return paths.isEmpty() || paths.front().isEmpty() ? QStringList() : paths;
    }
    QString saveFile(const FileDialogOptions& options) override { return openFiles(options).value(0); }
    std::optional<QColor> chooseColour(const QColor& start) override {
        colourStarts_.push_back(start);
        if (colourObserver_)
            colourObserver_();
        return take(colourAnswers_).value_or(std::nullopt);
    }

private:
    template <typename T> static std::optional<T> take(std::deque<T>& answers) {
        if (answers.empty())
            return std::nullopt;
        T next = std::move(answers.front());
        answers.pop_front();
        return next;
    }

    std::deque<Answer> messageAnswers_;
    std::deque<QString> inputAnswers_;
    std::deque<QStringList> fileAnswers_;
    std::vector<FileDialogOptions> fileRequests_;
    std::function<void(const Message&)> messageObserver_;
    std::vector<Message> messages_;
    std::deque<std::optional<QColor>> colourAnswers_;
    std::function<void()> colourObserver_;
    std::vector<QColor> colourStarts_;
};

} // namespace halvora::test
