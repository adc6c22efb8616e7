#pragma once

// A program folder with many recordings of the circuit, for the benchmarks of
// the recording list.
#include "base/common/Cp1252.h"
#include "base/settings/SettingsFile.h"
#include "bench/BenchSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace kestrova::bench {

inline QString recordingName(const QDateTime& at) {
    return QStringLiteral("1_") + at.toString(QStringLiteral("MM-dd-yyyy_HH-mm-ss")) + QStringLiteral(".wav");
}

// Settings of a new file; `autoStart` switches the recorder on at start, as left
// running beside a receiver. The settings form stays hidden.
inline void writeSettings(const QString& folder, const QDateTime& now, bool autoStart) {
    QStringList lines = defaultSettingsLines(DefaultSet::NewFile, folder, now);
    lines[15] = autoStart ? QStringLiteral("1") : QStringLiteral("0");
    lines[22] = QStringLiteral("0");
    QFile ini(settingsFilePath(folder));
    if (ini.open(QIODevice::WriteOnly)) {
        for (const QString& line : lines) {
            ini.write(encodeCp1252(line) + "\r\n");
        }
    }
}

// `count` recordings (header only, 25 s each) in W, evenly from `first` up to
// `last`; files already there are left as they are.
inline QStringList writeRecordings(const QString& folder, int count, const QDateTime& first,
                                   const QDateTime& last) {
    const QString recordings = QDir(folder).filePath(QStringLiteral("W"));
    QDir().mkpath(recordings);
    const qint64 span = first.secsTo(last);
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) {
        const qint64 back = count > 1 ? span * i / (count - 1) : 0;
        const QString name = recordingName(last.addSecs(-back));
        const QString path = QDir(recordings).filePath(name);
        if (!QFileInfo::exists(path)) {
            writeRecording(path, 11025 * 25, char(128), true);
        }
        names << name;
    }
    return names;
}

struct Spread {
    double min = 0;
    double median = 0;
    double max = 0;
};

inline Spread spreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values.front(), values[values.size() / 2], values.back()};
}

inline void printSpread(const char* what, const Spread& s, const char* unit, double scale = 1) {
    std::printf("%-58s %8.3f / %8.3f / %8.3f %s (min / median / max) [%s]\n", what, s.min * scale,
                s.median * scale, s.max * scale, unit, loadAverageText().c_str());
}

} // namespace kestrova::bench
