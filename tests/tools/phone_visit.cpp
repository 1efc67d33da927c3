// Visits the guests' page with a real headless browser, as a phone would: joins, waits for the card,
// optionally for a called number and a claim, then saves what the phone shows.
//   phone_visit <url> <screenshot.png> [--nickname NAME] [--wait-number N] [--claim]
// Prints "serial: …" and, with --claim, "claim: …"; exits 0 on success, 1 on failure, 2 on bad use.

#include "support/headless_browser.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

#include <cstdio>

using halvora::test::HeadlessBrowser;

namespace {

struct Options {
    QUrl url;
    QString screenshotPath;
    QString nickname;
    int waitNumber = 0; // 0: do not wait for a number
    bool claim = false;
};

constexpr int pageTimeoutMs = 15000;
constexpr int numberTimeoutMs = 30000;

// Any text as a JavaScript string literal.
QString jsString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString selected(const QString& selector) {
    return QStringLiteral("document.querySelector(%1)").arg(jsString(selector));
}

void printLine(const QString& text) {
    std::printf("%s\n", qUtf8Printable(text));
}

class Visit {
public:
    explicit Visit(const Options& options) : options_(options) {}

    int run() {
        if (HeadlessBrowser::executable().isEmpty())
            return failed(QStringLiteral("chromium is not installed (Debian package chromium)"));
        if (!browser_.start())
            return failed(QStringLiteral("chromium did not start: ") + browser_.lastError());
        if (!browser_.open(options_.url, pageTimeoutMs))
            return failed(browser_.lastError());
        opened_ = true;
        if (!join() || !waitForNumber() || !readSerial() || !claim())
            return failed(message_);
        if (!saveScreenshot())
            return failed(message_);
        printLine(QStringLiteral("serial: ") + serial_);
        if (options_.claim)
            printLine(QStringLiteral("claim: ") + claimText_);
        return 0;
    }

private:
    bool check(bool ok, const QString& what) {
        if (!ok)
            message_ =
                browser_.lastError().isEmpty() ? what : what + QStringLiteral(": ") + browser_.lastError();
        return ok;
    }
    // Runs a statement in the page; a throw is a failure.
    bool perform(const QString& script, const QString& what) {
        browser_.evaluate(script);
        return check(browser_.lastError().isEmpty(), what);
    }

    // Joins through the form unless the page already shows a card.
    bool join() {
        const QString joinShown =
            QStringLiteral("((e) => !!e && e.getClientRects().length > 0)(%1)").arg(selected("#join"));
        const QString card = selected(".card");
        if (!check(browser_.waitFor(card + " || " + joinShown, pageTimeoutMs),
                   "neither a .card nor a #join button appeared within 15 s"))
            return false;
        if (browser_.evaluate("!!" + card).toBool()) {
            if (!options_.nickname.isEmpty())
                std::fprintf(stderr, "phone_visit: the page shows a card already; --nickname is not used\n");
        } else if (!typeNickname() || !perform(selected("#join") + ".click()", "clicking #join")) {
            return false;
        }
        return check(browser_.waitFor(card, pageTimeoutMs), "no .card appeared within 15 s of joining");
    }

    bool typeNickname() {
        if (options_.nickname.isEmpty())
            return true;
        const QString focus =
            QStringLiteral("((e) => { if (!e) throw new Error('the page has no #nickname field');"
                           " e.focus(); e.select(); })(%1)")
                .arg(selected("#nickname"));
        return perform(focus, "typing the nickname") &&
               check(browser_.insertText(options_.nickname), "typing the nickname");
    }

    bool waitForNumber() {
        if (options_.waitNumber == 0)
            return true;
        const QString cell = selected(QStringLiteral(".cell[data-number=\"%1\"]").arg(options_.waitNumber));
        if (!check(browser_.evaluate("!!" + cell).toBool(),
                   QStringLiteral("the card has no square %1").arg(options_.waitNumber)))
            return false;
        return check(browser_.waitFor(cell + ".classList.contains('marked')", numberTimeoutMs),
                     QStringLiteral("square %1 was not marked within 30 s").arg(options_.waitNumber));
    }

