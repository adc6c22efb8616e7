#pragma once

#include "common/LiveStatus.h"
#include "web/RecordingJson.h"
#include "web/WebSettings.h"

#include <QString>
#include <QThread>

namespace kestrova {

class WebServer;

// The web page's server on a thread of its own, so reading a big recording from
// the disk never holds up the recorder's window.
class WebService {
public:
    WebService(const LiveStatusBoard& board, HashLookup hash);
    ~WebService();
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Starts listening; the German message why it cannot, or empty.
    QString start(const WebAddress& address, const WebSettings& settings);
    quint16 port() const { return port_; }

private:
    const LiveStatusBoard& board_;
    HashLookup hash_;
    QThread thread_;
    WebServer* server_ = nullptr; // lives on thread_, deleted there
    quint16 port_ = 0;
};

} // namespace kestrova
