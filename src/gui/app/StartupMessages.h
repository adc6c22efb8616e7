#pragma once

#include "base/desktop/Dialogs.h"

#include <functional>
#include <vector>

namespace kestrova {

// Holds the plain messages of the start (a damaged settings file, a missing port
// or folder) until the start is complete, so that an unattended start records from
// the first transmission on while the messages wait for their OK. Everything else
// goes straight through.
class StartupMessages final : public Dialogs {
public:
    explicit StartupMessages(Dialogs& shown);

    void hold() { holding_ = true; }
    // Shows what was held, in order; stops as soon as `ended` says so.
    void release(const std::function<bool()>& ended);

    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString openFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) override;
    int popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) override;

private:
    struct Held {
        QString text;
        QString title;
        MessageIcon icon;
    };

    Dialogs& shown_;
    bool holding_ = false;
    std::vector<Held> held_;
};

} // namespace kestrova
