#pragma once

#include "base/program/ExportCommand.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kestrova {

struct CommandLine {
    bool showVersion = false;
    bool showHelp = false;
    bool headless = false;     // --headless: no display, recorder on, events on standard error
    QString programFolder;     // empty: the default
    QString inputFile;         // a WAV file offered as the first input device
    QString verifyFolder;      // check the recordings below it against the manifests, then end
    bool lastHashOnly = false; // --letzter-hash with --verify: print only the chain's last hash
    QByteArray notedHash;      // --gegen HASH with --verify: a hash noted elsewhere, lower-case hex
    QString webAddress;        // ADDRESS:PORT of the web page; empty: as its settings file says
    bool setWebPassword = false;
    bool controlRoom = false;     // --leitstelle ORDNER…: one page over several circuits
    QStringList circuitFolders;   // ... each circuit's program or documentation folder
    bool settingsCommand = false; // --einstellungen or --setze: the settings file, then end
    bool confirmSettings = false; // --bestaetigen with --einstellungen
    QStringList assignments;      // --setze NAME=WERT ...
    bool exportWanted = false;    // --export VON BIS ZIEL [--kreis N]: one file of a range, then end
    ExportRequest exportRequest;
    QString error; // a message for the user when the arguments are wrong
};

enum class MessageLanguage { German, English };
// German, unless the locale asks for English or plain C (LC_ALL, LC_MESSAGES, LANG).
MessageLanguage messageLanguage();

CommandLine parseCommandLine(const QStringList& arguments,
                             MessageLanguage language = MessageLanguage::German);
QString helpText(const QString& executable, MessageLanguage language = MessageLanguage::German);

// Where the program may find itself and where its working files may go.
struct ProgramFolderCandidates {
    QString requested;        // --program-folder, empty when not given
    QString executableFolder; // the folder of the running program
    QString installBinFolder; // where an installation puts the program
    QString userDataFolder;   // the user's own data folder
};

// The program folder: the one asked for, else the executable's folder; a folder
// of the user's own when the program runs from an installation (even root must
// not fill /usr/bin) or from a folder it cannot write.
struct ProgramFolderChoice {
    QString folder;
    bool fellBack = false;  // the executable's folder could not be written
    bool installed = false; // the executable sits in an installation
};
ProgramFolderChoice chooseProgramFolder(const ProgramFolderCandidates& candidates);
bool isInstalledProgramFolder(const QString& executableFolder, const QString& installBinFolder);
bool isWritableFolder(const QString& folder);
// What the status bar says about the choice; empty when the folder is the usual one.
QString programFolderNotice(const ProgramFolderChoice& choice);

} // namespace kestrova
