#pragma once

#include <QWidget>

class QLabel;

namespace kestrova {

// frm_Info: small window the program shows while it is busy.
class InfoForm : public QWidget {
    Q_OBJECT
public:
    explicit InfoForm(QWidget* parent = nullptr);

    QLabel* lbl_info;
};

} // namespace kestrova
