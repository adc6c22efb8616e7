#pragma once

#include <QWidget>

class QPushButton;
class QTextBrowser;

namespace kestrova {

// The help, shown by the program itself: it needs no web browser on the desktop.
// Links inside the help are followed in the same window.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the page at path from its top; the window title is the page's title.
    void showPage(const QString& path);

    QTextBrowser* browser;
    QPushButton* back;
    QPushButton* close;
};

} // namespace kestrova
