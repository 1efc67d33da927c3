#include "draw/media_checks.h"

#include "dialogs/timed_question.h"
#include "draw/show_setup.h"
#include "draw/main_controls.h"
#include "media/media_playback.h"
#include "platform/media_player.h"
#include "platform/picture_box.h"
#include "platform/services.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace halvora {

namespace {

QString threeDigits(int i) { return QStringLiteral("%1").arg(i, 3, 10, QLatin1Char('0')); }

void showEndMessage(Dialogs& dialogs, QWidget& owner, const QString& text) {
    dialogs.messageBox(&owner, text, MessageKind::Plain);
}

} // namespace

MediaChecks::MediaChecks(ShowSetup& show, MainControls& controls, QWidget& window, Services& services)
    : show_(show), controls_(controls), window_(window), services_(services) {}

Answer MediaChecks::askNext(const QString& nextWhat, const QString& title, int i, const QString& file,
                                  std::int32_t seconds) {
    const QString message = QStringLiteral("確認を強制終了する場合は[いいえ]を\r\n次の%1確認の場合は[はい]を選択してください。")
                                .arg(nextWhat);
    const MediaPlayer& media = services_.media;
    const MediaWatch watch{[&media](const QString& path) { return MediaPlayback::position(media, path); },
                           [&media](const QString& path) { return MediaPlayback::length(media, path); }};
    return askTimed(window_, message, title + threeDigits(i), file, seconds, services_.timers, services_.pump,
                   watch);
}

void MediaChecks::showBoard(bool shown) {
    for (std::size_t n = 1; n <= 75; ++n)
        controls_.boardBoxes[n]->setVisible(shown);
    controls_.panel->setVisible(shown);
    controls_.showDrawButtons(shown);
}

void MediaChecks::checkMusicAndVideos() {
    controls_.photo->hide();
    controls_.announcement->hide();
    showBoard(false);
    const AvList& av = show_.av;
    for (int i = 1; i <= av.count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        controls_.photo->clear();
        const QString& f = av.files[k]; // the name opens the file, so its case stays
        bool video = false;
        MediaPlayback::play(services_.media, f, av.starts[k], [&] {
            video = true;
            controls_.videoView->show();
        });
        // A play time of 0 waits until the file has played to its end.
        const Answer answer = askNext(QStringLiteral("音楽_動画"), QStringLiteral("音楽_動画番号＝"), i, f,
                                            av.playSeconds[k]);
        MediaPlayback::close(services_.media, f);
        if (video)
            controls_.videoView->hide();
        if (answer == Answer::No)
            break;
    }
    showEndMessage(services_.dialogs, window_, QStringLiteral("音楽_動画の確認が終了しました"));
    showBoard(true);
}

void MediaChecks::checkPhotos() {
    QLabel& image = *controls_.photo;
    image.show();
    showBoard(false);
    for (int i = 1; i <= show_.pictures.count; ++i) {
        image.clear();
        // A photo that cannot be read leaves the area empty, without a message.
        controls_.showPhoto(show_.pictures.files[static_cast<std::size_t>(i)]);
        if (askNext(QStringLiteral("背景画像"), QStringLiteral("画像番号＝"), i, {}, 5) == Answer::No)
            break;
    }
    showEndMessage(services_.dialogs, window_, QStringLiteral("背景画像の確認が終了しました"));
    image.hide();
    showBoard(true);
}

void MediaChecks::checkIcons() {
    for (QPushButton* button : controls_.drawButtons)
        button->setIcon({});
    QPushButton& last = *controls_.drawButtons[3];
    for (int i = 1; i <= show_.icons.count; ++i) {
        // An icon that cannot be read leaves the button bare, without a message.
        controls_.putButtonPicture(3, show_.icons.files[static_cast<std::size_t>(i)]);
        last.setText(threeDigits(i));
        if (askNext(QStringLiteral("アイコン"), QStringLiteral("アイコン番号＝"), i, {}, 5) == Answer::No)
            break;
    }
    last.setText(controls_.drawButtons[1]->text());
    showEndMessage(services_.dialogs, window_, QStringLiteral("アイコンの確認が終了しました"));
    controls_.assignStartIcons(show_.icons, services_.random);
}

} // namespace halvora
