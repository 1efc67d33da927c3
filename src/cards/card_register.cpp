#include "cards/card_register.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <atomic>

namespace halvora {

namespace {

const QStringList kSchema = {
    QStringLiteral("CREATE TABLE IF NOT EXISTS jobs (id INTEGER PRIMARY KEY, made TEXT NOT NULL, "
                   "state TEXT NOT NULL CHECK (state IN ('printing', 'printed', 'void')))"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS cards (serial INTEGER PRIMARY KEY, "
                   "job INTEGER NOT NULL REFERENCES jobs(id), style INTEGER NOT NULL, numbers TEXT NOT NULL)"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS settings (key TEXT PRIMARY KEY, value INTEGER NOT NULL)"),
    QStringLiteral("CREATE TABLE IF NOT EXISTS phone_cards (serial INTEGER PRIMARY KEY REFERENCES cards(serial), "
                   "token TEXT NOT NULL UNIQUE, nickname TEXT NOT NULL)")};

QString numbersText(const Card& card) {
    QStringList numbers;
    for (const int n : card.squares)
        numbers << QString::number(n);
    return numbers.join(QLatin1Char(','));
}

// False for a list that is not 25 squares of a card: 24 distinct numbers of 1..75 around a 0.
bool readNumbers(const QString& text, Card& card) {
    const QStringList numbers = text.split(QLatin1Char(','));
    if (numbers.size() != 25)
        return false;
    std::array<bool, 76> seen{};
    for (int i = 0; i < 25; ++i) {
        bool ok = false;
        const int n = numbers[i].toInt(&ok);
        const bool centre = i == 12;
        if (!ok || (centre ? n != 0 : n < 1 || n > 75 || seen[static_cast<std::size_t>(n)]))
            return false;
        seen[static_cast<std::size_t>(n)] = !centre;
        card.squares[static_cast<std::size_t>(i)] = n;
    }
    return true;
}

QSqlQuery run(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.exec(sql);
    return query;
}

} // namespace

CardRegister::CardRegister(QString path) : path_(std::move(path)) {
    static std::atomic<int> next{0};
    connection_ = QStringLiteral("halvora-cards-%1").arg(next++);
}

CardRegister::~CardRegister() { close(); }

void CardRegister::close() {
    if (!QSqlDatabase::contains(connection_))
        return;
    QSqlDatabase::database(connection_, false).close();
    QSqlDatabase::removeDatabase(connection_);
    open_ = false;
}

CardRegister::Opened CardRegister::open() {
    close();
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        problem_ = QStringLiteral("カード台帳を使うための部品（Qt の SQLite ドライバー）がありません。");
        return Opened::Unusable;
    }
    if (openFile() && isWhole())
        return Opened::Ready;
    setAside();
    if (!setAside_.isEmpty() && openFile() && isWhole())
        return Opened::SetAside;
    close();
    return Opened::Unusable;
}

bool CardRegister::openFile() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path_);
    if (!db.open()) {
        problem_ = db.lastError().text();
        return false;
    }
    open_ = true;
    return true;
}

// SQLite finds the file whole and the tables are there (made when missing); a job the program left
// while printing is void. A card whose numbers do not read back is answered as unknown, the others
// stay checkable.
bool CardRegister::isWhole() {
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery check = run(db, QStringLiteral("PRAGMA quick_check"));
    if (!check.next() || check.value(0).toString() != QStringLiteral("ok")) {
        problem_ = check.lastError().isValid() ? check.lastError().text() : QStringLiteral("壊れています");
        return false;
    }
    for (const QString& sql : kSchema)
        if (QSqlQuery made = run(db, sql); made.lastError().isValid()) {
            problem_ = made.lastError().text();
            return false;
        }
    QSqlQuery voided = run(db, QStringLiteral("UPDATE jobs SET state = 'void' WHERE state = 'printing'"));
    problem_ = voided.lastError().isValid() ? voided.lastError().text() : QString();
    return problem_.isEmpty();
}

