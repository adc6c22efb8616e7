#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace kestrova::formparts {

// Creates a child control with its objectName at a fixed place.
template <class T, class... Args>
T* place(QWidget* parent, const char* name, QRect geometry, Args&&... args) {
    T* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(geometry);
    return control;
}

// The font the forms use: the application font, at a compact size.
void useFormFont(QWidget* form);

// Top-level window whose size only the program changes.
void makeFixedWindow(QWidget* form, const QString& title, QSize size);

} // namespace kestrova::formparts
