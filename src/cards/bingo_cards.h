#pragma once

#include <QString>

#include <array>
#include <cstdint>

class QWidget;

namespace halvora {

class Dialogs;
class Printer;
class Random;

// A card's used list: flags for the numbers 1..75, -1 once the number is on the card.
using UsedNumbers = std::array<std::int16_t, 76>;

// What printing cards takes from the window that asks for it.
struct CardPrinting {
    Printer& printer;
    Random& random;
    Dialogs& dialogs;
    QWidget* owner;
    QString dataFolder; // where a PDF is offered when there is no printer
};

// File menu "ビンゴカード発行": asks for the number of sheets and prints them.
void printBingoCards(const CardPrinting& with);

// Two cards on each sheet, for the sheet count in the operator's reply (its leading number).
void printBingoCards(const CardPrinting& with, const QString& reply);

// A random number 1..75 not yet on the card, marked as used, as two digits.
QString pickUnusedNumber(Random& random, UsedNumbers& flags);

} // namespace halvora
