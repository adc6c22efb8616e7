#pragma once

#include "base/desktop/Dialogs.h"

namespace kestrova {

class EventLog;

// The dialogs of a program without a desktop: nobody is there to answer, so
// each message goes to the event log and every question gets the answer that
// changes nothing (No, cancel, no menu entry) at once.
class LoggedDialogs final : public Dialogs {
public:
    explicit LoggedDialogs(EventLog& log);

    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString openFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) override;
    int popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) override;

private:
    EventLog& log_;
};

} // namespace kestrova
