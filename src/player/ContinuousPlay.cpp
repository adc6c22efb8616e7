#include "player/ContinuousPlay.h"

#include "platform/SoundPlayer.h"
#include "player/LoadedFile.h"
#include "player/Playback.h"
#include "player/PlayerListCalls.h"
#include "player/SoundFileLoader.h"
#include "player/SpeedLabels.h"

namespace kestrova {

ContinuousPlay::ContinuousPlay(const Platform& platform, const PlayerListCalls& list,
                               const PlayerListRows& rows, LoadedFile& file, Playback& playback,
                               SoundFileLoader& loader, SpeedLabels& speeds)
    : platform_(platform), list_(list), rows_(rows), file_(file), playback_(playback), loader_(loader),
      speeds_(speeds) {
    QObject::connect(&tmr_NachStop, &QTimer::timeout, &tmr_NachStop, [this] { tmr_NachStop_Timer(); });
}

void ContinuousPlay::playNextInList() {
    if (!continuous_) {
        return;
    }
    const int next = rows_.currentRow() + 1;
    // After the last entry continuous play ends, with the slider at the end.
    if (next >= rows_.count()) {
        return;
    }
    rows_.selectRow(next);
    platform_.sounds.stop();
    file_.setCurrent(list_.entryPath(next));
    loader_.loadCurrentFile();
    tmr_NachStop.start();
    playback_.startFollowing();
}

void ContinuousPlay::tmr_NachStop_Timer() {
    list_.pressEntry();
    list_.releaseEntry();
    speeds_.playAtNormalSpeed();
    tmr_NachStop.stop();
}

} // namespace kestrova
