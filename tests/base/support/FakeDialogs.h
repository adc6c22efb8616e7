#pragma once

#include "base/desktop/Dialogs.h"

#include <deque>
#include <functional>
#include <vector>

namespace kestrova::test {

struct ShownMessage {
    QString text;
    QString title;
    MessageButtons buttons;
    MessageIcon icon;
};

struct ShownMenu {
    QStringList entries;
    QPoint position;
};

// Answers every dialog from a script and records what was asked. Unscripted
// message boxes are answered Ok (or No for a question); unscripted file and
// folder dialogs are cancelled; unscripted menus are dismissed.
class FakeDialogs final : public Dialogs {
public:
    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString openFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) override;
    int popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) override;

    std::deque<MessageAnswer> messageAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::optional<QString>> folderAnswers;
    std::deque<int> menuAnswers;
    // Runs while a message box is open, as timers and events would.
    std::function<void(const ShownMessage&)> whileMessageOpen;

    std::vector<ShownMessage> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<QString> folderRequests;
    std::vector<ShownMenu> menus;

    bool sawMessageContaining(const QString& part) const;
};

} // namespace kestrova::test
