#include "support/ProgramFixture.h"

#include "base/common/Cp1252.h"
#include "base/settings/SettingsFile.h"

#include <QFile>

namespace kestrova::test {

ProgramFixture::ProgramFixture() = default;

ProgramFixture::~ProgramFixture() = default;

Program& ProgramFixture::makeProgram() {
    program = std::make_unique<Program>(fakes.platform(), ProgramOptions{dir.path()});
    return *program;
}

Program& ProgramFixture::startProgram() {
    makeProgram();
    program->main();
    return *program;
}

QString ProgramFixture::iniPath() const {
    return settingsFilePath(dir.path());
}

void ProgramFixture::writeIni(const QStringList& lines) const {
    QFile file(iniPath());
    if (!file.open(QIODevice::WriteOnly)) {
        ADD_FAILURE() << "cannot write " << iniPath().toStdString();
        return;
    }
    for (const QString& line : lines) {
        file.write(encodeCp1252(line) + "\r\n");
    }
}

QStringList ProgramFixture::readIni() const {
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QStringList lines = decodeCp1252(file.readAll()).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QStringList ProgramFixture::defaultIni(const QList<QPair<int, QString>>& changes) const {
    QStringList lines = defaultSettingsLines(DefaultSet::NewFile, dir.path(), fakes.clock.now());
    for (const auto& [number, text] : changes) {
        lines[number - 1] = text;
    }
    return lines;
}

} // namespace kestrova::test
