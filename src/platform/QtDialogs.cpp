#include "platform/QtDialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace kestrova {

namespace {
QMessageBox::Icon toIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QtDialogs::QtDialogs(QString programTitle) : programTitle_(std::move(programTitle)) {}

MessageAnswer QtDialogs::message(const QString& text, const QString& title, MessageButtons buttons,
                                 MessageIcon icon) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(toIcon(icon), title.isEmpty() ? programTitle_ : title, shown);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) {
        return MessageAnswer::Yes;
    }
    return answer == QMessageBox::No ? MessageAnswer::No : MessageAnswer::Ok;
}

QString QtDialogs::openFile(QWidget* owner, const FileDialogRequest& request) {
    const QString filter = request.filterName + QStringLiteral(" (") + request.pattern + QLatin1Char(')');
    return QFileDialog::getOpenFileName(owner, request.title, request.startFolder, filter);
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* owner, const QString& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(owner, QString(), startFolder);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

int QtDialogs::popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) {
    QMenu menu(owner);
    for (int i = 0; i < entries.size(); ++i) {
        menu.addAction(entries.at(i))->setData(i);
    }
    const QAction* chosen = menu.exec(screenPosition);
    return chosen != nullptr ? chosen->data().toInt() : -1;
}

bool QtDialogs::openDocument(const QString& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace kestrova
