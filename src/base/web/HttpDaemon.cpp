#include "base/web/HttpDaemon.h"

#include "base/desktop/SocketAddress.h"
#include "base/desktop/SocketShutdown.h"
#include "base/web/HttpStatus.h"
#include "base/web/Microhttpd.h"

#include <optional>

namespace kestrova {

struct HttpDaemon::Exchange {
    HttpRequest request;
    std::mutex mutex;
    std::optional<Reply> deferredReply; // set by the worker before the connection resumes
};

namespace {

// Connections ended to make room are counted no more but closed by the library a
// moment later; it takes newcomers meanwhile up to this many beyond the limit.
constexpr unsigned kRoomForEnding = 16;

ConnectionAdmission admissionFor(const HttpLimits& limits) {
    return {
        {.connections = limits.connections, .perAddress = limits.perAddress, .perNetwork = limits.perNetwork},
        {QHostAddress(QHostAddress::LocalHost), QHostAddress(QHostAddress::LocalHostIPv6)}};
}

MHD_Result keepHeader(void* request, MHD_ValueKind /*kind*/, const char* key, const char* value) {
    auto& headers = static_cast<HttpRequest*>(request)->headers;
    const QByteArray name = QByteArray(key).toLower();
    const QByteArray text(value == nullptr ? "" : value);
    // A repeated Cookie header adds cookies; any other repeated header keeps its first value.
    if (name == "cookie" && headers.contains(name)) {
        headers[name] += "; " + text;
    } else if (!headers.contains(name)) {
        headers.insert(name, text);
    }
    return MHD_YES;
}

struct Framing {
    std::optional<QByteArray> length; // the first Content-Length
    bool lengthsDiffer = false;
    bool transferEncoding = false;
};

MHD_Result noteFraming(void* framing, MHD_ValueKind /*kind*/, const char* key, const char* value) {
    auto& found = *static_cast<Framing*>(framing);
    const QByteArray name = QByteArray(key).toLower();
    const QByteArray text = QByteArray(value == nullptr ? "" : value).trimmed();
    if (name == "transfer-encoding") {
        found.transferEncoding = true;
    } else if (name == "content-length") {
        found.lengthsDiffer = found.lengthsDiffer || (found.length && *found.length != text);
        found.length = found.length.value_or(text);
    }
    return MHD_YES;
}

// Where the body ends, said twice and not alike: the library reads it one way, a
// proxy in front may read it another, and the rest would pass that proxy as a
// request of its own.
bool lengthIsAmbiguous(const Microhttpd::Functions& mhd, MHD_Connection* connection) {
    Framing framing;
    mhd.connectionValues(connection, MHD_HEADER_KIND, noteFraming, &framing);
    return framing.lengthsDiffer || (framing.length && framing.transferEncoding);
}

MHD_Result keepQueryItem(void* request, MHD_ValueKind /*kind*/, const char* key, const char* value) {
    auto& query = static_cast<HttpRequest*>(request)->query;
    const QString name = QString::fromUtf8(key);
    if (!query.contains(name)) {
        query.insert(name, QString::fromUtf8(value == nullptr ? "" : value));
    }
    return MHD_YES;
}

QHostAddress clientOf(const Microhttpd::Functions& mhd, MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = mhd.connectionInfo(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return info == nullptr ? QHostAddress() : QHostAddress(info->client_addr);
}

bool queue(const Microhttpd::Functions& mhd, MHD_Connection* connection, int status, MHD_Response* response,
           const QByteArray& type, const HeaderPairs& headers) {
    if (response == nullptr) {
        return false;
    }
    if (!type.isEmpty()) {
        mhd.addResponseHeader(response, "Content-Type", type.constData());
    }
    for (const auto& [name, value] : headers) {
        mhd.addResponseHeader(response, name.constData(), value.constData());
    }
    const MHD_Result queued = mhd.queueResponse(connection, static_cast<unsigned>(status), response);
    mhd.destroyResponse(response);
    return queued == MHD_YES;
}

bool queueReply(const Microhttpd::Functions& mhd, MHD_Connection* connection, const Reply& reply) {
    MHD_Response* response =
        mhd.responseFromBuffer(static_cast<std::size_t>(reply.body.size()),
                               const_cast<char*>(reply.body.constData()), MHD_RESPMEM_MUST_COPY);
    return queue(mhd, connection, reply.status, response, reply.type, reply.headers);
}

ssize_t readStream(void* cls, uint64_t /*position*/, char* buffer, std::size_t most) {
    return static_cast<ssize_t>((*static_cast<std::shared_ptr<EventStream>*>(cls))->read(buffer, most));
}

void freeStream(void* cls) {
    auto* stream = static_cast<std::shared_ptr<EventStream>*>(cls);
    (*stream)->markGone();
    delete stream;
}

template <typename Workers> auto& workerOf(Workers& workers, DeferredAnswer::Worker kind) {
    return workers[static_cast<std::size_t>(kind)];
}

Reply busyReply() {
    return errorReply(ServiceUnavailable,
                      QStringLiteral("Der Server ist beschäftigt. Bitte gleich noch einmal."),
                      {{"Retry-After", "1"}});
}

} // namespace

struct HttpDaemonCallbacks {
    static MHD_Result onKnock(void* cls, const sockaddr* address, socklen_t /*length*/) {
        return static_cast<HttpDaemon*>(cls)->admit(QHostAddress(address)) ? MHD_YES : MHD_NO;
    }

