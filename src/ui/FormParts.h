#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QTimer;

namespace kestrova::formparts {

// Creates a child control with its objectName at a fixed place.
template <class T, class... Args>
T* place(QWidget* parent, const char* name, QRect geometry, Args&&... args) {
    T* control = new T(std::forward<Args>(args)..., parent);
    control->setObjectName(QString::fromUtf8(name));
    control->setGeometry(geometry);
    return control;
}

// A repeating timer with its interval set; the program starts and stops it.
QTimer* timer(QObject* parent, const char* name, int intervalMs);

// The font the forms use: the application font, at a compact size.
void useFormFont(QWidget* form);

// Top-level window whose size only the program changes.
void makeFixedWindow(QWidget* form, const QString& title, QSize size);

} // namespace kestrova::formparts