// The damaged file keeps its place beside a new one; serials go on after the highest it still shows.
void CardRegister::setAside() {
    int highest = 0;
    if (open_) {
        QSqlQuery max = run(QSqlDatabase::database(connection_, false), QStringLiteral("SELECT MAX(serial) FROM cards"));
        if (max.next())
            highest = max.value(0).toInt();
    }
    close();
    setAside_.clear();
    if (!QFileInfo::exists(path_))
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path_ + QStringLiteral(".damaged-") + stamp;
    for (int k = 2; QFileInfo::exists(aside); ++k)
        aside = path_ + QStringLiteral(".damaged-%1-%2").arg(stamp).arg(k);
    if (!QFile::rename(path_, aside))
        return;
    QFile::remove(path_ + QStringLiteral("-journal"));
    setAside_ = aside;
    if (openFile()) {
        for (const QString& sql : kSchema)
            run(QSqlDatabase::database(connection_, false), sql);
        QSqlQuery first(QSqlDatabase::database(connection_, false));
        first.prepare(QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES ('first_serial', ?)"));
        first.addBindValue(highest + 1);
        first.exec();
        close();
    }
}

int CardRegister::registerJob(std::vector<Card>& cards) {
    return addJob(cards, QStringLiteral("printing"), {});
}

bool CardRegister::registerPhoneCards(std::vector<Card>& cards, const std::vector<PhoneHolder>& holders) {
    return addJob(cards, QStringLiteral("printed"), [&](const QSqlDatabase& db) {
               QSqlQuery phone(db);
               phone.prepare(QStringLiteral("INSERT INTO phone_cards (serial, token, nickname) VALUES (?, ?, ?)"));
               for (std::size_t i = 0; i < cards.size(); ++i) {
                   phone.addBindValue(cards[i].serial);
                   phone.addBindValue(QString::fromLatin1(holders[i].tokenHash));
                   // A null text would bind as NULL.
                   phone.addBindValue(holders[i].nickname.isNull() ? QStringLiteral("") : holders[i].nickname);
                   if (!phone.exec())
                       return false;
               }
               return true;
           }) != 0;
}

// The cards get the serials after the highest ever given and go in as one job, whole or not at all.
int CardRegister::addJob(std::vector<Card>& cards, const QString& state,
                         const std::function<bool(const QSqlDatabase&)>& alongside) {
    if (!open_)
        return 0;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction())
        return 0;
    QSqlQuery next = run(db, QStringLiteral("SELECT MAX(COALESCE((SELECT MAX(serial) FROM cards), 0), "
                                            "COALESCE((SELECT value - 1 FROM settings WHERE key = 'first_serial'), 0))"));
    int serial = next.next() ? next.value(0).toInt() : -1;
    QSqlQuery job(db);
    job.prepare(QStringLiteral("INSERT INTO jobs (made, state) VALUES (?, ?)"));
    job.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
    job.addBindValue(state);
    bool ok = serial >= 0 && job.exec();
    const int jobId = job.lastInsertId().toInt();
    QSqlQuery card(db);
    card.prepare(QStringLiteral("INSERT INTO cards (serial, job, style, numbers) VALUES (?, ?, ?, ?)"));
    for (Card& c : cards) {
        if (!ok)
            break;
        c.serial = ++serial;
        card.addBindValue(c.serial);
        card.addBindValue(jobId);
        card.addBindValue(static_cast<int>(c.style));
        card.addBindValue(numbersText(c));
        ok = card.exec();
    }
    if (ok && (!alongside || alongside(db)) && db.commit())
        return jobId;
    db.rollback();
    for (Card& c : cards)
        c.serial = 0;
    return 0;
}

void CardRegister::endJob(int job, bool printed) {
    if (!open_ || job == 0)
        return;
    QSqlQuery end(QSqlDatabase::database(connection_, false));
    end.prepare(QStringLiteral("UPDATE jobs SET state = ? WHERE id = ?"));
    end.addBindValue(printed ? QStringLiteral("printed") : QStringLiteral("void"));
    end.addBindValue(job);
    end.exec();
}

bool CardRegister::findPhoneCard(const QByteArray& tokenHash, Card& card, QString& nickname) const {
    if (!open_)
        return false;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT serial, nickname FROM phone_cards WHERE token = ?"));
    query.addBindValue(QString::fromLatin1(tokenHash));
    if (!query.exec() || !query.next())
        return false;
    nickname = query.value(1).toString();
    return find(query.value(0).toInt(), card) == Found::Issued;
}

CardRegister::Found CardRegister::find(int serial, Card& card) const {
    if (!open_)
        return Found::Unknown;
    QSqlQuery query(QSqlDatabase::database(connection_, false));
    query.prepare(QStringLiteral("SELECT cards.style, cards.numbers, jobs.state FROM cards JOIN jobs ON jobs.id = cards.job "
                                 "WHERE cards.serial = ?"));
    query.addBindValue(serial);
    if (!query.exec() || !query.next())
        return Found::Unknown;
    card.serial = serial;
    card.style = query.value(0).toInt() == 1 ? CardStyle::Bingo : CardStyle::Classic;
    if (!readNumbers(query.value(1).toString(), card))
        return Found::Unknown;
    return query.value(2).toString() == QStringLiteral("printed") ? Found::Issued : Found::Void;
}

std::vector<Card> CardRegister::issuedCards() const {
    std::vector<Card> cards;
    if (!open_)
        return cards;
    QSqlQuery query = run(QSqlDatabase::database(connection_, false),
                          QStringLiteral("SELECT cards.serial, cards.style, cards.numbers FROM cards JOIN jobs "
                                         "ON jobs.id = cards.job WHERE jobs.state = 'printed'"));
    while (query.next()) {
        Card card;
        card.serial = query.value(0).toInt();
        card.style = query.value(1).toInt() == 1 ? CardStyle::Bingo : CardStyle::Classic;
        if (readNumbers(query.value(2).toString(), card))
            cards.push_back(card);
    }
    return cards;
}

} // namespace halvora
