#include "base/audio/CaptureCommand.h"

#include <QRegularExpression>

namespace kestrova {

namespace {

using Verb = CaptureCommand::Verb;

QRegularExpression pattern(const char* text) {
    return QRegularExpression(QString::fromLatin1(text), QRegularExpression::CaseInsensitiveOption);
}

} // namespace

CaptureCommand parseCaptureCommand(const QString& text) {
    static const QRegularExpression open = pattern("^open new type waveaudio alias capture$");
    static const QRegularExpression set =
        pattern("^set capture time format milliseconds bitspersample (\\d{1,6}) samplespersec (\\d{1,6}) "
                "channels (\\d{1,6}) bytespersec (\\d{1,6}) alignment (\\d{1,6})$");
    static const QRegularExpression simple = pattern("^(record|pause|resume|stop|close) capture$");
    static const QRegularExpression save = pattern("^save capture (.+)$");

    CaptureCommand command;
    if (open.match(text).hasMatch()) {
        command.verb = Verb::Open;
    } else if (const auto match = set.match(text); match.hasMatch()) {
        command.verb = Verb::SetFormat;
        command.bitsPerSample = match.captured(1).toInt();
        command.samplesPerSec = match.captured(2).toInt();
        command.channels = match.captured(3).toInt();
        command.bytesPerSec = match.captured(4).toInt();
        command.alignment = match.captured(5).toInt();
    } else if (const auto match = simple.match(text); match.hasMatch()) {
        const QString word = match.captured(1).toLower();
        command.verb = word == u"record"   ? Verb::Record
                       : word == u"pause"  ? Verb::Pause
                       : word == u"resume" ? Verb::Resume
                       : word == u"stop"   ? Verb::Stop
                                           : Verb::Close;
    } else if (const auto match = save.match(text); match.hasMatch()) {
        QString name = match.captured(1);
        // Names with blanks come quoted.
        if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"')) {
            name = name.mid(1, name.size() - 2);
        }
        if (!name.isEmpty()) {
            command.verb = Verb::Save;
            command.fileName = name;
        }
    }
    return command;
}

} // namespace kestrova
