// Visits the guests' page with a real headless browser, as a phone would: joins and saves what the
// phone shows; optionally first waits until a drawn number is marked on the card, and afterwards
// until the card shows a ビンゴ, claims it and saves the phone again (as <screenshot>-claim.png).
//   phone_visit <url> <screenshot.png> [--nickname NAME] [--wait-draw] [--claim]
// Prints the card's serial, its first row and the claim's answer; exits 0 on success, 1 on failure.

#include "support/headless_browser.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

using halvora::test::HeadlessBrowser;

class Visit {
public:
    explicit Visit(QString screenshot) : screenshot_(std::move(screenshot)) {}

    // A step that did not happen: says why, with what the page showed, and keeps the picture.
    int fail(const QString& what) {
        const QString page = browser_.evaluate(QStringLiteral("document.body ? document.body.innerText : ''")).toString();
        std::fprintf(stderr, "phone_visit: %s %s\nthe page shows: %s\n", qUtf8Printable(what),
                     qUtf8Printable(browser_.lastError()), qUtf8Printable(page.simplified().left(400)));
        browser_.screenshot().save(screenshot_);
        return 1;
    }
    bool waitFor(const QString& condition, int seconds) { return browser_.waitFor(condition, seconds * 1000); }
    QString text(const QString& selector) {
        return browser_.evaluate(QStringLiteral("document.querySelector('%1')?.textContent ?? ''").arg(selector))
            .toString()
            .trimmed();
    }

    int run(const QUrl& url, const QString& nickname, bool waitDraw, bool claim) {
        if (HeadlessBrowser::executable().isEmpty() || !browser_.start() || !browser_.open(url))
            return fail(QStringLiteral("the browser did not open the page (Debian package chromium)"));
        if (!waitFor(QStringLiteral("document.querySelector('#join')?.offsetParent != null"), 15))
            return fail(QStringLiteral("no 「カードをもらう」 button"));
        browser_.evaluate(QStringLiteral("document.querySelector('#nickname').focus()"));
        browser_.insertText(nickname);
        browser_.evaluate(QStringLiteral("document.querySelector('#join').click()"));
        if (!waitFor(QStringLiteral("!!document.querySelector('.card .serial')"), 15))
            return fail(QStringLiteral("no card after joining"));
        const QJsonValue row = browser_.evaluate(
            QStringLiteral("[...document.querySelectorAll('.card .cell')].slice(0, 5).map(c => c.dataset.number).join(' ')"));
        std::printf("serial: %s\nrow: %s\n", qUtf8Printable(text(QStringLiteral(".card .serial"))),
                    qUtf8Printable(row.toString()));
        std::fflush(stdout);
        if (waitDraw && !waitFor(QStringLiteral("!!document.querySelector('.cell.marked:not([data-number=\"0\"])')"), 300))
            return fail(QStringLiteral("no drawn number was marked on the card within 5 minutes"));
        if (!browser_.screenshot().save(screenshot_))
            return fail(QStringLiteral("cannot save ") + screenshot_);
        if (!claim)
            return 0;
        if (!waitFor(QStringLiteral("!!document.querySelector('.card.has-bingo')"), 300))
            return fail(QStringLiteral("the card showed no ビンゴ within 5 minutes"));
        browser_.evaluate(QStringLiteral("document.querySelector('.claim').click()"));
        if (!waitFor(QStringLiteral("!!document.querySelector('.claim-result')?.textContent.trim()"), 15))
            return fail(QStringLiteral("no answer to the claim"));
        std::printf("claim: %s\n", qUtf8Printable(text(QStringLiteral(".claim-result"))));
        const QString claimed = QString(screenshot_).replace(QStringLiteral(".png"), QStringLiteral("-claim.png"));
        return browser_.screenshot().save(claimed) ? 0 : fail(QStringLiteral("cannot save ") + claimed);
    }

private:
    QString screenshot_;
    HeadlessBrowser browser_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("url"), QStringLiteral("The page's address."));
    parser.addPositionalArgument(QStringLiteral("screenshot"), QStringLiteral("Where to save the PNG."));
    parser.addOption({QStringLiteral("nickname"), QStringLiteral("Typed before joining."), QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("wait-draw"), QStringLiteral("Wait until a drawn number is marked.")});
    parser.addOption({QStringLiteral("claim"), QStringLiteral("Press 「ビンゴ！」.")});
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(1);
    return Visit(parser.positionalArguments()[1])
        .run(QUrl(parser.positionalArguments()[0]), parser.value(QStringLiteral("nickname")),
             parser.isSet(QStringLiteral("wait-draw")), parser.isSet(QStringLiteral("claim")));
}