    // The serial as the first card shows it (a .serial element), else its data-serial.
    bool readSerial() {
        const QString script =
            QStringLiteral(
                "((c) => (c.querySelector('.serial') || {}).textContent || c.dataset.serial || '')(%1)")
                .arg(selected(".card"));
        serial_ = browser_.evaluate(script).toString().simplified();
        return check(!serial_.isEmpty(),
                     "the card shows no serial (a .serial element or data-serial on .card)");
    }

    bool claim() {
        if (!options_.claim)
            return true;
        const QString click =
            QStringLiteral("((b) => { if (!b) throw new Error('the page has no .claim button');"
                           " b.click(); })(%1)")
                .arg(selected(".claim"));
        const QString text = QStringLiteral("(%1?.textContent ?? '').trim()").arg(selected(".claim-result"));
        if (!perform(click, "clicking .claim") || !check(browser_.waitFor(text + " !== ''", pageTimeoutMs),
                                                         "no text in .claim-result within 15 s of the claim"))
            return false;
        claimText_ = browser_.evaluate(text).toString();
        return true;
    }

    bool saveScreenshot() {
        const QImage image = browser_.screenshot();
        if (!check(!image.isNull(), "no screenshot"))
            return false;
        QSaveFile file(options_.screenshotPath);
        if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit())
            return true;
        message_ = QStringLiteral("cannot write %1: %2").arg(options_.screenshotPath, file.errorString());
        return false;
    }

    // Reports the failure with what the page said, saving the screenshot when the page opened.
    int failed(const QString& message) {
        std::fprintf(stderr, "phone_visit: %s\n", qUtf8Printable(message));
        if (!opened_)
            return 1;
        const QString text = browser_.evaluate(QStringLiteral("document.body ? document.body.innerText : ''"))
                                 .toString()
                                 .simplified();
        if (!text.isEmpty())
            std::fprintf(stderr, "phone_visit: the page shows: %s\n", qUtf8Printable(text.left(400)));
        opened_ = false; // a failing save reports once
        if (saveScreenshot())
            std::fprintf(stderr, "phone_visit: screenshot saved to %s\n",
                         qUtf8Printable(options_.screenshotPath));
        return 1;
    }

    Options options_;
    HeadlessBrowser browser_;
    bool opened_ = false;
    QString message_;
    QString serial_;
    QString claimText_;
};

// Reads the command line; on bad use prints why and returns false.
bool parse(const QCoreApplication& app, Options& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Joins the guests' page with a headless browser."));
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("url"), QStringLiteral("The page's address."));
    parser.addPositionalArgument(QStringLiteral("screenshot"), QStringLiteral("Where to save the PNG."));
    parser.addOption({QStringLiteral("nickname"), QStringLiteral("Nickname typed before joining."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("wait-number"), QStringLiteral("Wait until square N is marked (30 s)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("claim"), QStringLiteral("Press the first claim button.")});
    const bool understood = parser.parse(app.arguments());
    if (understood && parser.isSet(help))
        parser.showHelp(0);
    const QStringList args = parser.positionalArguments();
    options.url = args.size() == 2 ? QUrl::fromUserInput(args[0]) : QUrl();
    if (!understood || !options.url.isValid() || !options.url.scheme().startsWith(QLatin1String("http"))) {
        std::fprintf(
            stderr, "phone_visit: %s\n%s",
            qUtf8Printable(understood ? "give an http URL and a screenshot path" : parser.errorText()),
            qUtf8Printable(parser.helpText()));
        return false;
    }
    options.screenshotPath = args[1];
    if (!QFileInfo(options.screenshotPath).absoluteDir().exists()) {
        std::fprintf(stderr, "phone_visit: no folder for %s\n", qUtf8Printable(options.screenshotPath));
        return false;
    }
    options.nickname = parser.value(QStringLiteral("nickname"));
    options.claim = parser.isSet(QStringLiteral("claim"));
    if (parser.isSet(QStringLiteral("wait-number"))) {
        bool ok = false;
        options.waitNumber = parser.value(QStringLiteral("wait-number")).toInt(&ok);
        if (!ok || options.waitNumber < 1 || options.waitNumber > 75) {
            std::fprintf(stderr, "phone_visit: --wait-number takes a number from 1 to 75\n");
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options options;
    if (!parse(app, options))
        return 2;
    return Visit(options).run();
}
