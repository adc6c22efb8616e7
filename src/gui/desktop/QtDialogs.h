#pragma once

#include "base/desktop/Dialogs.h"

#include <QPointer>
#include <vector>

class QWidget;

namespace kestrova {

// Message boxes, file dialogs and menus of the desktop, through Qt.
class QtDialogs final : public Dialogs {
public:
    explicit QtDialogs(QString programTitle);

    MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                          MessageIcon icon) override;
    QString openFile(QWidget* owner, const FileDialogRequest& request) override;
    std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) override;
    int popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) override;

    // For the end of the program: closes every dialog and menu still open, as if
    // cancelled, and answers every later one at once the same way, so that no
    // dialog can hold the program after it was told to end.
    void dismissAll();

private:
    // Runs a dialog or menu that dismissAll() can close; returns its exec() result.
    template <typename Shown> int run(Shown& shown);

    QString programTitle_;
    bool dismissed_ = false;
    std::vector<QPointer<QWidget>> open_;
};

} // namespace kestrova
