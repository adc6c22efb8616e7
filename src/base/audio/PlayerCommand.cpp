#include "base/audio/PlayerCommand.h"

#include <QRegularExpression>
#include <optional>

namespace kestrova {

namespace {

using Verb = PlayerCommand::Verb;

Verb verbOf(const QString& word) {
    static const std::pair<const char*, Verb> verbs[] = {
        {"open", Verb::Open}, {"set", Verb::Set},   {"status", Verb::Status}, {"seek", Verb::Seek},
        {"play", Verb::Play}, {"stop", Verb::Stop}, {"close", Verb::Close},
    };
    for (const auto& [name, verb] : verbs) {
        if (word == QLatin1String(name)) {
            return verb;
        }
    }
    return Verb::Unknown;
}

// An "open" command: the path is taken up to the last "alias", so a path with a
// blank still opens even when it comes without quotes.
std::optional<PlayerCommand> parseOpen(const QString& text) {
    static const QRegularExpression open(
        QStringLiteral("^\\s*open\\s+(.+?)(?:\\s+type\\s+\\S+)?\\s+alias\\s+(\\S+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = open.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    PlayerCommand command;
    QString path = match.captured(1).trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"'))) {
        path = path.mid(1, path.size() - 2);
    }
    command.verb = Verb::Open;
    command.alias = match.captured(2).toLower();
    command.path = path;
    return command;
}

} // namespace

PlayerCommand parsePlayerCommand(const QString& text) {
    PlayerCommand command;
    // The sound window asks for the position ten times a second: both patterns are
    // compiled once, and only an "open" is matched against the long one.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList words = text.toLower().split(blanks, Qt::SkipEmptyParts);
    if (words.size() < 2) {
        return command;
    }
    if (words.constFirst() == QLatin1String("open")) {
        if (auto opened = parseOpen(text)) {
            return *opened;
        }
    }
    command.verb = verbOf(words.takeFirst());
    command.alias = words.takeFirst();
    command.arguments = words;
    return command;
}

} // namespace kestrova
