#pragma once

#include "common/LiveStatus.h"
#include "web/RecordingJson.h"

#include <QObject>
#include <QString>
#include <memory>

namespace kestrova {

class Program;
class WebService;
struct WebSettings;

// The web page of a running program: fills the status board the page reads as the
// recorder and the recording list report their changes, and runs the server.
class WebServing {
public:
    WebServing(Program& program, HashLookup hash = {});
    ~WebServing();
    WebServing(const WebServing&) = delete;
    WebServing& operator=(const WebServing&) = delete;

    // The page at the address of the command line (--web), with the web settings
    // file of the program folder; null without an address, or when the page cannot
    // start (the German message why goes to standard error and to the status bar,
    // as does a settings file that could not be read).
    // hash gives each recording's SHA-256 (see HashLookup); it is called on the
    // server's thread.
    static std::unique_ptr<WebServing> startIfAsked(Program& program, const QString& address,
                                                    const QString& programFolder, HashLookup hash = {});
    // The German message why the page cannot start, or empty.
    QString start(const QString& address, const WebSettings& settings);
    quint16 port() const;

private:
    static void report(Program& program, const QString& message);
    void subscribe();
    void publish();

    Program& program_;
    LiveStatusBoard board_;
    std::unique_ptr<WebService> service_;
    // The subscriptions end with it.
    QObject subscriber_;
    LiveStatus status_;
    // The list has changed since the board last took it (at first: never taken).
    bool listChanged_ = true;
};

} // namespace kestrova
