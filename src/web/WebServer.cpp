#include "web/WebServer.h"

#include "web/FileSender.h"
#include "web/LiveFeed.h"
#include "web/Replies.h"
#include "web/ServedPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

// Resources of a static library are registered by hand, outside any namespace.
static void registerWebPage() {
    Q_INIT_RESOURCE(web);
}

namespace kestrova {

namespace {

using Status = QHttpServerResponder::StatusCode;

QByteArray sessionToken(const QHttpServerRequest& request) {
    const QByteArray prefix = QByteArray(WebServer::kSessionCookie) + '=';
    for (const QByteArray& cookie : request.value("Cookie").split(';')) {
        const QByteArray trimmed = cookie.trimmed();
        if (trimmed.startsWith(prefix)) {
            return trimmed.mid(prefix.size());
        }
    }
    return {};
}

QString queryValue(const QHttpServerRequest& request, const QString& key) {
    return request.query().queryItemValue(key, QUrl::FullyDecoded);
}

// Without a password the page is for this machine alone. A page of another site
// that has its name point at 127.0.0.1 (DNS rebinding) still sends its own name
// as the host, and is turned away.
bool isLoopbackHost(const QByteArray& host) {
    const QByteArray name = host.startsWith('[') ? host.left(host.indexOf(']') + 1) : host.split(':').first();
    return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

bool isGet(const QHttpServerRequest& request) {
    return request.method() == QHttpServerRequest::Method::Get;
}

bool isPost(const QHttpServerRequest& request) {
    return request.method() == QHttpServerRequest::Method::Post;
}

} // namespace

WebServer::WebServer(const LiveStatusBoard& board, const QString& passwordHash, HashLookup hash,
                     LoginGuard::Clock clock, QObject* parent)
    : QAbstractHttpServer(parent), board_(board), hash_(std::move(hash)),
      guard_(passwordHash, std::move(clock)), feed_(new LiveFeed(board, this)) {
    registerWebPage();
}

WebServer::~WebServer() = default;

bool WebServer::handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) {
    Responder responder = makeResponder(request, socket);
    const QString path = request.url().path();
    if (!guard_.needsLogin() && !isLoopbackHost(request.value("Host"))) {
        replyError(responder, Status::Forbidden,
                   QStringLiteral("Ohne Passwort nur über 127.0.0.1 erreichbar."));
    } else if (path == QStringLiteral("/") || path == QStringLiteral("/kestrova.css") ||
               path == QStringLiteral("/kestrova.js")) {
        servePageFile(path, responder);
    } else if (path == QStringLiteral("/api/anmelden")) {
        login(request, responder);
    } else if (!isLoggedIn(request)) {
        replyError(responder, Status::Unauthorized, QStringLiteral("Bitte anmelden."));
    } else if (path == QStringLiteral("/api/abmelden")) {
        logout(request, responder);
    } else if (!isGet(request)) {
        replyError(responder, Status::MethodNotAllowed, QStringLiteral("Nur Lesen ist erlaubt."));
    } else if (path == QStringLiteral("/api/live")) {
        feed_->follow(std::move(responder));
    } else if (path == QStringLiteral("/datei")) {
        serveRecording(request, std::move(responder));
    } else {
        serveApi(path, request, responder);
    }
    return true;
}

void WebServer::missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) {
    Responder responder = makeResponder(request, socket);
    replyError(responder, Status::NotFound, QStringLiteral("Nicht gefunden."));
}

bool WebServer::isLoggedIn(const QHttpServerRequest& request) const {
    return !guard_.needsLogin() || guard_.hasSession(sessionToken(request));
}

void WebServer::servePageFile(const QString& path, Responder& responder) const {
    const QString name = path == QStringLiteral("/") ? QStringLiteral("/index.html") : path;
    QFile file(QStringLiteral(":/web") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        replyError(responder, Status::NotFound, QStringLiteral("Nicht gefunden."));
        return;
    }
    const QByteArray type = name.endsWith(QStringLiteral(".css"))  ? "text/css; charset=utf-8"
                            : name.endsWith(QStringLiteral(".js")) ? "text/javascript; charset=utf-8"
                                                                   : "text/html; charset=utf-8";
    reply(responder, Status::Ok, type, file.readAll());
}

