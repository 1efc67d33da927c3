#pragma once

#include "cards/card.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class QWidget;

namespace halvora {

class CardRegister;
class Dialogs;
class Printer;
class Random;

// What printing cards takes from the window that asks for it.
struct CardPrinting {
    Printer& printer;
    Random& random;
    Dialogs& dialogs;
    QWidget* owner;
    QString dataFolder; // where a PDF is offered when there is no printer
};

// Where the cards are registered, and how they look. Without a register they carry no serial.
struct CardIssue {
    CardRegister* cards = nullptr;
    CardStyle style = CardStyle::Classic;
    // The cards of a job that came out printed.
    std::function<void(const std::vector<Card>&)> issued;
};

// File menu "ビンゴカード発行": asks for the number of sheets and prints them.
void printBingoCards(const CardPrinting& with, const CardIssue& issue = {});

// Two cards on each sheet, for the sheet count in the operator's reply (its leading number).
void printBingoCards(const CardPrinting& with, const QString& reply, const CardIssue& issue = {});

} // namespace halvora
