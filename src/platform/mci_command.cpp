#include "mci_command.h"

namespace halvora {

namespace {

// Splits at blanks; a double quote starts a word that runs to the next double quote.
std::optional<QStringList> splitWords(const QString& text) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i].isSpace()) {
            ++i;
            continue;
        }
        if (text[i] == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                return std::nullopt;
            words << text.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        qsizetype end = i;
        while (end < n && !text[end].isSpace() && text[end] != QLatin1Char('"'))
            ++end;
        words << text.mid(i, end - i);
        i = end;
    }
    return words;
}

} // namespace

std::optional<MciCommand> parseMciCommand(const QString& text) {
    std::optional<QStringList> words = splitWords(text);
    if (!words || words->size() < 2 || words->at(1).isEmpty())
        return std::nullopt;
    MciCommand command;
    command.verb = words->takeFirst().toLower();
    command.device = words->takeFirst();
    for (QString& word : *words)
        word = word.toLower();
    command.words = *words;
    return command;
}

} // namespace halvora
