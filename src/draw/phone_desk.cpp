#include "draw/phone_desk.h"

#include "cards/card_register.h"
#include "draw/card_desk.h"
#include "draw/main_controls.h"
#include "draw/show_setup.h"
#include "game/game.h"
#include "phones/phone_api.h"
#include "phones/qr_code.h"
#include "platform/services.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace halvora {

// The QR code of the page's address, with the address beside it for those who type.
class PhoneJoinPanel final : public QWidget {
public:
    explicit PhoneJoinPanel(QWidget* parent) : QWidget(parent) { setObjectName(QStringLiteral("LblスマホQR")); }
    void setAddress(const QString& address) {
        address_ = address;
        code_ = qrCodeImage(address, 1);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        // Every module the same whole number of pixels, so a camera reads it from afar.
        const int scale = code_.isNull() ? 1 : std::max(1, (height() - 8) / code_.width());
        const int side = code_.width() * scale;
        painter.drawImage(QRect(4, (height() - side) / 2, side, side), code_);
        QRect text = rect().adjusted(side + 16, 4, -4, -4);
        QFont font = painter.font();
        font.setPixelSize(std::max(10, text.height() / 6));
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                         QStringLiteral("スマホでビンゴに参加\n%1").arg(address_));
    }

private:
    QString address_;
    QImage code_;
};

PhoneDesk::PhoneDesk(Game& game, ShowSetup& show, Services& services, CardDesk& cards, MainControls& controls,
                     QWidget& window)
    : QObject(&window), game_(game), show_(show), services_(services), cards_(cards), window_(window) {
    controls.phoneJoin = join_ = new PhoneJoinPanel(&controls.stage());
    controls.phoneBanner = banner_ = new QLabel(&controls.stage());
    banner_->setObjectName(QStringLiteral("Lblビンゴ申告"));
    banner_->setAlignment(Qt::AlignCenter);
    banner_->setStyleSheet(QStringLiteral("background: #c00000; color: #ffff40; font-weight: bold;"));
    join_->hide();
    banner_->hide();
    // The next number drawn is the show going on: the banner has had its moment.
    connect(&game, &Game::numberChanged, banner_, &QWidget::hide);
}

PhoneDesk::~PhoneDesk() = default;

void PhoneDesk::addMenuItems(QMenu& settings) {
    QMenu* phones = settings.addMenu(QStringLiteral("スマホ参加"));
    phones->setObjectName(QStringLiteral("Menuスマホ参加"));
    const auto item = [phones](const char16_t* name, const QString& caption, bool checkable) {
        QAction* action = phones->addAction(caption);
        action->setObjectName(QString::fromUtf16(name));
        action->setCheckable(checkable);
        return action;
    };
    QAction* accepting = item(u"Menuスマホ受付", QStringLiteral("スマホ参加を受け付ける"), true);
    QAction* join = item(u"MenuスマホQR", QStringLiteral("参加用のQRコードを表示"), true);
    QAction* more = item(u"Menuスマホ複数枚", QStringLiteral("1台に3枚まで配る"), true);
    QMenu* where = phones->addMenu(QStringLiteral("受け付けるアドレス"));
    where->setObjectName(QStringLiteral("Menuスマホアドレス"));
    QAction* port = item(u"Menuスマホポート", QStringLiteral("ポート番号..."), false);
    phones->addSeparator();
    QAction* claims = item(u"Menuビンゴ申告", QStringLiteral("ビンゴ申告の一覧"), false);
    connect(accepting, &QAction::triggered, this, [this](bool on) { setAccepting(on); });
    connect(join, &QAction::triggered, this, &PhoneDesk::setJoinShown);
    connect(more, &QAction::triggered, this, [this](bool on) {
        show_.folders.phoneCards = on ? 3 : 1;
        if (server_)
            server_->setCardsPerBrowser(show_.folders.phoneCards);
        emit settingsChanged();
    });
    connect(port, &QAction::triggered, this, &PhoneDesk::askPort);
    connect(claims, &QAction::triggered, this, &PhoneDesk::claimsWindow);
    connect(phones, &QMenu::aboutToShow, this, [=, this] {
        accepting->setChecked(server_ != nullptr);
        join->setChecked(joinShown_);
        more->setChecked(show_.folders.phoneCards > 1);
        where->clear();
        const QList<QHostAddress> addresses = reachableAddresses();
        const QHostAddress chosen = chosenAddress(addresses);
        for (const QHostAddress& address : addresses) {
            QAction* choice = where->addAction(address.toString());
            choice->setCheckable(true);
            choice->setChecked(address == chosen);
            connect(choice, &QAction::triggered, this, [this, address] {
                show_.folders.phoneAddress = address.toString();
                emit settingsChanged();
                restart();
            });
        }
    });
}

// The address kept in the settings while the machine still has it, else the likely one.
QHostAddress PhoneDesk::chosenAddress(const QList<QHostAddress>& addresses) const {
    const QHostAddress kept(show_.folders.phoneAddress);
    return addresses.contains(kept) ? kept : addresses.constFirst();
}

