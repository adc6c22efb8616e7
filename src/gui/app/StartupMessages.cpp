#include "gui/app/StartupMessages.h"

namespace kestrova {

StartupMessages::StartupMessages(Dialogs& shown) : shown_(shown) {}

void StartupMessages::release(const std::function<bool()>& ended) {
    holding_ = false;
    std::vector<Held> waiting;
    waiting.swap(held_);
    for (const Held& message : waiting) {
        if (ended()) {
            return;
        }
        shown_.message(message.text, message.title, MessageButtons::Ok, message.icon);
    }
}

MessageAnswer StartupMessages::message(const QString& text, const QString& title, MessageButtons buttons,
                                       MessageIcon icon) {
    // A question needs its answer now; only plain messages can wait.
    if (!holding_ || buttons != MessageButtons::Ok) {
        return shown_.message(text, title, buttons, icon);
    }
    held_.push_back({text, title, icon});
    return MessageAnswer::Ok;
}

QString StartupMessages::openFile(QWidget* owner, const FileDialogRequest& request) {
    return shown_.openFile(owner, request);
}

std::optional<QString> StartupMessages::chooseFolder(QWidget* owner, const QString& startFolder) {
    return shown_.chooseFolder(owner, startFolder);
}

int StartupMessages::popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) {
    return shown_.popupMenu(owner, entries, screenPosition);
}

} // namespace kestrova
