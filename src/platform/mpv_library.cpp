#include "mpv_library.h"

#include <QLibrary>
#include <QtDebug>

#include <utility>

namespace halvora {

namespace {

bool resolve(QLibrary& library, MpvApi& api) {
    bool complete = true;
#define HALVORA_MPV_RESOLVE(name)                                                                            \
    api.name = reinterpret_cast<decltype(api.name)>(library.resolve("mpv_" #name));                          \
    complete = complete && api.name != nullptr;
    HALVORA_MPV_FUNCTIONS(HALVORA_MPV_RESOLVE)
#undef HALVORA_MPV_RESOLVE
    return complete;
}

bool loadFrom(QLibrary& library, MpvApi& api) {
    if (library.load() && resolve(library, api))
        return true; // stays loaded: QLibrary does not unload on destruction
    library.unload();
    return false;
}

bool loadAny(MpvApi& api) {
    if (const QString file = qEnvironmentVariable("HALVORA_LIBMPV"); !file.isEmpty()) {
        QLibrary library(file);
        return loadFrom(library, api);
    }
    // The library of the client API version our header describes, then any other that may fit.
    for (const auto& [name, version] : {std::pair{"mpv", 2}, std::pair{"mpv", 1}, std::pair{"mpv", -1}}) {
        QLibrary library(QString::fromLatin1(name), version);
        if (loadFrom(library, api))
            return true;
    }
    return false;
}

const MpvApi* load() {
    static MpvApi api;
    if (loadAny(api))
        return &api;
    qWarning("mpv: libmpv cannot be loaded; media will not play");
    return nullptr;
}

} // namespace

const MpvApi* mpvApi() {
    static const MpvApi* const api = load();
    return api;
}

} // namespace halvora
