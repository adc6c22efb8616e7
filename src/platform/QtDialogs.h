#pragma once

#include "platform/Dialogs.h"

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
    bool openDocument(const QString& path) override;

private:
    QString programTitle_;
};

} // namespace kestrova
