#include "cards/card_check_window.h"

#include "platform/dialogs.h"
#include "platform/event_pump.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace halvora {

namespace {

QFont sized(QFont font, double pixels, bool bold = false) {
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    font.setBold(bold);
    return font;
}

} // namespace

CardCheck checkClaim(const CardRegister* cards, int serial, const std::array<bool, 76>& drawn,
                     const std::vector<int>& order) {
    CardCheck check;
    check.drawn = drawn;
    if (serial > 0 && cards)
        check.found = cards->find(serial, check.card);
    if (check.found == CardRegister::Found::Unknown) {
        check.headline = QStringLiteral("このカード番号は発行されていません。");
        return check;
    }
    check.verdict = checkCard(check.card, [&drawn](int n) { return drawn[static_cast<std::size_t>(n)]; }, order);
    if (check.found == CardRegister::Found::Void) {
        check.headline = QStringLiteral("無効なカードです。");
        check.detail = QStringLiteral("印刷が取り消されたか、失敗した印刷のカードです。");
        return check;
    }
    check.headline = verdictText(check.verdict);
    if (check.verdict.bingoAtDraw > 0) {
        const int n = order[static_cast<std::size_t>(check.verdict.bingoAtDraw - 1)];
        check.detail = QStringLiteral("%1個目の数字（%2）でビンゴになりました。").arg(check.verdict.bingoAtDraw).arg(n);
    }
    return check;
}

CardCheckWindow::CardCheckWindow(CardCheck check, QColor hit, QWidget* parent)
    : QDialog(parent), check_(std::move(check)), hit_(hit) {
    setObjectName(QStringLiteral("カード確認"));
    setWindowTitle(QStringLiteral("カード確認"));
    const QScreen* screen = parent ? parent->screen() : nullptr;
    const int side = screen ? screen->availableGeometry().height() * 4 / 5 : 600;
    resize(side * 4 / 5, side);
}

void CardCheckWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape)
        accept();
    else
        QDialog::keyPressEvent(event);
}

void CardCheckWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    const double unit = width() / 7.0;
    const QRectF title(0, 0, width(), unit);
    painter.setFont(sized(font(), unit * 0.4));
    painter.drawText(title, Qt::AlignCenter,
                     check_.card.serial > 0 ? serialText(check_.card.serial) : QStringLiteral("カード確認"));
    const QRectF verdict(0, height() - 2 * unit, width(), unit);
    // The verdict on one line: long ones are set smaller.
    QFont large = sized(font(), unit * 0.45, true);
    const double across = QFontMetricsF(large).horizontalAdvance(check_.headline);
    if (across > width() * 0.92)
        large = sized(large, unit * 0.45 * width() * 0.92 / across, true);
    painter.setFont(large);
    painter.setPen(check_.verdict.completeLines.empty() ? Qt::black : Qt::red);
    painter.drawText(verdict, Qt::AlignCenter | Qt::TextWordWrap, check_.headline);
    painter.setPen(Qt::black);
    painter.setFont(sized(font(), unit * 0.28));
    painter.drawText(QRectF(0, height() - unit, width(), unit), Qt::AlignCenter | Qt::TextWordWrap, check_.detail);
    if (check_.found == CardRegister::Found::Unknown)
        return;

    const QPointF origin(unit, 1.6 * unit);
    const auto square = [&](int row, int column) {
        return QRectF(origin + QPointF(column * unit, row * unit), QSizeF(unit, unit));
    };
    if (check_.card.style == CardStyle::Bingo) {
        painter.setFont(sized(font(), unit * 0.4, true));
        for (int column = 0; column < 5; ++column)
            painter.drawText(QRectF(square(0, column).left(), origin.y() - 0.6 * unit, unit, 0.6 * unit),
                             Qt::AlignCenter, QString(QLatin1Char("BINGO"[column])));
    }
    painter.setFont(sized(font(), unit * 0.45));
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 5; ++column) {
            const int n = check_.card.at(row, column);
            const bool marked = n == 0 || check_.drawn[static_cast<std::size_t>(n)];
            painter.fillRect(square(row, column), marked ? hit_ : QColor(Qt::white));
            painter.drawRect(square(row, column));
            // As printed: the program's own card writes every number in two digits.
            const QString text = n == 0                                   ? QStringLiteral("☆")
                                 : check_.card.style == CardStyle::Classic ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))
                                                                           : QString::number(n);
            painter.drawText(square(row, column), Qt::AlignCenter, text);
        }
    // Each complete line struck through from its first square's centre to its last.
    painter.setPen(QPen(QColor(220, 0, 0, 200), unit / 8, Qt::SolidLine, Qt::RoundCap));
    for (const int line : check_.verdict.completeLines) {
        const auto& squares = cardLines()[static_cast<std::size_t>(line)];
        painter.drawLine(square(squares.front() / 5, squares.front() % 5).center(),
                         square(squares.back() / 5, squares.back() % 5).center());
    }
}

void checkCardClaim(const CardRegister* cards, const std::array<bool, 76>& drawn, const std::vector<int>& order,
                    QColor hit, Dialogs& dialogs, EventPump& pump, QWidget* owner) {
    const QString typed =
        dialogs.inputBox(owner, QStringLiteral("確認するカードの番号を入力してください。"), QStringLiteral("カード確認"), {});
    if (typed.trimmed().isEmpty())
        return;
    CardCheckWindow window(checkClaim(cards, parseSerial(typed), drawn, order), hit, owner);
    pump.runModal(window);
}

} // namespace halvora
