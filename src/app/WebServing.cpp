#include "app/WebServing.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "archive/Archive.h"
#include "platform/OpenFileLimit.h"
#include "recorder/Recorder.h"
#include "web/WebService.h"
#include "web/WebSettings.h"

#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <utility>

namespace kestrova {

WebServing::WebServing(Program& program, HashLookup hash)
    : program_(program),
      service_(std::make_unique<WebService>(
          board_, std::move(hash),
          HttpLimits{.connections = static_cast<unsigned>(webConnectionBudget(openFileLimit()))})) {}

WebServing::~WebServing() {
    service_.reset();
}

// The board changes only when the recorder or the list tells of a change: nothing
// looks at them on a timer.
void WebServing::subscribe() {
    Recorder& recorder = program_.recorder();
    const auto changed = [this] { publish(); };
    QObject::connect(&recorder, &Recorder::stateChanged, &subscriber_, changed);
    QObject::connect(&recorder.meter(), &LevelMeterControl::levelChanged, &subscriber_, changed);
    const RecordingListModel* list = &program_.archive().recordingList();
    const auto listChanged = [this] {
        listChanged_ = true;
        publish();
    };
    QObject::connect(list, &QAbstractItemModel::modelReset, &subscriber_, listChanged);
    QObject::connect(list, &QAbstractItemModel::rowsInserted, &subscriber_, listChanged);
    QObject::connect(list, &QAbstractItemModel::rowsRemoved, &subscriber_, listChanged);
}

std::unique_ptr<WebServing> WebServing::startIfAsked(Program& program, const QString& commandLineAddress,
                                                     const QString& programFolder, HashLookup hash) {
    // Read without waiting: a FIFO in the file's place is refused, not opened.
    const WebSettings settings = readWebSettings(webSettingsPath(programFolder));
    const QString address = commandLineAddress.isEmpty() ? settings.address : commandLineAddress;
    // Said even when no address asks for the page: the address may stand in the
    // file that cannot be read (root's, say, where a service reads it).
    if (!settings.readError.isEmpty()) {
        report(program,
               settings.readError + (address.isEmpty()
                                         ? QStringLiteral(" Die Webseite startet nicht.")
                                         : QStringLiteral(" Die Webseite startet in der Grundeinstellung.")));
    }
    if (address.isEmpty()) {
        return nullptr;
    }
    auto web = std::make_unique<WebServing>(program, std::move(hash));
    const QString error = web->start(address, settings);
    if (!error.isEmpty()) {
        report(program, error);
        return nullptr;
    }
    program.platform().events.record(EventPriority::Notice,
                                     QStringLiteral("Webseite unter ") + web->service_->pageAddress());
    return web;
}

void WebServing::report(Program& program, const QString& message) {
    QTextStream(stderr) << message << '\n';
    program.startNotice =
        program.startNotice.isEmpty() ? message : program.startNotice + QStringLiteral(" – ") + message;
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
    Recorder& recorder = program_.recorder();
    status.recorderOn = recorder.isSwitchedOn();
    status.recording = recorder.recordingActive;
    status.paused = recorder.capturePaused;
    status.level = std::clamp(recorder.meter().barValue, 0, 100);
    status.recordingName = recorder.capture().recordingName;
    status.docFolder = QFileInfo(program_.settings().values.docFolder).absoluteFilePath();
    if (std::exchange(listChanged_, false)) {
        status.recordings = program_.archive().recordingList().entries();
        ++status.listRevision;
    }
    if (!(status == status_)) {
        status_ = status;
        board_.publish(status);
    }
}

} // namespace kestrova
