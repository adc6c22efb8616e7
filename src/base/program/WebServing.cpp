#include "base/program/WebServing.h"

#include "base/alarm/Alarms.h"
#include "base/archive/RecordingListModel.h"
#include "base/audio/InputHub.h"
#include "base/desktop/EventLog.h"
#include "base/files/OpenFileLimit.h"
#include "base/recorder/Recorder.h"
#include "base/settings/SettingsValues.h"
#include "base/web/WebService.h"
#include "base/web/WebSettings.h"

#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <utility>

namespace kestrova {

WebServing::WebServing(WebSources sources, HashLookup hash)
    : sources_(std::move(sources)),
      service_(std::make_unique<WebService>(
          board_, std::move(hash),
          HttpLimits{.connections = static_cast<unsigned>(webConnectionBudget(openFileLimit()))})) {}

WebServing::~WebServing() {
    if (inputTap_ != 0) {
        sources_.input.removeSink(inputTap_);
    }
    service_.reset();
}

// The board changes only when the recorder or the list tells of a change: nothing
// looks at them on a timer.
void WebServing::subscribe() {
    Recorder& recorder = sources_.recorder;
    const auto changed = [this] { publish(); };
    QObject::connect(&recorder, &Recorder::stateChanged, &subscriber_, changed);
    QObject::connect(&recorder.meter(), &LevelMeterControl::levelChanged, &subscriber_, changed);
    const RecordingListModel* list = &sources_.list;
    const auto listChanged = [this] {
        listChanged_ = true;
        publish();
    };
    QObject::connect(list, &QAbstractItemModel::modelReset, &subscriber_, listChanged);
    QObject::connect(list, &QAbstractItemModel::rowsInserted, &subscriber_, listChanged);
    QObject::connect(list, &QAbstractItemModel::rowsRemoved, &subscriber_, listChanged);
    tapInput();
}

// Tapped once where the meter and the capture get the input, so listening changes
// nothing of what is recorded; the tap only copies into the listeners' buffers.
void WebServing::tapInput() {
    LiveSound& sound = service_->liveSound();
    inputTap_ = sources_.input.addSink(
        [&sound](std::span<const std::uint8_t> samples, int sampleRate) { sound.feed(samples, sampleRate); });
    QObject::connect(&sound, &LiveSound::listeningBegan, &livePump_, [this] { livePump_.start(); });
    QObject::connect(&livePump_, &QTimer::timeout, &livePump_, [this, &sound] {
        if (sound.listeners() == 0) {
            livePump_.stop();
            return;
        }
        sources_.input.pump();
    });
    const auto follow = [this] { followInput(); };
    QObject::connect(&sources_.recorder, &Recorder::stateChanged, &subscriber_, follow);
    QObject::connect(&sources_.recorder.meter(), &LevelMeterControl::inputNoteChanged, &subscriber_, follow);
}

// A switched-off recorder or a lost device ends the live listeners, whose pages then
// say so and try again, rather than holding their connections in silence.
void WebServing::followInput() {
    const InputHub& hub = sources_.input;
    if (!hub.isOpen() || hub.inputLost()) {
        service_->liveSound().inputStopped();
    }
}

std::unique_ptr<WebServing> WebServing::startIfAsked(const WebSources& sources,
                                                     const QString& commandLineAddress,
                                                     const QString& programFolder, HashLookup hash) {
    // Read without waiting: a FIFO in the file's place is refused, not opened.
    const WebSettings settings = readWebSettings(webSettingsPath(programFolder));
    const QString address = commandLineAddress.isEmpty() ? settings.address : commandLineAddress;
    // Said even when no address asks for the page: the address may stand in the
    // file that cannot be read (root's, say, where a service reads it).
    if (!settings.readError.isEmpty()) {
        report(sources,
               settings.readError + (address.isEmpty()
                                         ? QStringLiteral(" Die Webseite startet nicht.")
                                         : QStringLiteral(" Die Webseite startet in der Grundeinstellung.")));
    }
    if (address.isEmpty()) {
        return nullptr;
    }
    auto web = std::make_unique<WebServing>(sources, std::move(hash));
    const QString error = web->start(address, settings);
    if (!error.isEmpty()) {
        report(sources, error);
        return nullptr;
    }
    sources.events.record(EventPriority::Notice,
                          QStringLiteral("Webseite unter ") + web->service_->pageAddress());
    return web;
}

QString WebServing::pageBase() const {
    QString address = service_->pageAddress();
    if (address.endsWith(QLatin1Char('/'))) {
        address.chop(1);
    }
    return address;
}

void WebServing::followAlarms(const Alarms& alarms) {
    const auto changed = [this, &alarms] {
        alarms_ = alarms.activeTexts();
        publish();
    };
    QObject::connect(&alarms, &Alarms::alarmChanged, &subscriber_, changed);
    changed();
}

void WebServing::report(const WebSources& sources, const QString& message) {
    QTextStream(stderr) << message << '\n';
    sources.report(message);
}

QString WebServing::start(const QString& address, const WebSettings& settings) {
    const std::optional<WebAddress> parsed = parseWebAddress(address);
    if (!parsed) {
        return QStringLiteral(
                   "Die Adresse der Webseite \"%1\" ist ungültig (Form ADRESSE:PORT, etwa 127.0.0.1:8080).")
            .arg(address);
    }
    publish();
    const QString error = service_->start(*parsed, settings);
    if (error.isEmpty()) {
        subscribe();
    }
    return error;
}

quint16 WebServing::port() const {
    return service_->port();
}

void WebServing::publish() {
    LiveStatus status = status_;
    const Recorder& recorder = sources_.recorder;
    status.recorderOn = recorder.isSwitchedOn();
    status.recording = recorder.isRecordingHeard();
    status.paused = recorder.capturePaused;
    status.level = std::clamp(recorder.meter().barValue, 0, 100);
    status.recordingName = recorder.capture().recordingName;
    status.docFolder = QFileInfo(sources_.settings.docFolder).absoluteFilePath();
    // A save of the settings rebuilds the list, which publishes: the page shows a new name then.
    status.circuitName = sources_.settings.circuitName;
    status.circuitNumber = sources_.settings.circuitNumber;
    status.alarms = alarms_;
    if (std::exchange(listChanged_, false)) {
        status.recordings = sources_.list.entries();
        ++status.listRevision;
    }
    if (!(status == status_)) {
        status_ = status;
        board_.publish(status);
    }
}

} // namespace kestrova
