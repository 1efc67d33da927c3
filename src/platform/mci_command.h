#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace halvora {

// One media command text cut into its words: "seek "C:\a b.avi" to 10" gives the verb "seek", the
// device "C:\a b.avi" and the words {"to", "10"}. Verb and keywords are lower-cased; the device keeps
// its spelling. A word in double quotes may hold blanks; the quotes are not part of it.
struct MciCommand {
    QString verb;
    QString device;
    QStringList words;
};

// No value for an empty command, a missing device or an unterminated quote.
std::optional<MciCommand> parseMciCommand(const QString& text);

} // namespace halvora
