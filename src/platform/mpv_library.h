#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

namespace halvora {

// The functions of libmpv the players use. The library is loaded when the first player is made,
// not when the program starts: it pulls in a few hundred other libraries.
#define HALVORA_MPV_FUNCTIONS(X)                                                                             \
    X(create)                                                                                                \
    X(initialize) X(terminate_destroy) X(set_option_string) X(set_property) X(set_property_string)           \
        X(get_property) X(observe_property) X(request_log_messages) X(set_wakeup_callback) X(wait_event)     \
            X(command) X(error_string) X(free) X(render_context_create) X(render_context_set_update_callback)     \
                X(render_context_update) X(render_context_render) X(render_context_free)

struct MpvApi {
#define HALVORA_MPV_POINTER(name) decltype(&::mpv_##name) name = nullptr;
    HALVORA_MPV_FUNCTIONS(HALVORA_MPV_POINTER)
#undef HALVORA_MPV_POINTER
};

// Null when libmpv cannot be loaded (the program then plays nothing); loaded once. HALVORA_LIBMPV
// names another library file to load instead, so a machine can be run as one without libmpv.
const MpvApi* mpvApi();

} // namespace halvora
