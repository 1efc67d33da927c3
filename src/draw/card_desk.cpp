#include "draw/card_desk.h"

#include "cards/bingo_cards.h"
#include "cards/card_check_window.h"
#include "cards/card_register.h"
#include "draw/show_setup.h"
#include "game/game.h"
#include "platform/colours.h"
#include "platform/services.h"

#include <QFileInfo>
#include <QLabel>

namespace halvora {

CardDesk::CardDesk(Game& game, ShowSetup& show, Services& services, Printer& printer, QWidget& window, QWidget& board)
    : QObject(&window), game_(game), show_(show), services_(services), printer_(printer), window_(window) {
    counts_ = new QLabel(&board);
    counts_->setObjectName(QStringLiteral("Lbl発行カード"));
    keepPlatformColours(counts_);
    counts_->hide();
    connect(&game, &Game::numberChanged, this, &CardDesk::showCounts);
    connect(&game, &Game::restored, this, &CardDesk::showCounts);
}

CardDesk::~CardDesk() = default;

QString CardDesk::registerPath() const { return show_.folders.appFolder + QStringLiteral("Halvora.cards"); }

void CardDesk::start() {
    if (QFileInfo::exists(registerPath()) && cards())
        showCounts();
}

CardRegister* CardDesk::cards() {
    if (!register_) {
        register_ = std::make_unique<CardRegister>(registerPath());
        if (register_->open() == CardRegister::Opened::SetAside)
            services_.dialogs.messageBox(
                &window_,
                QStringLiteral("カード台帳が壊れていたため、次の名前で残して新しい台帳を始めました。\r\n") +
                    register_->setAsidePath() +
                    QStringLiteral("\r\nそれまでに印刷したカードは「カード確認」で確認できません。"),
                MessageKind::Warning);
        issued_.set(register_->issuedCards());
    }
    return register_->isOpen() ? register_.get() : nullptr;
}

void CardDesk::printCards() {
    CardIssue issue;
    issue.cards = cards();
    issue.style = style();
    issue.issued = [this](const std::vector<Card>& printed) {
        issued_.add(printed);
        showCounts();
    };
    if (!issue.cards)
        services_.dialogs.messageBox(&window_,
                                     QStringLiteral("カード台帳を開けないため、カード番号なしで印刷します。\r\n") +
                                         register_->problem(),
                                     MessageKind::Warning);
    printBingoCards({printer_, services_.random, services_.dialogs, &window_, show_.folders.dataFolder}, issue);
}

void CardDesk::checkCard() {
    const QColor hit = colourFromText(show_.colours.backColours[3]).value_or(QColor(128, 255, 128));
    checkCardClaim(cards(), game_.drawnNumbers(), game_.drawOrder(), hit, services_.dialogs, services_.pump, &window_);
}

CardStyle CardDesk::style() const {
    return show_.folders.cardStyle == 1 ? CardStyle::Bingo : CardStyle::Classic;
}

void CardDesk::addIssued(const Card& card) {
    issued_.add({card});
    showCounts();
}

// The true count beside the estimate, once cards have been issued.
void CardDesk::showCounts() {
    if (issued_.size() == 0)
        return;
    const CardCounts counts = issued_.count(game_.drawnNumbers());
    counts_->setText(QStringLiteral("発行カード %1枚　リーチ %2枚　ビンゴ %3枚")
                         .arg(counts.issued)
                         .arg(counts.reach)
                         .arg(counts.bingo));
    counts_->show();
}

} // namespace halvora
