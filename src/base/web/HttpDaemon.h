#pragma once

#include "base/web/ConnectionAdmission.h"
#include "base/web/HttpAnswer.h"
#include "base/web/HttpLimits.h"
#include "base/web/HttpRequest.h"
#include "base/web/Microhttpd.h"

#include <QHostAddress>
#include <QThreadPool>
#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace kestrova {

// The HTTP server under the web page (libmicrohttpd on a thread of its own): it
// reads requests within the limits, hands each whole one to the handler on its
// thread and sends what the handler answers. Deferred work runs on the worker its
// kind names, one thread each.
class HttpDaemon {
public:
    using Handler = std::function<HttpAnswer(const HttpRequest&)>;
    struct Tls {
        QByteArray certificatePem;
        QByteArray keyPem;
    };

    // `library` must be loaded (its functions found) and outlive the server.
    HttpDaemon(const Microhttpd& library, Handler handler, HttpLimits limits);
    ~HttpDaemon();
    HttpDaemon(const HttpDaemon&) = delete;
    HttpDaemon& operator=(const HttpDaemon&) = delete;

    // False when it cannot listen there (or the certificate is refused).
    bool start(const QHostAddress& host, quint16 port, const Tls& tls = {});
    quint16 port() const { return port_; }
    // Streams end before the server stops; call before anything they read goes away.
    void stop();

private:
    friend struct HttpDaemonCallbacks;
    struct Exchange; // one request on its way through

    bool admit(const QHostAddress& client);
    void follow(MHD_Connection* connection, bool opened);
    bool begin(MHD_Connection* connection, const char* url, const char* method, void** context);
    bool take(Exchange& exchange, const char* upload, std::size_t* uploadSize) const;
    bool answer(MHD_Connection* connection, Exchange& exchange);
    bool send(MHD_Connection* connection, HttpAnswer answer);
    bool defer(MHD_Connection* connection, Exchange& exchange, DeferredAnswer deferred);
    bool sendStream(MHD_Connection* connection, StreamAnswer answer);

    const Microhttpd& library_;
    const Microhttpd::Functions& mhd_;
    Handler handler_;
    HttpLimits limits_;
    Tls tls_;
    MHD_Daemon* daemon_ = nullptr;
    quint16 port_ = 0;
    struct Worker {
        QThreadPool pool;
        std::atomic<unsigned> pending{0};
    };
    std::array<Worker, DeferredAnswer::kWorkers> workers_;
    std::mutex streamsMutex_; // also guards stopping_
    bool stopping_ = false;
    std::vector<std::weak_ptr<EventStream>> streams_;
    std::mutex admissionMutex_;
    ConnectionAdmission admission_;
};

} // namespace kestrova
