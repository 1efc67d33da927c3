#include "fake_dialogs.h"

namespace halvora::test {

namespace {
int defaultAnswer(int style) {
    const int buttons = style & 0xF;
    if (buttons == MsgBox::YesNo)
        return (style & MsgBox::DefaultButton2) ? MsgBox::No : MsgBox::Yes;
    return MsgBox::Ok;
}
} // namespace

void FakeDialogs::clear() {
    messages_.clear();
    inputs_.clear();
    fileRequests_.clear();
    colourRequests_.clear();
}

int FakeDialogs::messageBox(QWidget*, const QString& prompt, int style, const QString& title) {
    messages_.push_back({prompt, style, title.isEmpty() ? kProgramTitle : title});
    if (messageObserver_)
        messageObserver_(messages_.back());
    if (messageAnswers_.empty())
        return defaultAnswer(style);
    const int answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

QString FakeDialogs::inputBox(QWidget*, const QString& prompt, const QString& title,
                              const QString& defaultReply) {
    inputs_.push_back({prompt, title, defaultReply});
    if (inputReplies_.empty())
        return defaultReply;
    QString reply = inputReplies_.front();
    inputReplies_.pop_front();
    return reply;
}

bool FakeDialogs::answerFile(FileNameRequest& request) {
    fileRequests_.push_back(request);
    if (fileAnswers_.empty())
        return false;
    auto answer = std::move(fileAnswers_.front());
    fileAnswers_.pop_front();
    return answer(request);
}

bool FakeDialogs::chooseColor(ColourRequest& request) {
    colourRequests_.push_back(request);
    if (colourAnswers_.empty())
        return false;
    auto answer = std::move(colourAnswers_.front());
    colourAnswers_.pop_front();
    return answer(request);
}

} // namespace halvora::test