void WebServer::login(const QHttpServerRequest& request, Responder& responder) {
    if (!isPost(request)) {
        replyError(responder, Status::MethodNotAllowed, QStringLiteral("Anmelden nur mit POST."));
        return;
    }
    if (!guard_.needsLogin()) {
        replyJson(responder, QJsonDocument(QJsonObject{{QStringLiteral("angemeldet"), true}}));
        return;
    }
    const QString password =
        QJsonDocument::fromJson(request.body()).object().value(QStringLiteral("passwort")).toString();
    const QHostAddress client = request.remoteAddress();
    const LoginGuard::Admission admission = guard_.admit(client);
    const LoginGuard::Attempt attempt =
        admission.admitted
            ? guard_.settle(client, guard_.matches(password))
            : LoginGuard::Attempt{LoginGuard::Outcome::TooManyTries, {}, admission.waitSeconds};
    switch (attempt.outcome) {
    case LoginGuard::Outcome::Accepted: {
        QByteArray cookie = QByteArray(kSessionCookie) + '=' + attempt.token +
                            "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" +
                            QByteArray::number(LoginGuard::kSessionMs / 1000);
        if (secure_) {
            cookie += "; Secure";
        }
        replyJson(responder, QJsonDocument(QJsonObject{{QStringLiteral("angemeldet"), true}}), Status::Ok,
                  {{"Set-Cookie", cookie}});
        return;
    }
    case LoginGuard::Outcome::WrongPassword:
        replyError(responder, Status::Unauthorized, QStringLiteral("Das Passwort ist falsch."));
        return;
    case LoginGuard::Outcome::TooManyTries:
        replyJson(
            responder,
            QJsonDocument(QJsonObject{
                {QStringLiteral("fehler"),
                 QStringLiteral("Zu viele Versuche. Bitte %1 Sekunden warten.").arg(attempt.waitSeconds)}}),
            Status::TooManyRequests, {{"Retry-After", QByteArray::number(attempt.waitSeconds)}});
        return;
    }
}

void WebServer::logout(const QHttpServerRequest& request, Responder& responder) {
    if (!isPost(request)) {
        replyError(responder, Status::MethodNotAllowed, QStringLiteral("Abmelden nur mit POST."));
        return;
    }
    guard_.endSession(sessionToken(request));
    replyJson(
        responder, QJsonDocument(QJsonObject{{QStringLiteral("angemeldet"), false}}), Status::Ok,
        {{"Set-Cookie", QByteArray(kSessionCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0"}});
}

void WebServer::serveApi(const QString& path, const QHttpServerRequest& request, Responder& responder) const {
    const LiveStatus status = board_.read();
    const ServedPaths served(status.docFolder);
    if (path == QStringLiteral("/api/status")) {
        QJsonObject object = QJsonDocument::fromJson(LiveFeed::statusJson(status)).object();
        // The page offers "Abmelden" only where a login is needed.
        object.insert(QStringLiteral("mitPasswort"), guard_.needsLogin());
        replyJson(responder, QJsonDocument(object));
    } else if (path == QStringLiteral("/api/aufnahmen")) {
        replyJson(responder, QJsonDocument(listedRecordingsJson(
                                 status, served.recordingsFolder().value_or(QString()), hash_)));
    } else if (path == QStringLiteral("/api/archiv")) {
        replyJson(responder, QJsonDocument(archiveDaysJson(status.docFolder)));
    } else if (path == QStringLiteral("/api/archiv/tag")) {
        const QString day = queryValue(request, QStringLiteral("pfad"));
        const std::optional<QString> folder = served.archiveFolder(day);
        if (!folder) {
            replyError(responder, Status::NotFound, QStringLiteral("Diesen Tag gibt es im Archiv nicht."));
            return;
        }
        replyJson(responder, QJsonDocument(archiveDayJson(*folder, day, hash_)));
    } else {
        replyError(responder, Status::NotFound, QStringLiteral("Nicht gefunden."));
    }
}

void WebServer::serveRecording(const QHttpServerRequest& request, Responder&& responder) const {
    const ServedPaths served(board_.read().docFolder);
    const std::optional<QString> path = served.recording(queryValue(request, QStringLiteral("pfad")));
    auto file = std::make_unique<QFile>(path.value_or(QString()));
    if (!path || !file->open(QIODevice::ReadOnly)) {
        replyError(responder, Status::NotFound, QStringLiteral("Diese Aufnahme gibt es nicht."));
        return;
    }
    const qint64 size = file->size();
    const QByteArray rangeHeader = request.value("Range");
    std::optional<ByteRange> range = ByteRange{0, size - 1};
    if (!rangeHeader.isEmpty()) {
        range = parseByteRange(rangeHeader, size);
        if (!range) {
            reply(responder, Status::RequestRangeNotSatisfiable, "text/plain", {},
                  {{"Content-Range", "bytes */" + QByteArray::number(size)}});
            return;
        }
    }
    const QByteArray name = headerSafeName(QFileInfo(*path).fileName());
    writeCommonHeaders(responder, rangeHeader.isEmpty() ? Status::Ok : Status::PartialContent, "audio/wav");
    responder.writeHeader("Accept-Ranges", "bytes");
    responder.writeHeader("Cache-Control", "private, max-age=3600");
    responder.writeHeader(
        "Content-Disposition",
        (request.query().hasQueryItem(QStringLiteral("herunterladen")) ? "attachment" : "inline") +
            QByteArray("; filename=\"") + name + '"');
    if (!rangeHeader.isEmpty()) {
        responder.writeHeader("Content-Range", "bytes " + QByteArray::number(range->first) + '-' +
                                                   QByteArray::number(range->last) + '/' +
                                                   QByteArray::number(size));
    }
    responder.writeHeader("Content-Length", QByteArray::number(size == 0 ? 0 : range->size()));
    responder.socket()->write("\r\n");
    if (size > 0) {
        new FileSender(std::move(responder), std::move(file), *range);
    }
}

} // namespace kestrova
