#include "gui/archive/ArchiveControls.h"

#include "base/archive/Archive.h"
#include "gui/ui/Forms.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/StatusBar.h"

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
