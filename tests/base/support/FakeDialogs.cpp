#include "support/FakeDialogs.h"

namespace kestrova::test {

MessageAnswer FakeDialogs::message(const QString& text, const QString& title, MessageButtons buttons,
                                   MessageIcon icon) {
    messages.push_back({text, title, buttons, icon});
    if (whileMessageOpen) {
        whileMessageOpen(messages.back());
    }
    if (!messageAnswers.empty()) {
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
}

QString FakeDialogs::openFile(QWidget* /*owner*/, const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers.empty()) {
        return {};
    }
    QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<QString> FakeDialogs::chooseFolder(QWidget* /*owner*/, const QString& startFolder) {
    folderRequests.push_back(startFolder);
    if (folderAnswers.empty()) {
        return std::nullopt;
    }
    // Taken apart rather than copied: GCC's optimiser warns falsely about copying an
    // optional QString out of the deque.
    const bool chosen = folderAnswers.front().has_value();
    const QString folder = folderAnswers.front().value_or(QString());
    folderAnswers.pop_front();
    return chosen ? std::optional<QString>(folder) : std::nullopt;
}

int FakeDialogs::popupMenu(QWidget* /*owner*/, const QStringList& entries, QPoint screenPosition) {
    menus.push_back({entries, screenPosition});
    if (menuAnswers.empty()) {
        return -1;
    }
    const int answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
}

bool FakeDialogs::sawMessageContaining(const QString& part) const {
    for (const ShownMessage& shown : messages) {
        if (shown.text.contains(part)) {
            return true;
        }
    }
    return false;
}

} // namespace kestrova::test
