#pragma once

#include <QLibrary>
#include <QString>
#include <microhttpd.h>

namespace kestrova {

// libmicrohttpd, loaded when a page is to be served. A service without the page maps
// neither it nor the TLS libraries under it, which set themselves up as they load
// and would hold some 2.4 MB of every circuit's memory for nothing.
class Microhttpd {
public:
    // The functions the page's server calls, by the library's own declarations.
    struct Functions {
        decltype(&MHD_start_daemon) startDaemon = nullptr;
        decltype(&MHD_stop_daemon) stopDaemon = nullptr;
        decltype(&MHD_get_daemon_info) daemonInfo = nullptr;
        decltype(&MHD_get_connection_info) connectionInfo = nullptr;
        decltype(&MHD_get_connection_values) connectionValues = nullptr;
        decltype(&MHD_set_connection_option) setConnectionOption = nullptr;
        decltype(&MHD_suspend_connection) suspendConnection = nullptr;
        decltype(&MHD_resume_connection) resumeConnection = nullptr;
        decltype(&MHD_create_response_from_buffer) responseFromBuffer = nullptr;
        decltype(&MHD_create_response_from_callback) responseFromCallback = nullptr;
        decltype(&MHD_create_response_from_fd_at_offset64) responseFromFile = nullptr;
        decltype(&MHD_add_response_header) addResponseHeader = nullptr;
        decltype(&MHD_queue_response) queueResponse = nullptr;
        decltype(&MHD_destroy_response) destroyResponse = nullptr;
    };

    // Loads the library the program was built with.
    Microhttpd();
    // Loads the library `file`, searched for where the system keeps libraries.
    explicit Microhttpd(const QString& file);

    // Null when the library or one of its functions was not found.
    const Functions* functions() const { return complete_ ? &functions_ : nullptr; }
    // Why not, in German, for the operator.
    QString failure() const;

private:
    template <typename Function> void resolve(Function& function, const char* name);

    QLibrary library_;
    Functions functions_;
    bool complete_ = false;
    QString missing_;
};

} // namespace kestrova
