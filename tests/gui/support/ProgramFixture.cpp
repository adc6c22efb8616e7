#include "support/ProgramFixture.h"

#include "base/settings/SettingsFile.h"
#include "support/SettingsLines.h"

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
    if (!writeSettingsLines(iniPath(), lines)) {
        ADD_FAILURE() << "cannot write " << iniPath().toStdString();
    }
}

QStringList ProgramFixture::readIni() const {
    return readSettingsLines(iniPath());
}

QStringList ProgramFixture::defaultIni(const QList<QPair<int, QString>>& changes) const {
    return newSettingsLines(dir.path(), fakes.clock.now(), changes);
}

} // namespace kestrova::test
