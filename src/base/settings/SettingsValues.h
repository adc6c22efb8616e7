#pragma once

#include <QString>

namespace kestrova {

// Values of the settings lines, set at every reading of the settings file by the
// rows of settingsRows(). Lines without a value here are held by their control.
// SettingsStore holds those in force and alone changes them.
struct SettingsValues {
    QString docFolder;
    QString circuitName;
    int meterSampleRate = 0;
    // Names the recordings, and the list takes the names that begin with it.
    long long circuitNumber = 0;
    QString comPortName;
    long long pttPin = 0;
    long long squelchPin = 0;
    QString squelchActiveChar;
    double startLevel = 0;
    double minRecordLimit = 0;    // tenths of a second
    double maxRecordLimit = 0;    // tenths of a second
    double silencePauseLimit = 0; // ticks of the pause watch
    double retentionDays = 0;
    int outputLevel = 0; // 0..65535
    // The volume field's percentage, which the list's click plays at: the line as read,
    // then what the field shows as the user types or the slider moves, saved or not.
    double volumePercent = 0;
    int autoStart = 0;
    int logLevelDisplay = 0;
    int archiveRecordings = 0;
    int txControlEnabled = 0;
    int showSettingsAtStart = 0;
    long long fileCount = 0;
    int meterInterval = 0;  // ms
    double parrotState = 0; // 1 on, 0 off, anything else off until the program restarts
    int cqPause = 0;        // ms
};

// Set while a value the reading took is only a stand-in: a minimum recording time
// or a day count that is no number, or overflows, reads as 0 and would let the
// deletion pass take every recording; a meter interval read as 0 stops the meter,
// and the recorder then records nothing while the old recordings go.
struct SettingsGuesses {
    bool minimum = false;
    bool retention = false;
    bool meterInterval = false;
};

} // namespace kestrova
