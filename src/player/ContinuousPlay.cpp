#include "player/ContinuousPlay.h"

#include "platform/SoundPlayer.h"
#include "player/Player.h"
#include "services/Services.h"
#include "ui/ControlEvents.h"
#include "ui/MainForm.h"
#include "ui/RecordingListView.h"
#include "ui/SettingsForm.h"

#include <QCheckBox>

namespace kestrova {

ContinuousPlay::ContinuousPlay(Services& program, Player& player) : program_(program), player_(player) {
    QObject::connect(&tmr_NachStop, &QTimer::timeout, &tmr_NachStop, [this] { tmr_NachStop_Timer(); });
}

void ContinuousPlay::playNextInList() {
    if (!program_.frm_Einstellungen->chkFortlaufend->isChecked()) {
        return;
    }
    RecordingListView* list = program_.frm_DoKu->lb_Sounds;
    const int next = list->currentRow() + 1;
    // After the last entry continuous play ends, with the slider at the end.
    if (next >= list->count()) {
        return;
    }
    list->setCurrentRow(next);
    program_.platform().sounds.stop();
    player_.setCurrentFile(player_.listCalls.entryPath(next));
    player_.loadCurrentFile();
    tmr_NachStop.start();
    player_.playback().startFollowing();
}

void ContinuousPlay::tmr_NachStop_Timer() {
    player_.listCalls.pressEntry();
    player_.listCalls.releaseEntry();
    player_.lblFreqNorm_MouseDown(mousebutton::Left, 0, 0, 0);
    player_.lblFreqNorm_MouseUp(mousebutton::Left, 0, 0, 0);
    tmr_NachStop.stop();
}

} // namespace kestrova
