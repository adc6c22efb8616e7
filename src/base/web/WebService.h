#pragma once

#include "base/common/LiveStatus.h"
#include "base/web/HttpLimits.h"
#include "base/web/LiveSound.h"
#include "base/web/RecordingJson.h"
#include "base/web/WebSettings.h"

#include <QString>
#include <memory>

namespace kestrova {

class Microhttpd;
class WebServer;

// The web page's server as the settings ask for it: the address, the password,
// the certificate, and the limits that keep it from taking what the recorder needs.
class WebService {
public:
    WebService(LiveStatusBoard& board, HashLookup hash, HttpLimits limits = {});
    ~WebService();
    WebService(const WebService&) = delete;
    WebService& operator=(const WebService&) = delete;

    // Starts listening; the German message why it cannot, or empty.
    QString start(const WebAddress& address, const WebSettings& settings);
    quint16 port() const;
    // Where a browser finds the page once it listens, say "http://127.0.0.1:8080/".
    QString pageAddress() const { return pageAddress_; }
    // What the page plays live; the input's side feeds it whether the page runs or not.
    LiveSound& liveSound() { return liveSound_; }

private:
    LiveStatusBoard& board_;
    HashLookup hash_;
    HttpLimits limits_;
    LiveSound liveSound_;                 // outlives the server, which hands out its listeners
    std::unique_ptr<Microhttpd> library_; // loaded at the first start, outlives the server
    std::unique_ptr<WebServer> server_;
    QString pageAddress_;
};

} // namespace kestrova
