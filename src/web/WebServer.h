#pragma once

#include "common/LiveStatus.h"
#include "web/LoginGuard.h"
#include "web/RecordingJson.h"

#include <QAbstractHttpServer>
#include <QHttpServerResponder>

namespace kestrova {

class LiveFeed;

// The web page and what it asks for. It only reads: the page itself (from the
// program's resources), the recorder's status and list from the board, and the
// recordings of the folder W and the dated archive. Every other path is unknown.
class WebServer : public QAbstractHttpServer {
    Q_OBJECT
public:
    static constexpr const char* kSessionCookie = "kestrova_sitzung";

    // hash is called on the server's thread and must be safe there.
    WebServer(const LiveStatusBoard& board, const QString& passwordHash, HashLookup hash,
              LoginGuard::Clock clock, QObject* parent = nullptr);
    ~WebServer() override;

    // The session cookie gets the Secure flag when the server speaks HTTPS.
    void setSecure(bool secure) { secure_ = secure; }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

private:
    using Responder = QHttpServerResponder;
    bool isLoggedIn(const QHttpServerRequest& request) const;
    void servePageFile(const QString& path, Responder& responder) const;
    void login(const QHttpServerRequest& request, Responder& responder);
    void logout(const QHttpServerRequest& request, Responder& responder);
    void serveApi(const QString& path, const QHttpServerRequest& request, Responder& responder) const;
    void serveRecording(const QHttpServerRequest& request, Responder&& responder) const;

    const LiveStatusBoard& board_;
    HashLookup hash_;
    LoginGuard guard_;
    LiveFeed* feed_;
    bool secure_ = false;
};

} // namespace kestrova
