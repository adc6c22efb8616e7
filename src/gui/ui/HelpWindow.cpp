#include "gui/ui/HelpWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kestrova {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Hilfe"));
    resize(720, 600);

    browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("browser"));
    // Pages of the help open here; nothing is handed to other programs.
    browser->setOpenLinks(true);
    browser->setOpenExternalLinks(false);
    back = new QPushButton(QStringLiteral("Zurück"), this);
    back->setObjectName(QStringLiteral("back"));
    back->setEnabled(false);
    close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("close"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser, 1);
    layout->addLayout(buttons);

    connect(browser, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(back, &QPushButton::clicked, browser, &QTextBrowser::backward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Hilfe") : title);
    });
}

void HelpWindow::showPage(const QString& path) {
    browser->setSource(QUrl::fromLocalFile(path));
    browser->clearHistory();
    back->setEnabled(false);
}

} // namespace kestrova
