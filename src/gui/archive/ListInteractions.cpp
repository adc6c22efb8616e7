// What the user does with the recording list: play an entry, delete it.
#include "gui/archive/ListInteractions.h"

#include "base/archive/Archive.h"
#include "base/archive/RecordingFolders.h"
#include "base/audio/SoundPlayer.h"
#include "base/common/NumericValue.h"
#include "base/desktop/Clock.h"
#include "base/desktop/Dialogs.h"
#include "base/settings/SettingsValues.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/services/Services.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/Forms.h"
#include "gui/ui/InfoForm.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/WaveformView.h"

#include <QDir>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cmath>

namespace kestrova {

namespace {

// The pause the list is given to settle before it is read again, in milliseconds.
constexpr int kSettlePause = 110;

} // namespace

ListInteractions::ListInteractions(Services& program, const Forms& forms)
    : program_(program), forms_(forms) {}

void ListInteractions::lb_Sounds_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    if (forms_.frm_DoKu->lb_Sounds->count() == 0) {
        return;
    }
    SoundForm& sound = *forms_.frm_Oszi;
    sound.frx1->clear();
    sound.show();
    dockSoundWindow(forms_.frm_DoKu, forms_.frm_Oszi);
    // Playback at the volume of the settings field, saved or not, whatever the slider was moved to.
    const double percent = qBound(0.0, program_.settingsValues().volumePercent, 100.0);
    sound.sli_Lautst->setValue(int(roundToWhole(std::fabs(65535 - percent * 655.35))));
    program_.transmitter().setOutputLevel(int(roundToWhole(percent * 655.35)));
}

void ListInteractions::lb_Sounds_MouseUp(int button, int /*shift*/, int /*x*/, int /*y*/) {
    const RecordingListView* list = forms_.frm_DoKu->lb_Sounds;
    if (list->count() == 0) {
        return;
    }
    program_.platform().sounds.stop();
    Player& player = program_.player();
    player.setCurrentFile(program_.archive().entryPath(list->currentRow()));
    if (button == mousebutton::Left) {
        player.loadCurrentFile();
    }
    // Its tick plays the entry; another button loads it only there.
    program_.player().playAfterStop();
}

bool ListInteractions::deleteSelectedRecording() {
    program_.player().stopPlayback();
    const QString path = program_.archive().removeListedRecording(forms_.frm_DoKu->lb_Sounds->currentRow());
    if (path.isEmpty()) {
        return false;
    }
    program_.player().closeDeletedFile(path);
    program_.archive().noteDeletedByHand(path);
    return true;
}

void ListInteractions::cmd_File_lö_Pressed(int button, int shift, int x, int y) {
    if (forms_.frm_DoKu->cmd_File_lö->isEnabled()) {
        cmd_File_lö_MouseDown(button, shift, x, y);
    }
}

void ListInteractions::cmd_File_lö_MouseDown(int /*button*/, int /*shift*/, int /*x*/, int /*y*/) {
    SoundPlayer& sounds = program_.platform().sounds;
    sounds.stop();
    const int row = forms_.frm_DoKu->lb_Sounds->currentRow();
    program_.player().setCurrentFile(program_.archive().entryPath(row));
    if (program_.archive().recordingList().nameAt(row).isEmpty()) {
        program_.platform().dialogs.message(noRecordingsMessage(program_.settingsValues().docFolder),
                                            QStringLiteral("Info"), MessageButtons::Ok, MessageIcon::None);
        return;
    }
    if (!deleteSelectedRecording()) {
        sounds.play(QDir(program_.programFolder()).filePath(QStringLiteral("ping.wav")));
        return;
    }
    reloadRecordingList();
}

bool ListInteractions::selectEntryOf(const QString& path) {
    const int row = program_.archive().rowOfPath(path);
    if (row < 0) {
        return false;
    }
    forms_.frm_DoKu->lb_Sounds->setCurrentRow(row);
    return true;
}

void ListInteractions::lb_Sounds_DblClick() {
    Player& player = program_.player();
    player.stop();
    const QString asked = player.currentFile();
    const MessageAnswer answer = program_.platform().dialogs.message(
        QStringLiteral("Wirklich löschen?"), asked, MessageButtons::YesNo, MessageIcon::Stop);
    if (answer != MessageAnswer::Yes) {
        return;
    }
    player.stop();
    // While the question was open a new recording may have been listed and selected:
    // only the recording the question named is deleted.
    if (selectEntryOf(asked)) {
        cmd_File_lö_MouseDown(mousebutton::Left, 0, 0, 0);
    }
}

void ListInteractions::reloadRecordingList() {
    if (!findRecordingsFolder(program_.settingsValues().docFolder)) {
        return;
    }
    Archive& archive = program_.archive();
    archive.forgetList();
    forms_.frm_Info->show();
    archive.deleteMarkedRecordings();
    program_.platform().clock.pause(kSettlePause);
    archive.refreshRecordingList();
    WaveformView* area = forms_.frm_Oszi->frx1;
    area->hide();
    area->show();
    Player& player = program_.player();
    player.stop();
    player.playback().finishStop();
}

void ListInteractions::connectControls() {
    MainForm& main = *forms_.frm_DoKu;
    main.lb_Sounds->setModel(&program_.archive().recordingList());
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { lb_Sounds_MouseDown(b, s, x, y); });
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::mouseUp, &main,
                     [this](int b, int s, int x, int y) { lb_Sounds_MouseUp(b, s, x, y); });
    QObject::connect(main.lb_Sounds_mouse, &MouseEvents::doubleClicked, &main,
                     [this] { lb_Sounds_DblClick(); });
    QObject::connect(main.cmd_File_lö_mouse, &MouseEvents::mouseDown, &main,
                     [this](int b, int s, int x, int y) { cmd_File_lö_Pressed(b, s, x, y); });
}

} // namespace kestrova
