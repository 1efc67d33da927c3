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

int FakeDialogs::messageBox(QWidget*, const QString& prompt, int style, const QString& title) {
    messages_.push_back({prompt, style, title.isEmpty() ? kProgramTitle : title});
    if (messageObserver_)
        messageObserver_(messages_.back());
    return take(messageAnswers_).value_or(defaultAnswer(style));
}

bool FakeDialogs::answerFile(FileNameRequest& request) {
    fileRequests_.push_back(request);
    const QStringList paths = take(fileAnswers_).value_or(QStringList());
    if (paths.isEmpty() || paths.front().isEmpty())
        return false;
    const QString path = paths.front();
    request.file = path;
    request.files = paths;
    request.fileOffset = static_cast<int>(path.lastIndexOf(QLatin1Char('/')) + 1);
    return true;
}

bool FakeDialogs::chooseColor(ColourRequest& request) {
    colourRequests_.push_back(request);
    if (colourObserver_)
        colourObserver_();
    const std::optional<std::uint32_t> answer = take(colourAnswers_).value_or(std::nullopt);
    if (answer)
        request.rgbResult = *answer;
    return answer.has_value();
}

} // namespace halvora::test
