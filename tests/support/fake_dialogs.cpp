#include "fake_dialogs.h"

namespace halvora::test {

Answer FakeDialogs::messageBox(QWidget*, const QString& prompt, MessageKind kind, const QString& title) {
    messages_.push_back({prompt, kind, title.isEmpty() ? kProgramTitle : title});
    if (messageObserver_)
        messageObserver_(messages_.back());
    const Answer byDefault = kind == MessageKind::Question            ? Answer::Yes
                             : kind == MessageKind::QuestionDefaultNo ? Answer::No
                                                                      : Answer::Ok;
    return take(messageAnswers_).value_or(byDefault);
}

QStringList FakeDialogs::answerFile(const FileDialogOptions& options) {
    fileRequests_.push_back(options);
    const QStringList paths = take(fileAnswers_).value_or(QStringList());
    if (paths.isEmpty() || paths.front().isEmpty())
        return {};
    return paths;
}

std::optional<QColor> FakeDialogs::chooseColour(const QColor& start) {
    colourStarts_.push_back(start);
    if (colourObserver_)
        colourObserver_();
    return take(colourAnswers_).value_or(std::nullopt);
}

} // namespace halvora::test
