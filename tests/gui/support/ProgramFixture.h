#pragma once

#include "gui/app/Program.h"
#include "support/FakePlatform.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace kestrova::test {

// A fresh program with fake devices in a temporary program folder.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture();
    ~ProgramFixture() override;

    // Makes the program object (not yet started).
    Program& makeProgram();
    // Makes it and runs the start-up sequence.
    Program& startProgram();

    QString folder() const { return dir.path(); }
    QString iniPath() const;
    // Writes a settings file of the given lines, CR LF, Windows-1252.
    void writeIni(const QStringList& lines) const;
    QStringList readIni() const;
    // The new-file defaults with some lines replaced (line numbers from 1).
    QStringList defaultIni(const QList<QPair<int, QString>>& changes = {}) const;

    QTemporaryDir dir;
    FakePlatform fakes;
    std::unique_ptr<Program> program;
};

} // namespace kestrova::test