    static void onConnection(void* cls, MHD_Connection* connection, void** /*socketContext*/,
                             MHD_ConnectionNotificationCode code) {
        static_cast<HttpDaemon*>(cls)->follow(connection, code == MHD_CONNECTION_NOTIFY_STARTED);
    }

    static MHD_Result onRequest(void* cls, MHD_Connection* connection, const char* url, const char* method,
                                const char* /*version*/, const char* upload, std::size_t* uploadSize,
                                void** context) {
        auto& daemon = *static_cast<HttpDaemon*>(cls);
        bool carryOn = false;
        if (*context == nullptr) {
            carryOn = daemon.begin(connection, url, method, context);
        } else if (*uploadSize != 0) {
            carryOn = daemon.take(*static_cast<HttpDaemon::Exchange*>(*context), upload, uploadSize);
        } else {
            carryOn = daemon.answer(connection, *static_cast<HttpDaemon::Exchange*>(*context));
        }
        return carryOn ? MHD_YES : MHD_NO;
    }

    static void onCompleted(void* cls, MHD_Connection* connection, void** context,
                            MHD_RequestTerminationCode /*reason*/) {
        delete static_cast<HttpDaemon::Exchange*>(*context);
        *context = nullptr;
        auto& daemon = *static_cast<HttpDaemon*>(cls);
        const std::lock_guard lock(daemon.admissionMutex_);
        daemon.admission_.requestAnswered(connection);
    }
};

HttpDaemon::HttpDaemon(const Microhttpd& library, Handler handler, HttpLimits limits)
    : library_(library), mhd_(*library.functions()), handler_(std::move(handler)), limits_(limits),
      admission_(admissionFor(limits)) {
    for (Worker& worker : workers_) {
        worker.pool.setMaxThreadCount(1);
    }
    workerOf(workers_, DeferredAnswer::Worker::PasswordCheck)
        .pool.setObjectName(QStringLiteral("Passwortprüfung"));
    workerOf(workers_, DeferredAnswer::Worker::Listing).pool.setObjectName(QStringLiteral("Archivliste"));
}

HttpDaemon::~HttpDaemon() {
    stop();
}

bool HttpDaemon::start(const QHostAddress& host, quint16 port, const Tls& tls) {
    const SocketAddress address(host, port);
    if (address.data() == nullptr) {
        return false;
    }
    tls_ = tls; // the library reads them while it runs
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_AUTO | MHD_ALLOW_SUSPEND_RESUME;
    if (host.protocol() == QAbstractSocket::IPv6Protocol) {
        flags |= MHD_USE_IPv6;
    }
    const bool secure = !tls_.certificatePem.isEmpty();
    if (secure) {
        flags |= MHD_USE_TLS;
    }
    const MHD_OptionItem tlsOptions[] = {
        {MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(tls_.keyPem.constData())},
        {MHD_OPTION_HTTPS_MEM_CERT, 0, const_cast<char*>(tls_.certificatePem.constData())},
        {MHD_OPTION_END, 0, nullptr}};
    const MHD_OptionItem noOptions[] = {{MHD_OPTION_END, 0, nullptr}};
    {
        const std::lock_guard lock(admissionMutex_);
        admission_ = admissionFor(limits_);
    }
    // The admission refuses at once whom it does not let in, so the daemon keeps
    // taking connections and no crowd waits in the listening queue; the queue is
    // never longer than what the page may hold. Until its first request's headers
    // are in, a connection gets the short timeout.
    daemon_ = mhd_.startDaemon(
        flags, 0, &HttpDaemonCallbacks::onKnock, this, &HttpDaemonCallbacks::onRequest, this,
        MHD_OPTION_SOCK_ADDR, static_cast<const sockaddr*>(address.data()), MHD_OPTION_CONNECTION_LIMIT,
        limits_.connections + kRoomForEnding, MHD_OPTION_LISTEN_BACKLOG_SIZE, limits_.connections,
        MHD_OPTION_CONNECTION_TIMEOUT, limits_.headerSeconds, MHD_OPTION_CONNECTION_MEMORY_LIMIT,
        limits_.connectionMemory, MHD_OPTION_NOTIFY_CONNECTION, &HttpDaemonCallbacks::onConnection, this,
        MHD_OPTION_NOTIFY_COMPLETED, &HttpDaemonCallbacks::onCompleted, this, MHD_OPTION_ARRAY,
        secure ? tlsOptions : noOptions, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        return false;
    }
    const MHD_DaemonInfo* info = mhd_.daemonInfo(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info == nullptr ? port : info->port;
    return true;
}

void HttpDaemon::stop() {
    if (daemon_ == nullptr) {
        return;
    }
    {
        // The library must not be stopped with a connection suspended: every stream
        // ends and every deferred reply is made first.
        const std::lock_guard lock(streamsMutex_);
        stopping_ = true;
        for (const std::weak_ptr<EventStream>& weak : streams_) {
            if (const std::shared_ptr<EventStream> stream = weak.lock()) {
                stream->close();
            }
        }
        streams_.clear();
    }
    for (Worker& worker : workers_) {
        worker.pool.waitForDone();
    }
    mhd_.stopDaemon(daemon_);
    daemon_ = nullptr;
}

bool HttpDaemon::admit(const QHostAddress& client) {
    const std::lock_guard lock(admissionMutex_);
    const ConnectionAdmission::Verdict verdict = admission_.knock(client);
    if (verdict.toEnd != nullptr) {
        const MHD_ConnectionInfo* info = mhd_.connectionInfo(static_cast<MHD_Connection*>(verdict.toEnd),
                                                             MHD_CONNECTION_INFO_CONNECTION_FD);
        if (info != nullptr) {
            shutDownSocket(info->connect_fd);
        }
    }
    return verdict.admitted;
}

void HttpDaemon::follow(MHD_Connection* connection, bool opened) {
    const std::lock_guard lock(admissionMutex_);
    if (opened) {
        admission_.opened(connection, clientOf(mhd_, connection));
    } else {
        admission_.closed(connection);
    }
}

bool HttpDaemon::begin(MHD_Connection* connection, const char* url, const char* method, void** context) {
    // The headers are in: from now on the idle limit is the long one.
    mhd_.setConnectionOption(connection, MHD_CONNECTION_OPTION_TIMEOUT, limits_.idleSeconds);
    auto exchange = std::make_unique<Exchange>();
    HttpRequest& request = exchange->request;
    request.method = method;
    request.path = QString::fromUtf8(url);
    request.client = clientOf(mhd_, connection);
    mhd_.connectionValues(connection, MHD_HEADER_KIND, keepHeader, &request);
    mhd_.connectionValues(connection, MHD_GET_ARGUMENT_KIND, keepQueryItem, &request);
    *context = exchange.release();
    if (lengthIsAmbiguous(mhd_, connection)) {
        return queueReply(mhd_, connection,
                          errorReply(BadRequest, QStringLiteral("Die Länge der Anfrage ist nicht eindeutig."),
                                     {{"Connection", "close"}}));
    }
    // A body announced too big is refused before a byte of it is read.
    bool lengthOk = true;
    const QByteArray length = static_cast<Exchange*>(*context)->request.header("content-length");
    if (!length.isEmpty() && length.toULongLong(&lengthOk) > limits_.bodyBytes) {
        lengthOk = false;
    }
    if (!lengthOk) {
        return queueReply(mhd_, connection,
                          errorReply(PayloadTooLarge, QStringLiteral("Die Anfrage ist zu groß.")));
    }
    return true;
}

// A body that grows past the limit without saying so ends the connection.
bool HttpDaemon::take(Exchange& exchange, const char* upload, std::size_t* uploadSize) const {
    QByteArray& body = exchange.request.body;
    if (static_cast<std::size_t>(body.size()) + *uploadSize > limits_.bodyBytes) {
        return false;
    }
    body.append(upload, static_cast<qsizetype>(*uploadSize));
    *uploadSize = 0;
    return true;
}

bool HttpDaemon::answer(MHD_Connection* connection, Exchange& exchange) {
    {
        // Whole now, body and all: no newcomer ends this connection any more.
        const std::lock_guard lock(admissionMutex_);
        admission_.requestIsWhole(connection);
    }
    {
        const std::lock_guard lock(exchange.mutex);
        if (exchange.deferredReply) {
            return queueReply(mhd_, connection, *exchange.deferredReply);
        }
    }
    HttpAnswer answer = handler_(exchange.request);
    if (auto* deferred = std::get_if<DeferredAnswer>(&answer)) {
        return defer(connection, exchange, std::move(*deferred));
    }
    return send(connection, std::move(answer));
}

bool HttpDaemon::send(MHD_Connection* connection, HttpAnswer answer) {
    if (auto* reply = std::get_if<Reply>(&answer)) {
        return queueReply(mhd_, connection, *reply);
    }
    if (auto* stream = std::get_if<StreamAnswer>(&answer)) {
        return sendStream(connection, std::move(*stream));
    }
    auto& file = std::get<FileAnswer>(answer);
    if (file.length == 0) {
        return queueReply(mhd_, connection, file.head);
    }
    // A file that shrinks meanwhile ends the answer short, never with false bytes.
    MHD_Response* response = mhd_.responseFromFile(static_cast<uint64_t>(file.length), file.file.get(),
                                                   static_cast<int64_t>(file.first));
    if (response != nullptr) {
        file.file.release(); // the response closes it
    }
    return queue(mhd_, connection, file.head.status, response, file.head.type, file.head.headers);
}

bool HttpDaemon::sendStream(MHD_Connection* connection, StreamAnswer answer) {
    const std::lock_guard lock(streamsMutex_);
    if (stopping_) {
        return queueReply(mhd_, connection, busyReply());
    }
    answer.stream->attach(connection, library_);
    std::erase_if(streams_, [](const std::weak_ptr<EventStream>& weak) { return weak.expired(); });
    streams_.push_back(answer.stream);
    auto holder = std::make_unique<std::shared_ptr<EventStream>>(answer.stream);
    MHD_Response* response =
        mhd_.responseFromCallback(MHD_SIZE_UNKNOWN, 4096, readStream, holder.get(), freeStream);
    if (response != nullptr) {
        holder.release(); // the response frees it
    }
    return queue(mhd_, connection, answer.head.status, response, answer.head.type, answer.head.headers);
}

bool HttpDaemon::defer(MHD_Connection* connection, Exchange& exchange, DeferredAnswer deferred) {
    const std::lock_guard lock(streamsMutex_);
    Worker& worker = workerOf(workers_, deferred.worker);
    if (stopping_ || worker.pending >= limits_.pendingChecks) {
        return queueReply(mhd_, connection, busyReply());
    }
    ++worker.pending;
    mhd_.suspendConnection(connection);
    worker.pool.start([this, &worker, connection, &exchange, work = std::move(deferred.work)] {
        Reply reply = work();
        {
            const std::lock_guard exchangeLock(exchange.mutex);
            exchange.deferredReply = std::move(reply);
        }
        --worker.pending;
        mhd_.resumeConnection(connection);
    });
    return true;
}

} // namespace kestrova
