#include "gui/ui/FormParts.h"

#include <QApplication>

namespace kestrova::formparts {

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
