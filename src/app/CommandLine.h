#pragma once

#include <QString>
#include <QStringList>

namespace kestrova {

struct CommandLine {
    bool showVersion = false;
    bool showHelp = false;
    QString programFolder; // empty: the default
    QString inputFile;     // a WAV file offered as the first input device
    QString error;         // a message for the user when the arguments are wrong
};

CommandLine parseCommandLine(const QStringList& arguments);
QString helpText(const QString& executable);

// The program folder: the one asked for, else the executable's folder; when that
// cannot be written (an installation for all users) a folder of the user's own.
struct ProgramFolderChoice {
    QString folder;
    bool fellBack = false;
};
ProgramFolderChoice chooseProgramFolder(const QString& requested, const QString& executableFolder,
                                        const QString& userDataFolder);
bool isWritableFolder(const QString& folder);
// What the status bar says about the choice; empty when the folder is the usual one.
QString programFolderNotice(const ProgramFolderChoice& choice);

} // namespace kestrova
