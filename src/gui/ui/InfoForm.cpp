#include "gui/ui/InfoForm.h"

#include "gui/ui/FormParts.h"

#include <QLabel>

namespace kestrova {

InfoForm::InfoForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm_Info"));
    formparts::useFormFont(this);
    formparts::makeFixedWindow(this, QStringLiteral("Kestrova"), QSize(420, 70));
    lbl_info =
        formparts::place<QLabel>(this, "lbl_info", QRect(12, 8, 396, 54), QStringLiteral("Bitte warten …"));
    lbl_info->setWordWrap(true);
    lbl_info->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

} // namespace kestrova
