#include "base/player/ContinuousPlay.h"

#include "base/audio/SoundPlayer.h"
#include "base/player/LoadedFile.h"
#include "base/player/Playback.h"
#include "base/player/PlayerListCalls.h"
#include "base/player/SoundFileLoader.h"
#include "base/player/SpeedLabels.h"

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
    speeds_.choose(SpeedLabels::kNormalSpeed);
    tmr_NachStop.stop();
}

} // namespace kestrova
