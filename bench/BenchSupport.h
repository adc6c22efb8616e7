#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace kestrova::bench {

using Clock = std::chrono::steady_clock;

// The machine's load average over 1, 5 and 15 minutes, "load 1.23 0.98 0.80", printed
// beside each figure: on the shared machine it tells a busy run from a quiet one.
// Empty where the system does not report it.
inline std::string loadAverageText() {
    std::ifstream loadavg("/proc/loadavg");
    std::string one;
    std::string five;
    std::string fifteen;
    if (!(loadavg >> one >> five >> fifteen)) {
        return {};
    }
    return "load " + one + " " + five + " " + fifteen;
}

// The middle of several timings: steadier than the mean on a shared machine.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// "min / median / max" of several timings in seconds, for the figures' spread.
inline std::string spreadText(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.4f / %.4f / %.4f s", values.front(), values[values.size() / 2],
                  values.back());
    return text + (" [" + loadAverageText() + "]");
}

inline double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The offscreen platform warns about every window it shows; the figures are
// easier to read without that.
inline void quietQtWarnings() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtWarningMsg && type != QtInfoMsg && type != QtDebugMsg) {
            std::fputs(qPrintable(message + QLatin1Char('\n')), stderr);
        }
    });
}

// A field of a process's status file in kilobytes ("VmRSS:", "VmHWM:"); 0 when missing.
inline long statusKbIn(const std::string& statusFile, const std::string& field) {
    std::ifstream status(statusFile);
    std::string key;
    while (status >> key) {
        if (key == field) {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return 0;
}

// The same field of this process.
inline long statusKb(const std::string& field) {
    return statusKbIn("/proc/self/status", field);
}

// Resident memory of this process in kilobytes.
inline long residentKb() {
    return statusKb("VmRSS:");
}

// The highest resident memory since the last resetPeakResident(), in kilobytes.
inline long peakResidentKb() {
    return statusKb("VmHWM:");
}

// Starts a new peak from the present resident memory (Linux 4.0 and later).
inline void resetPeakResident() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

// An 8-bit mono 11025 Hz recording of the given length. With `headerOnly` the
// header claims the samples but the file ends after it, which the list's length
// reader cannot tell from a whole recording.
inline void writeRecording(const QString& path, std::uint32_t samples, char fill = char(140),
                           bool headerOnly = false) {
    QByteArray header(44, '\0');
    auto put32 = [&header](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        }
    };
    header.replace(0, 4, "RIFF");
    put32(4, samples + 36);
    header.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    header[20] = 1;
    header[22] = 1;
    put32(24, 11025);
    put32(28, 11025);
    header[32] = 1;
    header[34] = 8;
    header.replace(36, 4, "data");
    put32(40, samples);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(header);
        if (headerOnly) {
            return;
        }
        const QByteArray block(1 << 16, fill);
        for (std::uint32_t left = samples; left > 0;) {
            const auto n = std::min<std::uint32_t>(left, block.size());
            file.write(block.constData(), n);
            left -= n;
        }
    }
}

} // namespace kestrova::bench
