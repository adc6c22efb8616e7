#include "base/web/WebServer.h"

#include "base/files/RegularFile.h"
#include "base/web/ByteRange.h"
#include "base/web/CircuitsListing.h"
#include "base/web/HttpStatus.h"
#include "base/web/LiveFeed.h"
#include "base/web/LiveSound.h"
#include "base/web/LoopbackHost.h"
#include "base/web/ServedPaths.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

// Resources of a static library are registered by hand, outside any namespace.
static void registerWebPage() {
    Q_INIT_RESOURCE(web);
}

namespace kestrova {

namespace {

QByteArray sessionToken(const HttpRequest& request) {
    const QByteArray prefix = QByteArray(WebServer::kSessionCookie) + '=';
    for (const QByteArray& cookie : request.header("cookie").split(';')) {
        const QByteArray trimmed = cookie.trimmed();
        if (trimmed.startsWith(prefix)) {
            return trimmed.mid(prefix.size());
        }
    }
    return {};
}

Reply loggedInReply(bool loggedIn, const HeaderPairs& extra = {}) {
    return jsonReply(QJsonDocument(QJsonObject{{QStringLiteral("angemeldet"), loggedIn}}), Ok, extra);
}

} // namespace

WebServer::WebServer(const Microhttpd& library, LiveStatusBoard& board, LiveSound& sound,
                     const QString& passwordHash, HashLookup hash, LoginGuard::Clock clock, HttpLimits limits)
    : board_(board), sound_(sound), hash_(std::move(hash)), guard_(passwordHash, std::move(clock)),
      feed_(new LiveFeed(board)),
      daemon_(
          library, [this](const HttpRequest& request) { return answer(request); }, limits) {
    registerWebPage();
    feedThread_.setObjectName(QStringLiteral("Webseite"));
    feed_->moveToThread(&feedThread_);
    QObject::connect(&feedThread_, &QThread::finished, feed_, &QObject::deleteLater);
    feedThread_.start();
}

WebServer::~WebServer() {
    daemon_.stop();
    feedThread_.quit();
    feedThread_.wait();
}

bool WebServer::start(const QHostAddress& host, quint16 port, const HttpDaemon::Tls& tls) {
    secure_ = !tls.certificatePem.isEmpty();
    return daemon_.start(host, port, tls);
}

HttpAnswer WebServer::answer(const HttpRequest& request) {
    const QString& path = request.path;
    if (!guard_.needsLogin() && !isLoopbackHost(request.header("host"))) {
        return errorReply(Forbidden, QStringLiteral("Ohne Passwort nur über 127.0.0.1 erreichbar."));
    }
    if (path == QStringLiteral("/") || path == QStringLiteral("/kestrova.css") ||
        path == QStringLiteral("/kestrova.js")) {
        return pageFile(path);
    }
    if (path == QStringLiteral("/api/anmelden")) {
        return login(request);
    }
    if (!isLoggedIn(request)) {
        return errorReply(Unauthorized, QStringLiteral("Bitte anmelden."));
    }
    if (path == QStringLiteral("/api/abmelden")) {
        return logout(request);
    }
    if (!request.isGet()) {
        return errorReply(MethodNotAllowed, QStringLiteral("Nur Lesen ist erlaubt."));
    }
    if (path == QStringLiteral("/api/live")) {
        return live();
    }
    if (path == QStringLiteral("/api/ton")) {
        return liveSound();
    }
    if (path == QStringLiteral("/datei")) {
        return recording(request);
    }
    return api(path, request);
}

bool WebServer::isLoggedIn(const HttpRequest& request) const {
    return !guard_.needsLogin() || guard_.hasSession(sessionToken(request));
}

Reply WebServer::pageFile(const QString& path) {
    const QString name = path == QStringLiteral("/") ? QStringLiteral("/index.html") : path;
    QFile file(QStringLiteral(":/web") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return errorReply(NotFound, QStringLiteral("Nicht gefunden."));
    }
    const QByteArray type = name.endsWith(QStringLiteral(".css"))  ? "text/css; charset=utf-8"
                            : name.endsWith(QStringLiteral(".js")) ? "text/javascript; charset=utf-8"
                                                                   : "text/html; charset=utf-8";
    return reply(Ok, type, file.readAll());
}

// Only the page's own form may log in: a page of another site can post a "simple"
// request here, and that must neither get in nor count as a miss against the user.
HttpAnswer WebServer::login(const HttpRequest& request) {
    if (!request.isPost()) {
        return errorReply(MethodNotAllowed, QStringLiteral("Anmelden nur mit POST."));
    }
    if (!guard_.needsLogin()) {
        return loggedInReply(true);
    }
    const QByteArray origin = request.header("origin");
    const QByteArray ownOrigin = (secure_ ? "https://" : "http://") + request.header("host");
    if (!origin.isEmpty() && origin != ownOrigin) {
        return errorReply(Forbidden, QStringLiteral("Anmelden nur über die Seite selbst."));
    }
    if (!request.header("content-type").startsWith("application/json")) {
        return errorReply(UnsupportedMediaType, QStringLiteral("Anmelden nur über das Formular der Seite."));
    }
    const QJsonValue password =
        QJsonDocument::fromJson(request.body).object().value(QStringLiteral("passwort"));
    if (!password.isString()) {
        return errorReply(BadRequest, QStringLiteral("Die Anmeldung ist nicht lesbar."));
    }
    const QHostAddress client = request.client;
    LoginGuard::Admission admission = guard_.admit(client, sessionToken(request));
    if (!admission.admitted) {
        return loginReply({LoginGuard::Outcome::TooManyTries, {}, admission.waitSeconds});
    }
    // The slow hash runs on the password check's worker, never on the thread that serves pages.
    return DeferredAnswer{[this, client, admitted = std::move(admission), text = password.toString()] {
        return loginReply(guard_.settle(client, admitted, guard_.matches(text)));
    }};
}

Reply WebServer::loginReply(const LoginGuard::Attempt& attempt) const {
    switch (attempt.outcome) {
    case LoginGuard::Outcome::Accepted: {
        QByteArray cookie = QByteArray(kSessionCookie) + '=' + attempt.token +
                            "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" +
                            QByteArray::number(LoginGuard::kSessionMs / 1000);
        if (secure_) {
            cookie += "; Secure";
        }
        return loggedInReply(true, {{"Set-Cookie", cookie}});
    }
    case LoginGuard::Outcome::WrongPassword:
        return errorReply(Unauthorized, QStringLiteral("Das Passwort ist falsch."));
    case LoginGuard::Outcome::TooManyTries:
        break;
    }
    const QString wait = attempt.waitSeconds == 1 ? QStringLiteral("eine Sekunde")
                                                  : QStringLiteral("%1 Sekunden").arg(attempt.waitSeconds);
    return errorReply(TooManyRequests, QStringLiteral("Zu viele Versuche. Bitte %1 warten.").arg(wait),
                      {{"Retry-After", QByteArray::number(attempt.waitSeconds)}});
}

Reply WebServer::logout(const HttpRequest& request) {
    if (!request.isPost()) {
        return errorReply(MethodNotAllowed, QStringLiteral("Abmelden nur mit POST."));
    }
    guard_.endSession(sessionToken(request));
    return jsonReply(
        QJsonDocument(QJsonObject{{QStringLiteral("angemeldet"), false}}), Ok,
        {{"Set-Cookie", QByteArray(kSessionCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0"}});
}

HttpAnswer WebServer::api(const QString& path, const HttpRequest& request) const {
    const LiveStatus status = board_.read();
    if (path == QStringLiteral("/api/status")) {
        QJsonObject object = QJsonDocument::fromJson(LiveFeed::statusJson(status)).object();
        // The page offers "Abmelden" only where a login is needed.
        object.insert(QStringLiteral("mitPasswort"), guard_.needsLogin());
        return jsonReply(QJsonDocument(object));
    }
    if (path == QStringLiteral("/api/aufnahmen") || path == QStringLiteral("/api/archiv") ||
        path == QStringLiteral("/api/archiv/tag")) {
        // A listing reads folders and the manifests, which takes long for a full day:
        // it runs on a worker of its own, never on the thread that answers the rest.
        return DeferredAnswer{[status, path, day = request.queryValue(QStringLiteral("pfad")), hash = hash_] {
                                  return listing(status, path, day, hash);
                              },
                              DeferredAnswer::Worker::Listing};
    }
    return errorReply(NotFound, QStringLiteral("Nicht gefunden."));
}

Reply WebServer::listing(const LiveStatus& status, const QString& path, const QString& day,
                         const HashLookup& hash) {
    if (!status.circuits.empty()) {
        return circuitsListing(status, path, day, hash);
    }
    const ServedPaths served(status.docFolder);
    if (path == QStringLiteral("/api/aufnahmen")) {
        return jsonReply(
            QJsonDocument(listedRecordingsJson(status, served.recordingsFolder().value_or(QString()), hash)));
    }
    if (path == QStringLiteral("/api/archiv")) {
        return jsonReply(QJsonDocument(archiveDaysJson(status.docFolder)));
    }
    const std::optional<QString> folder = served.archiveFolder(day);
    if (!folder) {
        return errorReply(NotFound, QStringLiteral("Diesen Tag gibt es im Archiv nicht."));
    }
    return jsonReply(QJsonDocument(archiveDayJson(*folder, day, hash)));
}

HttpAnswer WebServer::recording(const HttpRequest& request) const {
    const std::optional<QString> path =
        servedRecording(board_.read(), request.queryValue(QStringLiteral("pfad")));
    RegularDescriptor file = openRegularDescriptor(path.value_or(QString()), RegularFileAccess::Read);
    const qint64 size = file.size();
    if (!path || !file.isOpen() || size < 0) {
        return errorReply(NotFound, QStringLiteral("Diese Aufnahme gibt es nicht."));
    }
    const QByteArray rangeHeader = request.header("range");
    std::optional<ByteRange> range = ByteRange{0, size - 1};
    if (!rangeHeader.isEmpty()) {
        range = parseByteRange(rangeHeader, size);
        if (!range) {
            return reply(RangeNotSatisfiable, "text/plain", {},
                         {{"Content-Range", "bytes */" + QByteArray::number(size)}});
        }
    }
    HeaderPairs headers = commonHeaders();
    headers.emplaceBack("Accept-Ranges", "bytes");
    headers.emplaceBack("Cache-Control", "private, max-age=3600");
    headers.emplaceBack("Content-Disposition",
                        (request.query.contains(QStringLiteral("herunterladen")) ? "attachment" : "inline") +
                            QByteArray("; filename=\"") + headerSafeName(QFileInfo(*path).fileName()) + '"');
    if (!rangeHeader.isEmpty()) {
        headers.emplaceBack("Content-Range", "bytes " + QByteArray::number(range->first) + '-' +
                                                 QByteArray::number(range->last) + '/' +
                                                 QByteArray::number(size));
    }
    return FileAnswer{{rangeHeader.isEmpty() ? Ok : PartialContent, "audio/wav", {}, headers},
                      std::move(file),
                      range->first,
                      size == 0 ? 0 : range->size()};
}

StreamAnswer WebServer::live() {
    HeaderPairs headers{{"Cache-Control", "no-store"},
                        // Told to a reverse proxy, so it passes each event on at once.
                        {"X-Accel-Buffering", "no"}};
    return {{Ok, "text/event-stream; charset=utf-8", {}, headers}, feed_->follow()};
}

// The input as it is recorded: 8-bit unsigned samples (RFC 3551's L8) at the rate
// the type names, for as long as the client listens.
HttpAnswer WebServer::liveSound() {
    const LiveSound::Joining joining = sound_.listen();
    if (!joining.stream) {
        return errorReply(ServiceUnavailable,
                          joining.refusal == LiveSound::Refusal::Full
                              ? QStringLiteral("Es hören schon so viele live zu, wie die Webseite zulässt.")
                              : QStringLiteral("Der Eingang liefert gerade nichts."),
                          {{"Retry-After", "2"}});
    }
    HeaderPairs headers = commonHeaders();
    headers.emplaceBack("Cache-Control", "no-store");
    headers.emplaceBack("X-Accel-Buffering", "no");
    return StreamAnswer{
        {Ok, "audio/L8;rate=" + QByteArray::number(joining.sampleRate) + ";channels=1", {}, headers},
        joining.stream};
}

} // namespace kestrova
