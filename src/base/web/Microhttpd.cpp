#include "base/web/Microhttpd.h"

namespace kestrova {

Microhttpd::Microhttpd() : Microhttpd(QStringLiteral(KESTROVA_MICROHTTPD_FILE)) {}

Microhttpd::Microhttpd(const QString& file) : library_(file) {
    if (!library_.load()) {
        return;
    }
    complete_ = true;
    resolve(functions_.startDaemon, "MHD_start_daemon");
    resolve(functions_.stopDaemon, "MHD_stop_daemon");
    resolve(functions_.daemonInfo, "MHD_get_daemon_info");
    resolve(functions_.connectionInfo, "MHD_get_connection_info");
    resolve(functions_.connectionValues, "MHD_get_connection_values");
    resolve(functions_.setConnectionOption, "MHD_set_connection_option");
    resolve(functions_.suspendConnection, "MHD_suspend_connection");
    resolve(functions_.resumeConnection, "MHD_resume_connection");
    resolve(functions_.responseFromBuffer, "MHD_create_response_from_buffer");
    resolve(functions_.responseFromCallback, "MHD_create_response_from_callback");
    resolve(functions_.responseFromFile, "MHD_create_response_from_fd_at_offset64");
    resolve(functions_.addResponseHeader, "MHD_add_response_header");
    resolve(functions_.queueResponse, "MHD_queue_response");
    resolve(functions_.destroyResponse, "MHD_destroy_response");
}

template <typename Function> void Microhttpd::resolve(Function& function, const char* name) {
    function = reinterpret_cast<Function>(library_.resolve(name));
    if (function == nullptr && complete_) {
        complete_ = false;
        missing_ = QString::fromLatin1(name);
    }
}

QString Microhttpd::failure() const {
    if (complete_) {
        return {};
    }
    if (!library_.isLoaded()) {
        return QStringLiteral("Die Webseite braucht die Bibliothek %1, sie lässt sich nicht laden: %2")
            .arg(library_.fileName(), library_.errorString());
    }
    return QStringLiteral("Der Bibliothek %1 fehlt %2; die Webseite läuft nicht mit ihr.")
        .arg(library_.fileName(), missing_);
}

} // namespace kestrova
