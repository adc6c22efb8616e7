#pragma once

#include "base/common/LiveStatus.h"
#include "base/web/HttpDaemon.h"
#include "base/web/LoginGuard.h"
#include "base/web/RecordingJson.h"

#include <QThread>

namespace kestrova {

class LiveFeed;
class LiveSound;

// The web page and what it asks for. It only reads: the page itself (from the
// program's resources), the recorder's status and list from the board, and the
// recordings of the folder W and the dated archive. Every other path is unknown.
class WebServer {
public:
    static constexpr const char* kSessionCookie = "kestrova_sitzung";

    // hash is called on the server's threads and must be safe there; `library` must be
    // loaded and outlive the server.
    WebServer(const Microhttpd& library, LiveStatusBoard& board, LiveSound& sound,
              const QString& passwordHash, HashLookup hash, LoginGuard::Clock clock, HttpLimits limits = {});
    ~WebServer();
    WebServer(const WebServer&) = delete;
    WebServer& operator=(const WebServer&) = delete;

    // False when it cannot listen there. With a certificate it speaks HTTPS, and the
    // session cookie gets the Secure flag.
    bool start(const QHostAddress& host, quint16 port, const HttpDaemon::Tls& tls = {});
    quint16 port() const { return daemon_.port(); }

    // The answer to one request, on the server's thread.
    HttpAnswer answer(const HttpRequest& request);

private:
    bool isLoggedIn(const HttpRequest& request) const;
    static Reply pageFile(const QString& path);
    HttpAnswer login(const HttpRequest& request);
    Reply loginReply(const LoginGuard::Attempt& attempt) const;
    Reply logout(const HttpRequest& request);
    HttpAnswer api(const QString& path, const HttpRequest& request) const;
    // On the listing's worker: the list, the archive's days or one day's recordings.
    static Reply listing(const LiveStatus& status, const QString& path, const QString& day,
                         const HashLookup& hash);
    HttpAnswer recording(const HttpRequest& request) const;
    StreamAnswer live();
    HttpAnswer liveSound();

    LiveStatusBoard& board_;
    LiveSound& sound_;
    HashLookup hash_;
    LoginGuard guard_;
    bool secure_ = false;
    QThread feedThread_;
    LiveFeed* feed_; // lives on feedThread_
    HttpDaemon daemon_;
};

} // namespace kestrova
