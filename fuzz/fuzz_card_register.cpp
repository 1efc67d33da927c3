// The card register as the program opens it, with any text where a card's numbers are kept: it opens,
// and every serial is answered with a card of 24 numbers or none.
#include "fuzz_support.h"

#include "cards/card_register.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace halvora;
    const fuzz::Sandbox sandbox;
    const QString path = sandbox.folder() + QStringLiteral("Halvora.cards");
    {
        CardRegister cards(path);
        std::vector<Card> job(2);
        for (Card& card : job)
            for (int square = 0; square < 25; ++square)
                card.squares[static_cast<std::size_t>(square)] = square == 12 ? 0 : square + 1;
        if (cards.open() != CardRegister::Opened::Ready || cards.registerJob(job) == 0)
            std::abort();
    }
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fuzz"));
        raw.setDatabaseName(path);
        if (!raw.open())
            std::abort();
        QSqlQuery change(raw);
        change.prepare(QStringLiteral("UPDATE cards SET numbers = ? WHERE serial = 1"));
        change.addBindValue(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        change.exec();
        raw.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fuzz"));
    CardRegister cards(path);
    if (cards.open() == CardRegister::Opened::Unusable)
        std::abort();
    for (const int serial : {1, 2, 3}) {
        Card card;
        if (cards.find(serial, card) == CardRegister::Found::Unknown)
            continue;
        std::set<int> numbers(card.squares.begin(), card.squares.end());
        if (numbers.size() != 25 || card.at(2, 2) != 0 || *numbers.rbegin() > 75)
            std::abort();
    }
    return 0;
}
