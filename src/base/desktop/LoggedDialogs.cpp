#include "base/desktop/LoggedDialogs.h"

#include "base/desktop/EventLog.h"

namespace kestrova {

LoggedDialogs::LoggedDialogs(EventLog& log) : log_(log) {}

MessageAnswer LoggedDialogs::message(const QString& text, const QString& title, MessageButtons buttons,
                                     MessageIcon icon) {
    const QString titled = title.isEmpty() ? text : title + QStringLiteral(": ") + text;
    if (buttons == MessageButtons::YesNo) {
        log_.record(EventPriority::Warning, QStringLiteral("Frage ohne Antwort, gilt als Nein: ") + titled);
        return MessageAnswer::No;
    }
    // A message box is something the operator must learn of, so never mere news.
    log_.record(icon == MessageIcon::Stop ? EventPriority::Error : EventPriority::Warning,
                QStringLiteral("Meldung: ") + titled);
    return MessageAnswer::Ok;
}

QString LoggedDialogs::openFile(QWidget* /*owner*/, const FileDialogRequest& /*request*/) {
    return {};
}

std::optional<QString> LoggedDialogs::chooseFolder(QWidget* /*owner*/, const QString& /*startFolder*/) {
    return std::nullopt;
}

int LoggedDialogs::popupMenu(QWidget* /*owner*/, const QStringList& /*entries*/, QPoint /*screenPosition*/) {
    return -1;
}

} // namespace kestrova
