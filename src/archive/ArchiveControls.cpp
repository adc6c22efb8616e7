#include "archive/ArchiveControls.h"

#include "archive/Archive.h"
#include "ui/Forms.h"
#include "ui/InfoForm.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"
#include "ui/StatusBar.h"

#include <QLabel>

namespace kestrova {

void connectArchiveControls(Archive& archive, const Forms& forms, StatusBar& statusBar) {
    MainForm& main = *forms.frm_DoKu;
    InfoForm& info = *forms.frm_Info;
    const Archive* source = &archive;

    QObject::connect(source, &Archive::passStarted, &main, [&main, &info] {
        main.show();
        info.show();
    });
    QObject::connect(source, &Archive::infoText, &info,
                     [&info](const QString& text) { info.lbl_info->setText(text); });
    QObject::connect(source, &Archive::waitOver, &info, [&info] { info.hide(); });
    QObject::connect(source, &Archive::passFinished, &main, [&main] { main.show(); });
    QObject::connect(source, &Archive::rowSelected, &main,
                     [&main](int row) { main.lb_Sounds->setCurrentRow(row); });
    QObject::connect(source, &Archive::fileCountChanged, &main,
                     [&statusBar](long long count) { statusBar.showFileCount(count); });
    QObject::connect(source, &Archive::deletionHoldChanged, &main,
                     [&statusBar](const QString& reason) { statusBar.showDeletionHold(reason); });
}

} // namespace kestrova
