#pragma once

#include "cards/card.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

class QSqlDatabase;

namespace halvora {

// Whose phone a card is on: the hash of the card's token and the guest's nickname.
struct PhoneHolder {
    QByteArray tokenHash;
    QString nickname;
};

// The printed cards of a data folder, kept in an SQLite file beside Halvora.ini: each card's serial,
// numbers and style and the print job it came from. A job's cards go in whole, in one transaction,
// before a sheet is printed; a job that did not end printed (cancelled, failed, or the program gone
// meanwhile) keeps its serials, marked void, so no serial is ever given twice.
class CardRegister {
public:
    explicit CardRegister(QString path);
    ~CardRegister();
    CardRegister(const CardRegister&) = delete;
    CardRegister& operator=(const CardRegister&) = delete;

    enum class Opened { Ready, SetAside, Unusable };
    // Opens the register, creating it when there is none. A damaged one is renamed (never deleted)
    // and a new one begun whose serials follow what could still be read of it.
    Opened open();
    bool isOpen() const { return open_; }
    // Why the register was set aside or cannot be used, for the operator.
    QString problem() const { return problem_; }
    QString setAsidePath() const { return setAside_; }

    // Gives the cards serials and registers them as a new job; the job's number, 0 when it failed.
    int registerJob(std::vector<Card>& cards);
    // Cards handed to guests' phones: issued at once, each found again by the hash of its secret token.
    bool registerPhoneCards(std::vector<Card>& cards, const std::vector<PhoneHolder>& holders);
    bool findPhoneCard(const QByteArray& tokenHash, Card& card, QString& nickname) const;
    // The job ended: printed, or void.
    void endJob(int job, bool printed);

    enum class Found { Issued, Unknown, Void };
    Found find(int serial, Card& card) const;
    // Every card of the jobs that were printed.
    std::vector<Card> issuedCards() const;

private:
    int addJob(std::vector<Card>& cards, const QString& state,
               const std::function<bool(const QSqlDatabase&)>& alongside);
    bool openFile();
    bool isWhole();
    void setAside();
    void close();

    QString path_;
    QString connection_;
    QString problem_;
    QString setAside_;
    bool open_ = false;
};

} // namespace halvora
