// Visits the guests' page with a real headless browser, as a phone would: joins and saves what the
// phone shows; optionally first waits until a drawn number is marked on the card, and afterwards
// until the card shows a ビンゴ, claims it and saves the phone again (as <screenshot>-claim.png).
//   phone_visit <url> <screenshot.png> [--nickname NAME] [--wait-draw] [--claim]
// Prints the card's serial, its first row and the claim's answer; exits 0 on success, 1 on failure.

#include "support/headless_browser.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument(u"url"_s, u"The page's address."_s);
    parser.addPositionalArgument(u"screenshot"_s, u"Where to save the PNG."_s);
    parser.addOption({u"nickname"_s, u"Typed before joining."_s, u"NAME"_s});
    parser.addOption({u"wait-draw"_s, u"Wait until a drawn number is marked."_s});
    parser.addOption({u"claim"_s, u"Press 「ビンゴ！」."_s});
    parser.process(app);
    if (parser.positionalArguments().size() != 2)
        parser.showHelp(1);
    const QString screenshot = parser.positionalArguments()[1];

    halvora::test::HeadlessBrowser browser;
    // A step that did not happen: says why, with what the page showed, and keeps the picture.
    const auto fail = [&](const char* what) {
        const QString why = browser.lastError();
        const QString page = browser.evaluate(u"document.body?.innerText ?? ''"_s).toString();
        std::fprintf(stderr, "phone_visit: %s %s\nthe page shows: %s\n", what, qUtf8Printable(why),
                     qUtf8Printable(page.simplified().left(400)));
        browser.screenshot().save(screenshot);
        return 1;
    };
    const auto waitFor = [&](const char* selector, int seconds) {
        return browser.waitFor(u"document.querySelector('%1')"_s.arg(QLatin1String(selector)),
                               seconds * 1000);
    };

    if (!browser.start() || !browser.open(QUrl(parser.positionalArguments()[0])))
        return fail("the browser did not open the page (Debian package chromium)");
    if (!browser.waitFor(u"document.querySelector('#join')?.offsetParent != null"_s, 15000))
        return fail("no 「カードをもらう」 button");
    browser.evaluate(u"document.querySelector('#nickname').focus()"_s);
    browser.insertText(parser.value(u"nickname"_s));
    browser.evaluate(u"document.querySelector('#join').click()"_s);
    if (!waitFor(".card .serial", 15))
        return fail("no card after joining");
    const QJsonValue card = browser.evaluate(
        u"document.querySelector('.card .serial').textContent.trim() + '\\nrow: ' + "
        "[...document.querySelectorAll('.card .cell')].slice(0, 5).map(c => c.dataset.number).join(' ')"_s);
    std::printf("serial: %s\n", qUtf8Printable(card.toString()));
    std::fflush(stdout);
    if (parser.isSet(u"wait-draw"_s) && !waitFor(R"(.cell.marked:not([data-number="0"]))", 300))
        return fail("no drawn number was marked on the card within 5 minutes");
    if (!browser.screenshot().save(screenshot))
        return fail("cannot save the screenshot");
    if (!parser.isSet(u"claim"_s))
        return 0;
    if (!waitFor(".card.has-bingo", 300))
        return fail("the card showed no ビンゴ within 5 minutes");
    browser.evaluate(u"document.querySelector('.claim').click()"_s);
    if (!browser.waitFor(u"document.querySelector('.claim-result')?.textContent.trim()"_s, 15000))
        return fail("no answer to the claim");
    const QJsonValue answer = browser.evaluate(u"document.querySelector('.claim-result').textContent.trim()"_s);
    std::printf("claim: %s\n", qUtf8Printable(answer.toString()));
    const QString claimed = QString(screenshot).replace(u".png"_s, u"-claim.png"_s);
    return browser.screenshot().save(claimed) ? 0 : fail("cannot save the claim's screenshot");
}
