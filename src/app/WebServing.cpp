#include "app/WebServing.h"

#include "app/Program.h"
#include "app/Settings.h"
#include "recorder/Recorder.h"
#include "ui/MainForm.h"
#include "web/WebService.h"
#include "web/WebSettings.h"

#include <QFileInfo>
#include <QListWidget>
#include <QTextStream>
#include <algorithm>

namespace kestrova {

namespace {

// Cheap to take on every look: the list is read again only when it differs.
QString signatureOf(const QListWidget& list) {
    if (list.count() == 0) {
        return {};
    }
    return QString::number(list.count()) + list.item(0)->text() + list.item(list.count() - 1)->text();
}

QVector<ListedRecording> recordingsOf(const QListWidget& list) {
    QVector<ListedRecording> recordings;
    recordings.reserve(list.count());
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        const QString name = item->data(Qt::UserRole).toString();
        // The entry shows ten times the length after the name.
        const double tenths = item->text().mid(name.size()).trimmed().toDouble();
        recordings.append({name, tenths / 10});
    }
    return recordings;
}

} // namespace

WebServing::WebServing(Program& program, HashLookup hash)
    : program_(program), service_(std::make_unique<WebService>(board_, std::move(hash))) {
    timer_.setInterval(kPublishMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { publish(); });
}

WebServing::~WebServing() {
    timer_.stop();
    service_.reset();
}

std::unique_ptr<WebServing> WebServing::startIfAsked(Program& program, const QString& commandLineAddress,
                                                     const QString& programFolder, HashLookup hash) {
    const QString address = commandLineAddress.isEmpty()
                                ? readWebSettings(webSettingsPath(programFolder)).address
                                : commandLineAddress;
    if (address.isEmpty()) {
        return nullptr;
    }
    auto web = std::make_unique<WebServing>(program, std::move(hash));
    const QString error = web->start(address, programFolder);
    if (!error.isEmpty()) {
        QTextStream(stderr) << error << '\n';
        program.startNotice =
            program.startNotice.isEmpty() ? error : program.startNotice + QStringLiteral(" – ") + error;
        return nullptr;
    }
    return web;
}

QString WebServing::start(const QString& address, const QString& programFolder) {
    const std::optional<WebAddress> parsed = parseWebAddress(address);
    if (!parsed) {
        return QStringLiteral(
                   "Die Adresse der Webseite \"%1\" ist ungültig (Form ADRESSE:PORT, etwa 127.0.0.1:8080).")
            .arg(address);
    }
    publish();
    const QString error = service_->start(*parsed, readWebSettings(webSettingsPath(programFolder)));
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
    if (program_.frm_DoKu != nullptr) {
        const QListWidget& list = *program_.frm_DoKu->lb_Sounds;
        const QString signature = signatureOf(list);
        if (signature != listSignature_) {
            listSignature_ = signature;
            status.recordings = recordingsOf(list);
            ++status.listRevision;
        }
    }
    if (!(status == status_)) {
        status_ = status;
        board_.publish(status);
    }
}

} // namespace kestrova
