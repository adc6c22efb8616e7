#include "ui/FormParts.h"

#include <QApplication>
#include <QTimer>

namespace kestrova::formparts {

QTimer* timer(QObject* parent, const char* name, int intervalMs) {
    auto* t = new QTimer(parent);
    t->setObjectName(QString::fromUtf8(name));
    t->setInterval(intervalMs);
    t->setSingleShot(false);
    return t;
}

void useFormFont(QWidget* form) {
    QFont font = QApplication::font();
    font.setPointSizeF(8.5);
    form->setFont(font);
}

void makeFixedWindow(QWidget* form, const QString& title, QSize size) {
    form->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint);
    form->setWindowTitle(title);
    form->setFixedSize(size);
}

} // namespace kestrova::formparts
