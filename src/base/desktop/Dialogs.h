#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace kestrova {

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Information, Question, Stop };
enum class MessageAnswer { Ok, Yes, No };

struct FileDialogRequest {
    QString title;
    QString startFolder; // empty: the dialog chooses
    QString filterName;  // for example "Sound Files"
    QString pattern;     // for example "*.wav"
};

// Everything modal that asks the user: message boxes, file and folder dialogs
// and popup menus.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // The text is passed as the program words it, "\r" for line breaks; an empty
    // title shows the program's name, as message boxes without a title do.
    virtual MessageAnswer message(const QString& text, const QString& title, MessageButtons buttons,
                                  MessageIcon icon) = 0;
    // The chosen path, or an empty text when the user cancels.
    virtual QString openFile(QWidget* owner, const FileDialogRequest& request) = 0;
    // The chosen folder, or nothing when the user cancels.
    virtual std::optional<QString> chooseFolder(QWidget* owner, const QString& startFolder) = 0;
    // Index of the chosen entry counted from 0, or -1 when the menu is dismissed.
    virtual int popupMenu(QWidget* owner, const QStringList& entries, QPoint screenPosition) = 0;
};

} // namespace kestrova