bool PhoneDesk::setAccepting(bool on) {
    if (!on) {
        server_.reset();
        showJoin();
        return true;
    }
    if (!server_) {
        server_ = std::make_unique<PhoneServer>(game_, [this] {
            return dealCard(cards_.style(), services_.random);
        });
        connect(server_.get(), &PhoneServer::cardIssued, &cards_, &CardDesk::addIssued);
        connect(server_.get(), &PhoneServer::claimed, this, &PhoneDesk::claimArrived);
    }
    CardRegister* cards = cards_.cards();
    server_->setRegister(cards);
    if (!cards)
        services_.dialogs.messageBox(&window_, QStringLiteral("カード台帳が使えないため、スマホにはカードを配れません。"),
                                     MessageKind::Warning);
    server_->setCardsPerBrowser(show_.folders.phoneCards);
    const QHostAddress address = chosenAddress(reachableAddresses());
    if (!server_->start(address, static_cast<quint16>(show_.folders.phonePort))) {
        const QString why = server_->errorText();
        server_.reset();
        showJoin();
        services_.dialogs.messageBox(&window_,
                                     QStringLiteral("スマホ参加を始められません。\r\n") +
                                         pageAddress(address, static_cast<quint16>(show_.folders.phonePort)) +
                                         QStringLiteral("\r\n") + why,
                                     MessageKind::Warning);
        return false;
    }
    showJoin();
    return true;
}

void PhoneDesk::restart() {
    if (server_)
        setAccepting(true);
}

void PhoneDesk::askPort() {
    const QString typed = services_.dialogs.inputBox(&window_, QStringLiteral("スマホ参加に使うポート番号（1024～65535）"),
                                                     QStringLiteral("スマホ参加"),
                                                     QString::number(show_.folders.phonePort));
    if (typed.isEmpty())
        return;
    bool ok = false;
    const int port = typed.trimmed().toInt(&ok);
    if (!ok || port < 1024 || port > 65535) {
        services_.dialogs.messageBox(&window_, QStringLiteral("ポート番号は 1024 から 65535 までの数字で入力してください。"),
                                     MessageKind::Warning);
        return;
    }
    show_.folders.phonePort = port;
    emit settingsChanged();
    restart();
}

void PhoneDesk::setJoinShown(bool shown) {
    joinShown_ = shown;
    showJoin();
}

void PhoneDesk::showJoin() {
    if (server_)
        join_->setAddress(pageAddress(server_->address(), server_->port()));
    join_->setVisible(server_ && joinShown_);
    join_->raise();
}

void PhoneDesk::claimArrived(const PhoneClaim& claim) {
    for (const PhoneClaim& earlier : claims_)
        if (earlier.serial == claim.serial)
            return;
    claims_.push_back(claim);
    claimsWindow();
    const QString name = claim.nickname.isEmpty() ? QStringLiteral("（名前なし）") : claim.nickname;
    claimList_->addItem(QStringLiteral("%1. %2　%3　%4　%5")
                            .arg(claims_.size())
                            .arg(services_.clock.now().toString(QStringLiteral("HH:mm:ss")), serialText(claim.serial),
                                 name, claim.verdict));
    claimList_->setCurrentRow(claimList_->count() - 1);
}

QDialog* PhoneDesk::claimsWindow() {
    if (!claimsWindow_) {
        claimsWindow_ = new QDialog(&window_);
        claimsWindow_->setObjectName(QStringLiteral("ビンゴ申告"));
        claimsWindow_->setWindowTitle(QStringLiteral("スマホのビンゴ申告"));
        // Appearing must not take the keys from the presenter's remote.
        claimsWindow_->setAttribute(Qt::WA_ShowWithoutActivating);
        auto* layout = new QVBoxLayout(claimsWindow_);
        layout->addWidget(new QLabel(QStringLiteral("確かめたビンゴの申告が、届いた順に並びます。"), claimsWindow_));
        claimList_ = new QListWidget(claimsWindow_);
        claimList_->setObjectName(QStringLiteral("Lstビンゴ申告"));
        layout->addWidget(claimList_);
        auto* buttons = new QHBoxLayout;
        const auto button = [&](const char16_t* name, const QString& caption) {
            auto* b = new QPushButton(caption, claimsWindow_);
            b->setObjectName(QString::fromUtf16(name));
            b->setAutoDefault(false);
            buttons->addWidget(b);
            return b;
        };
        connect(button(u"Cmd観客に表示", QStringLiteral("観客に表示")), &QPushButton::clicked, this,
                &PhoneDesk::showClaimOnBoard);
        connect(button(u"Cmd表示を消す", QStringLiteral("表示を消す")), &QPushButton::clicked, banner_, &QWidget::hide);
        connect(button(u"Cmd閉じる", QStringLiteral("閉じる")), &QPushButton::clicked, claimsWindow_, &QWidget::hide);
        layout->addLayout(buttons);
        QFont larger = claimsWindow_->font();
        larger.setPointSize(larger.pointSize() * 3 / 2);
        claimsWindow_->setFont(larger);
    }
    // Under the board, where it hides the least of what the audience watches on a single screen.
    const QRect area = window_.geometry();
    claimsWindow_->setGeometry(area.x(), area.y() + area.height() * 9 / 12, area.width() * 7 / 12, area.height() * 3 / 12);
    claimsWindow_->show();
    claimsWindow_->raise();
    return claimsWindow_;
}

// The chosen claim, on the audience's board until the next number.
void PhoneDesk::showClaimOnBoard() {
    const int row = claimList_ ? claimList_->currentRow() : -1;
    if (row < 0 || row >= static_cast<int>(claims_.size()))
        return;
    const PhoneClaim& claim = claims_[static_cast<std::size_t>(row)];
    banner_->setTextFormat(Qt::PlainText);
    banner_->setText(claim.nickname.isEmpty() ? QStringLiteral("ビンゴ！ %1").arg(serialText(claim.serial))
                                              : QStringLiteral("ビンゴ！ %1さん").arg(claim.nickname));
    QFont font = banner_->font();
    font.setPixelSize(std::max(12, banner_->height() * 6 / 10));
    banner_->setFont(font);
    banner_->show();
    banner_->raise();
    claimsWindow_->hide(); // the operator has decided; the audience sees the banner
}

} // namespace halvora
