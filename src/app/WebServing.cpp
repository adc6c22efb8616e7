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

namespace kestrova {

namespace {

// Cheap to take on every look: the list is read again only when it differs.
// Enough to tell a changed list without comparing it whole: entries are added at
// the end and a list pass replaces the list.
QString signatureOf(const ListedRecordings& list) {
    if (list.empty()) {
        return {};
    }
    return QString::number(list.size()) + list.nameAt(0) + list.nameAt(list.size() - 1);
}

} // namespace

WebServing::WebServing(Program& program, HashLookup hash)
    : program_(program),
      service_(std::make_unique<WebService>(
          board_, std::move(hash),
          HttpLimits{.connections = static_cast<unsigned>(webConnectionBudget(openFileLimit()))})) {
    timer_.setInterval(kPublishMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { publish(); });
}

WebServing::~WebServing() {
    timer_.stop();
    service_.reset();
}

std::unique_ptr<WebServing> WebServing::startIfAsked(Program& program, const QString& commandLineAddress,
                                                     const QString& programFolder, HashLookup hash) {
    // Read without waiting: a FIFO in the file's place is refused, not opened.
    const WebSettings settings = readWebSettings(webSettingsPath(programFolder));
    const QString address = commandLineAddress.isEmpty() ? settings.address : commandLineAddress;
    if (address.isEmpty()) {
        return nullptr;
    }
    if (!settings.readError.isEmpty()) {
        report(program,
               settings.readError + QStringLiteral(" Die Webseite startet in der Grundeinstellung."));
    }
    auto web = std::make_unique<WebServing>(program, std::move(hash));
    const QString error = web->start(address, settings);
    if (!error.isEmpty()) {
        report(program, error);
        return nullptr;
    }
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
        timer_.start();
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
    const ListedRecordings& list = program_.archive().recordingList().entries();
    const QString signature = signatureOf(list);
    if (signature != listSignature_) {
        listSignature_ = signature;
        status.recordings = list;
        ++status.listRevision;
    }
    if (!(status == status_)) {
        status_ = status;
        board_.publish(status);
    }
}

} // namespace kestrova
