#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

class QWidget;

namespace halvora {

class Dialogs;
class MediaPlayer;
struct ShowSetup;

// Tells the operator, in one message, every entry of the show's lists that cannot be used: when a show
// is loaded and when a list has been edited, so that no turn has to find it out. What music and video
// files hold is found by the media player away from the window; the message comes once that is known.
class EntryReport {
public:
    EntryReport(const ShowSetup& show, Dialogs& dialogs, MediaPlayer& media, QWidget& owner);

    // The lists to look through (0 music and video, 1 photos, 2 icons). A later check makes an
    // earlier one that is still waiting for the player say nothing.
    void check(std::initializer_list<std::int16_t> listKinds);
    // While this holds (a turn runs), an answer that comes from the player waits: no box goes up in
    // front of the audience. It is shown by showWaiting().
    std::function<bool()> busy;
    void showWaiting();

private:
    void tell(const QString& message);

    QString waiting_;
    const ShowSetup& show_;
    Dialogs& dialogs_;
    MediaPlayer& media_;
    QWidget& owner_;
    std::shared_ptr<int> latest_ = std::make_shared<int>(0); // the number of the newest check
};

} // namespace halvora
