#pragma once

#include <QLocale>
#include <QTranslator>

namespace kestrova {

// Qt's own German texts for the standard dialogs and buttons (file and folder
// dialogs, "Abbrechen"), from the translations the system installs; in effect
// for the lifetime of the object. The program's own texts are German already.
class QtGermanTexts {
public:
    QtGermanTexts();
    ~QtGermanTexts();
    QtGermanTexts(const QtGermanTexts&) = delete;
    QtGermanTexts& operator=(const QtGermanTexts&) = delete;

    // False when the translations are not installed: the dialogs stay English.
    bool loaded() const { return loaded_; }

private:
    QLocale previous_;
    QTranslator translator_;
    bool loaded_ = false;
};

} // namespace kestrova
