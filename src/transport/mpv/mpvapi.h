#pragma once

#include <QLoggingCategory>

#include <mpv/client.h>

// Off unless QT_LOGGING_RULES asks for it: the program reports nothing about the player itself.
Q_DECLARE_LOGGING_CATEGORY(lcMpv)

namespace transport {

// The few libmpv calls the player makes, resolved when the first file is opened. libmpv and the
// codec libraries behind it take longer to map than the rest of the program, so the process does
// not link them and start-up does not wait for them.
struct MpvApi
{
    decltype(&mpv_client_api_version) client_api_version;
    decltype(&mpv_error_string) error_string;
    decltype(&mpv_create) create;
    decltype(&mpv_initialize) initialize;
    decltype(&mpv_terminate_destroy) terminate_destroy;
    decltype(&mpv_set_option_string) set_option_string;
    decltype(&mpv_set_wakeup_callback) set_wakeup_callback;
    decltype(&mpv_wait_event) wait_event;
    decltype(&mpv_command) command;
    decltype(&mpv_command_ret) command_ret;
    decltype(&mpv_command_async) command_async;
    decltype(&mpv_free_node_contents) free_node_contents;
    decltype(&mpv_set_property) set_property;
    decltype(&mpv_set_property_async) set_property_async;
    decltype(&mpv_get_property) get_property;
    decltype(&mpv_get_property_async) get_property_async;
    decltype(&mpv_observe_property) observe_property;
};

// Loads libmpv once; nullptr when it is missing or of another major version.
const MpvApi *loadMpvApi();

} // namespace transport
