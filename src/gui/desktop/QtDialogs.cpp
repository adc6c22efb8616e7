#include "gui/desktop/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

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

// Room the window frame takes beside the title: the window's icon and buttons.
constexpr int kTitleFrame = 150;

// A message box is as wide as its title and its longest line, so that neither
// the title is cut nor a line broken where the text does not break it; the
// screen is the limit. The box sizes itself from its layout's minimum width,
// which a spacer across the whole layout raises.
void fitToTitleAndLines(QMessageBox& box, const QString& title, const QString& text) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) {
        return;
    }
    int textWidth = 0;
    const QFontMetrics metrics(box.font());
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    }
    const QMargins margins = grid->contentsMargins();
    const int iconWidth =
        box.iconPixmap().isNull() ? 0 : box.iconPixmap().width() + grid->horizontalSpacing();
    const int forText =
        textWidth + iconWidth + margins.left() + margins.right() + 4 * metrics.averageCharWidth();
    const int forTitle = QFontMetrics(QApplication::font()).horizontalAdvance(title) + kTitleFrame;
    int width = std::max(forText, forTitle);
    if (const QScreen* screen = box.screen()) {
        width = std::min(width, screen->availableGeometry().width() - 40);
    }
    grid->addItem(new QSpacerItem(width - margins.left() - margins.right(), 0, QSizePolicy::Minimum,
                                  QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}
} // namespace

QtDialogs::QtDialogs(QString programTitle) : programTitle_(std::move(programTitle)) {}

template <typename Shown> int QtDialogs::run(Shown& shown) {
    open_.emplace_back(&shown);
    const int result = shown.exec();
    open_.pop_back();
    return result;
}

void QtDialogs::dismissAll() {
    dismissed_ = true;
    // Innermost first: an outer dialog's loop only returns after the inner ones.
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (auto* dialog = qobject_cast<QDialog*>(it->data())) {
            dialog->reject();
        } else if (QWidget* other = it->data()) {
            other->close();
        }
    }
}

MessageAnswer QtDialogs::message(const QString& text, const QString& title, MessageButtons buttons,
                                 MessageIcon icon) {
    if (dismissed_) {
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString shownTitle = title.isEmpty() ? programTitle_ : title;
    QMessageBox box(toIcon(icon), shownTitle, shown);
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("Ja"));
        box.button(QMessageBox::No)->setText(QStringLiteral("Nein"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    fitToTitleAndLines(box, shownTitle, shown);
    const int answer = run(box);
    if (buttons == MessageButtons::YesNo) {
        return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return MessageAnswer::Ok;
}

QString QtDialogs::openFile(QWidget* owner, const FileDialogRequest& request) {
    if (dismissed_) {
        return {};
    }
    const QString filter = request.filterName + QStringLiteral(" (") + request.pattern + QLatin1Char(')');
    // Without an owner the dialog belongs to the window the user works in.
    QFileDialog dialog(owner != nullptr ? owner : QApplication::activeWindow(), request.title,
                       request.startFolder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return run(dialog) == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* owner, const QString& startFolder) {
    if (dismissed_) {
        return std::nullopt;
    }
    QFileDialog dialog(owner, QString(), startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const QString folder = run(dialog) == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return folder;
}

int QtDialogs::popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) {
    if (dismissed_) {
        return -1;
    }
    QMenu menu(owner);
    for (int i = 0; i < entries.size(); ++i) {
        menu.addAction(entries.at(i))->setData(i);
    }
    open_.emplace_back(&menu);
    const QAction* chosen = menu.exec(screenPosition);
    open_.pop_back();
    return chosen != nullptr ? chosen->data().toInt() : -1;
}

} // namespace kestrova
