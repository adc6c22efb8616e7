#pragma once

#include "base/common/LiveStatus.h"
#include "base/common/RepeatingTimer.h"
#include "base/web/RecordingJson.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace kestrova {

class Alarms;
class EventLog;
class InputHub;
class Recorder;
class RecordingListModel;
class WebService;
struct SettingsValues;
struct WebSettings;

// What the page shows and whom it tells: the program hands in its own.
struct WebSources {
    Recorder& recorder;
    const RecordingListModel& list;
    const SettingsValues& settings;
    EventLog& events;
    // The input as the meter and the capture get it, for the page's live listeners.
    InputHub& input;
    // A message why the page cannot start, or why its settings file could not be
    // read, for the user (standard error has it already).
    std::function<void(const QString& message)> report = [](const QString&) {};
};

// The web page of a running program: fills the status board the page reads as the
// recorder and the recording list report their changes, and runs the server.
class WebServing {
public:
    explicit WebServing(WebSources sources, HashLookup hash = {});
    ~WebServing();
    WebServing(const WebServing&) = delete;
    WebServing& operator=(const WebServing&) = delete;

    // The page at the address of the command line (--web), with the web settings
    // file of the program folder; null without an address, or when the page cannot
    // start (the German message why goes to standard error and to the sources'
    // report, as does a settings file that could not be read).
    // hash gives each recording's SHA-256 (see HashLookup); it is called on the
    // server's thread.
    static std::unique_ptr<WebServing> startIfAsked(const WebSources& sources, const QString& address,
                                                    const QString& programFolder, HashLookup hash = {});
    // The German message why the page cannot start, or empty.
    QString start(const QString& address, const WebSettings& settings);
    quint16 port() const;
    // "http://host:port" (or https), without the closing slash.
    QString pageBase() const;
    // The page shows the alarms standing from now on, as each starts and ends.
    void followAlarms(const Alarms& alarms);

private:
    static void report(const WebSources& sources, const QString& message);
    void subscribe();
    void publish();
    void tapInput();
    void followInput();

    WebSources sources_;
    LiveStatusBoard board_;
    std::unique_ptr<WebService> service_;
    // The subscriptions end with it.
    QObject subscriber_;
    int inputTap_ = 0;
    // While someone listens live, the input is handed over as it comes, not only
    // when the meter next looks: it may look as seldom as the blocks come.
    static constexpr int kLivePumpMs = 100;
    RepeatingTimer livePump_{"livePump", kLivePumpMs};
    LiveStatus status_;
    QStringList alarms_;
    // The list has changed since the board last took it (at first: never taken).
    bool listChanged_ = true;
};

} // namespace kestrova
