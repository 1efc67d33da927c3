#pragma once

#include <QString>
#include <QtGui/qwindowdefs.h>

namespace halvora {

// The string-form media interface: a command text in, an error code (0 = success) and a reply out.
class Mci {
public:
    virtual ~Mci() = default;
    virtual int sendString(const QString& command, QString& reply, int replyLength, WId callbackWindow) = 0;
};

} // namespace halvora
