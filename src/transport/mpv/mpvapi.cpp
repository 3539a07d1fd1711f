#include "transport/mpv/mpvapi.h"

#include <QLibrary>

Q_LOGGING_CATEGORY(lcMpv, "vt.mpv", QtCriticalMsg)

namespace transport {

namespace {

template <typename Function> bool resolve(QLibrary &library, const char *name, Function &function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    if (!function)
        qCDebug(lcMpv) << "libmpv lacks" << name;
    return function != nullptr;
}

MpvApi *loadOnce()
{
    // Never unloaded: the player's threads live as long as the process.
    static QLibrary library(QStringLiteral("mpv"), MPV_CLIENT_API_VERSION >> 16);
    if (!library.load()) {
        qCDebug(lcMpv) << library.errorString();
        return nullptr;
    }
    static MpvApi api;
    const bool complete = resolve(library, "mpv_client_api_version", api.client_api_version)
        && resolve(library, "mpv_error_string", api.error_string) && resolve(library, "mpv_create", api.create)
        && resolve(library, "mpv_initialize", api.initialize)
        && resolve(library, "mpv_terminate_destroy", api.terminate_destroy)
        && resolve(library, "mpv_set_option_string", api.set_option_string)
        && resolve(library, "mpv_set_wakeup_callback", api.set_wakeup_callback)
        && resolve(library, "mpv_wait_event", api.wait_event) && resolve(library, "mpv_command", api.command)
        && resolve(library, "mpv_command_ret", api.command_ret)
        && resolve(library, "mpv_command_async", api.command_async)
        && resolve(library, "mpv_free_node_contents", api.free_node_contents)
        && resolve(library, "mpv_set_property", api.set_property)
        && resolve(library, "mpv_set_property_async", api.set_property_async)
        && resolve(library, "mpv_get_property", api.get_property)
        && resolve(library, "mpv_get_property_async", api.get_property_async)
        && resolve(library, "mpv_observe_property", api.observe_property);
    if (!complete)
        return nullptr;
    // The event structures and the loadfile reply this code reads are those of its own major version.
    if ((api.client_api_version() >> 16) != (MPV_CLIENT_API_VERSION >> 16)) {
        qCDebug(lcMpv) << "libmpv client API" << Qt::hex << api.client_api_version();
        return nullptr;
    }
    return &api;
}

} // namespace

const MpvApi *loadMpvApi()
{
    static const MpvApi *api = loadOnce();
    return api;
}

} // namespace transport
