#include "base/program/CommandLine.h"

#include "base/integrity/ExportRange.h"
#include "base/integrity/ManifestLine.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace kestrova {

namespace {

QString inLanguage(MessageLanguage language, const char* german, const char* english) {
    return QString::fromUtf8(language == MessageLanguage::English ? english : german);
}

bool isVerifyOption(const QString& argument) {
    return argument == QStringLiteral("--letzter-hash") || argument == QStringLiteral("--gegen");
}

// --letzter-hash, or --gegen and the hash after it (at i, which moves past what is
// taken); false with line.error set when the hash is missing or malformed.
bool takeVerifyOption(const QStringList& arguments, qsizetype& i, CommandLine& line,
                      MessageLanguage language) {
    if (arguments.at(i) == QStringLiteral("--letzter-hash")) {
        line.lastHashOnly = true;
        return true;
    }
    if (i + 1 >= arguments.size()) {
        line.error =
            inLanguage(language, "--gegen braucht den notierten Hash", "--gegen needs the noted hash");
        return false;
    }
    const QString text = arguments.at(++i).trimmed();
    // Read off paper or a mail, a hash may come in capitals.
    line.notedHash = text.toLower().toLatin1();
    if (!isHexHash(line.notedHash)) {
        line.error = inLanguage(language,
                                "--gegen: „%1“ ist kein Hash; erwartet werden 64 Hexadezimalziffern, wie "
                                "--verify --letzter-hash sie ausgibt",
                                "--gegen: \"%1\" is no hash; 64 hex digits are expected, as --verify "
                                "--letzter-hash prints them")
                         .arg(text);
        return false;
    }
    return true;
}

bool isTimeOfDay(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9]{1,2}:[0-9]{2}(:[0-9]{2})?$"));
    return pattern.match(text).hasMatch();
}

// A moment after --export at i (which moves past it): a day, and the time of day as
// the same or the next argument, so "2026-12-09 14:00" needs no quotes.
std::optional<QDateTime> takeExportMoment(const QStringList& arguments, qsizetype& i, bool asEnd,
                                          CommandLine& line, MessageLanguage language) {
    if (i + 1 >= arguments.size()) {
        line.error = inLanguage(language, "--export braucht VON BIS ZIEL", "--export needs FROM TO TARGET");
        return std::nullopt;
    }
    QString text = arguments.at(++i);
    if (i + 1 < arguments.size() && isTimeOfDay(arguments.at(i + 1))) {
        text += QLatin1Char(' ') + arguments.at(++i);
    }
    const std::optional<QDateTime> moment = parseExportMoment(text, asEnd);
    if (!moment) {
        line.error = inLanguage(language,
                                "--export: „%1“ ist kein Zeitpunkt; erwartet wird ein Tag wie 2026-12-09 "
                                "oder ein Tag mit Uhrzeit wie „2026-12-09 14:00“",
                                "--export: \"%1\" is no moment; expected is a day such as 2026-12-09 or a "
                                "day and time such as \"2026-12-09 14:00\"")
                         .arg(text);
    }
    return moment;
}

// --export VON BIS ZIEL; false with line.error set when any of them is wrong.
bool takeExport(const QStringList& arguments, qsizetype& i, CommandLine& line, MessageLanguage language) {
    const std::optional<QDateTime> from = takeExportMoment(arguments, i, false, line, language);
    const std::optional<QDateTime> to =
        from ? takeExportMoment(arguments, i, true, line, language) : std::nullopt;
    if (!from || !to) {
        return false;
    }
    if (*from > *to) {
        line.error = inLanguage(language, "--export: VON liegt nach BIS", "--export: FROM lies after TO");
        return false;
    }
    if (i + 1 >= arguments.size()) {
        line.error = inLanguage(language, "--export braucht nach VON und BIS die Zieldatei (ZIEL)",
                                "--export needs the target file after FROM and TO");
        return false;
    }
    line.exportWanted = true;
    line.exportRequest.from = *from;
    line.exportRequest.to = *to;
    line.exportRequest.target = arguments.at(++i);
    return true;
}

bool takeCircuit(const QStringList& arguments, qsizetype& i, CommandLine& line, MessageLanguage language) {
    static const QRegularExpression digit(QStringLiteral("^[0-9]$"));
    if (i + 1 >= arguments.size() || !digit.match(arguments.at(i + 1)).hasMatch()) {
        line.error =
            inLanguage(language, "--kreis braucht die Nummer eines Funkkreises, eine Ziffer von 0 bis 9",
                       "--kreis needs a circuit's number, one digit from 0 to 9");
        return false;
    }
    line.exportRequest.circuit = arguments.at(++i);
    return true;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments, MessageLanguage language) {
    const auto say = [language](const char* german, const char* english) {
        return inLanguage(language, german, english);
    };
    CommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v")) {
            line.showVersion = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            line.showHelp = true;
        } else if (argument == QStringLiteral("--headless")) {
            line.headless = true;
        } else if (argument == QStringLiteral("--program-folder")) {
            if (i + 1 >= arguments.size()) {
                line.error = say("--program-folder braucht einen Ordner", "--program-folder needs a folder");
                return line;
            }
            line.programFolder = arguments.at(++i);
        } else if (argument == QStringLiteral("--input-file")) {
            if (i + 1 >= arguments.size()) {
                line.error = say("--input-file braucht eine WAV-Datei", "--input-file needs a WAV file");
                return line;
            }
            line.inputFile = arguments.at(++i);
        } else if (argument == QStringLiteral("--verify")) {
            // Its own options may stand between it and the folder.
            while (i + 1 < arguments.size() && isVerifyOption(arguments.at(i + 1))) {
                if (!takeVerifyOption(arguments, ++i, line, language)) {
                    return line;
                }
            }
            if (i + 1 >= arguments.size()) {
                line.error = say("--verify braucht einen Ordner", "--verify needs a folder");
                return line;
            }
            line.verifyFolder = arguments.at(++i);
        } else if (isVerifyOption(argument)) {
            if (!takeVerifyOption(arguments, i, line, language)) {
                return line;
            }
        } else if (argument == QStringLiteral("--export")) {
            if (!takeExport(arguments, i, line, language)) {
                return line;
            }
        } else if (argument == QStringLiteral("--kreis")) {
            if (!takeCircuit(arguments, i, line, language)) {
                return line;
            }
        } else if (argument == QStringLiteral("--web")) {
            if (i + 1 >= arguments.size()) {
                line.error = say("--web braucht ADRESSE:PORT", "--web needs ADDRESS:PORT");
                return line;
            }
            line.webAddress = arguments.at(++i);
        } else if (argument == QStringLiteral("--leitstelle")) {
            line.controlRoom = true;
            while (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QStringLiteral("--"))) {
                line.circuitFolders << arguments.at(++i);
            }
        } else if (argument == QStringLiteral("--set-web-password")) {
            line.setWebPassword = true;
        } else if (argument == QStringLiteral("--einstellungen")) {
            line.settingsCommand = true;
        } else if (argument == QStringLiteral("--bestaetigen")) {
            line.confirmSettings = true;
        } else if (argument == QStringLiteral("--setze")) {
            line.settingsCommand = true;
            const qsizetype before = line.assignments.size();
            while (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QStringLiteral("--"))) {
                line.assignments << arguments.at(++i);
            }
            if (line.assignments.size() == before) {
                line.error = say("--setze braucht NAME=WERT", "--setze needs NAME=VALUE");
                return line;
            }
        } else if (argument.startsWith(QStringLiteral("--program-folder="))) {
            line.programFolder = argument.section(QLatin1Char('='), 1);
        } else {
            line.error = say("unbekannte Option: ", "unknown option: ") + argument;
            return line;
        }
    }
    if (line.controlRoom && line.circuitFolders.isEmpty()) {
        line.error =
            say("--leitstelle braucht die Ordner der Funkkreise", "--leitstelle needs the circuits' folders");
    }
    if (line.confirmSettings && (!line.settingsCommand || !line.assignments.isEmpty())) {
        line.error =
            say("--bestaetigen gehört zu --einstellungen", "--bestaetigen goes with --einstellungen");
    }
    if (line.lastHashOnly && line.verifyFolder.isEmpty()) {
        line.error =
            say("--letzter-hash gehört zu --verify ORDNER", "--letzter-hash goes with --verify FOLDER");
    }
    if (!line.notedHash.isEmpty() && line.verifyFolder.isEmpty()) {
        line.error = say("--gegen gehört zu --verify ORDNER", "--gegen goes with --verify FOLDER");
    }
    if (!line.exportRequest.circuit.isEmpty() && !line.exportWanted) {
        line.error = say("--kreis gehört zu --export", "--kreis goes with --export");
    }
    if (!line.notedHash.isEmpty() && line.lastHashOnly) {
        line.error = say("--gegen prüft gegen einen notierten Hash, --letzter-hash gibt nur den letzten aus: "
                         "bitte nur eines von beiden",
                         "--gegen checks against a noted hash, --letzter-hash only prints the last one: "
                         "please give only one of them");
    }
    return line;
}

bool englishWanted(const QString& localeName) {
    return localeName == QStringLiteral("C") || localeName.startsWith(QStringLiteral("C.")) ||
           localeName == QStringLiteral("POSIX") || localeName.startsWith(QStringLiteral("en"));
}

MessageLanguage messageLanguage() {
    // The first of them that is set decides, as for every program.
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty()) {
            return englishWanted(value) ? MessageLanguage::English : MessageLanguage::German;
        }
    }
    return MessageLanguage::German;
}

QString helpText(const QString& executable, MessageLanguage language) {
    if (language == MessageLanguage::English) {
        return QStringLiteral(
                   "Usage: %1 [options]\n"
                   "Records the voice traffic of a radio circuit.\n\n"
                   "Options:\n"
                   "  --program-folder DIR  keep Kestrova.ini, KV.DAT, the recordings folder W and\n"
                   "                        rx.wav in DIR (default: the folder of the program; for an\n"
                   "                        installed program, or when that folder cannot be written,\n"
                   "                        the user's own data folder ~/.local/share/Kestrova)\n"
                   "  --input-file FILE     offer FILE.wav as the first input device: it plays the\n"
                   "                        file in real time, then silence (try the program\n"
                   "                        without a receiver)\n"
                   "  --verify FOLDER       check the recordings below the documentation folder\n"
                   "                        FOLDER against their manifests, print what differs\n"
                   "                        and the last hash of each manifest, and end; exit\n"
                   "                        status 0 all good, 1 findings, 2 nothing to check\n"
                   "                        against (no such folder, no manifest). It cannot see\n"
                   "                        an end cut off: the last lines or days removed\n"
                   "                        together with their recordings\n"
                   "  --verify --letzter-hash FOLDER\n"
                   "                        print only the last hash of the manifests' chain, one\n"
                   "                        line per circuit (\"hash  manifest\"), to note elsewhere\n"
                   "  --verify --gegen HASH FOLDER\n"
                   "                        check as --verify does and whether HASH, noted earlier\n"
                   "                        (a line's hash or a recording's SHA-256), is still in\n"
                   "                        the chain: its manifest and line, or a finding (exit 1)\n"
                   "  --export FROM TO TARGET [--kreis N]\n"
                   "                        write one tar file TARGET: the recordings of the circuit\n"
                   "                        (N, else the settings') that began from FROM to TO, local\n"
                   "                        time as in their names (2026-12-09 for a day, 2026-12-09\n"
                   "                        14:00 for a minute; both included), their manifests and\n"
                   "                        the report of their check; unpacked, --verify checks it.\n"
                   "                        Never overwrites; exit status 0 all good, 1 findings,\n"
                   "                        2 nothing written\n"
                   "  --headless            run without a display: the recorder starts at once and\n"
                   "                        every event goes to standard error, one line each\n"
                   "  --web ADDRESS:PORT    show the recordings on a web page at ADDRESS:PORT (say\n"
                   "                        127.0.0.1:8080; an address other than 127.x.y.z or\n"
                   "                        [::1] needs a password)\n"
                   "  --leitstelle FOLDER...\n"
                   "                        one web page (--web) over several circuits, each\n"
                   "                        FOLDER a circuit's program folder or documentation\n"
                   "                        folder; it only reads them. Its password is that of\n"
                   "                        --program-folder\n"
                   "  --set-web-password    set the web page's password (asked twice) and end\n"
                   "  --einstellungen       list every line of Kestrova.ini with its German name,\n"
                   "                        key, value and meaning, and end\n"
                   "  --einstellungen --bestaetigen\n"
                   "                        take the settings in force as the user's own (as\n"
                   "                        \"Speichern\" does): old recordings are deleted again\n"
                   "  --setze NAME=WERT ... set lines by German name or key with the settings\n"
                   "                        form's checks, save safely and end; nothing is changed\n"
                   "                        on any refusal (say: --setze \"Aufnahmen behalten=7\");\n"
                   "                        also the lines of the other settings files, such as\n"
                   "                        web.adresse or dienst.eingang (--einstellungen lists them)\n"
                   "  --version             print the version and end\n"
                   "  --help                print this text and end\n")
            .arg(executable);
    }
    return QStringLiteral(
               "Aufruf: %1 [Optionen]\n"
               "Zeichnet den Sprechfunkverkehr eines Funkkreises auf.\n\n"
               "Optionen:\n"
               "  --program-folder ORDNER\n"
               "                        Kestrova.ini, KV.DAT, den Aufnahmeordner W und rx.wav\n"
               "                        in ORDNER halten (sonst: der Ordner des Programms; für\n"
               "                        ein installiertes Programm, oder wenn dieser Ordner\n"
               "                        schreibgeschützt ist, der eigene Datenordner\n"
               "                        ~/.local/share/Kestrova)\n"
               "  --input-file DATEI    DATEI.wav als erstes Eingabegerät anbieten: es spielt\n"
               "                        die Datei in Echtzeit ab, danach Stille (zum Ausprobieren\n"
               "                        ohne Empfänger)\n"
               "  --verify ORDNER       die Aufnahmen unter dem Dokumentationsordner ORDNER\n"
               "                        gegen ihre Manifeste prüfen, Abweichungen und den\n"
               "                        letzten Hash jedes Manifests ausgeben und enden;\n"
               "                        Rückgabewert 0 alles in Ordnung, 1 Abweichungen,\n"
               "                        2 nichts zu prüfen (kein solcher Ordner, kein Manifest).\n"
               "                        Ein abgeschnittenes Ende sieht es nicht: die letzten\n"
               "                        Zeilen oder Tage samt ihren Aufnahmen entfernt\n"
               "  --verify --letzter-hash ORDNER\n"
               "                        nur den letzten Hash der Kette ausgeben, eine Zeile je\n"
               "                        Funkkreis (\"Hash  Manifest\"), zum Notieren an\n"
               "                        anderer Stelle\n"
               "  --verify --gegen HASH ORDNER\n"
               "                        wie --verify prüfen und dazu, ob HASH, früher notiert\n"
               "                        (der Hash einer Zeile oder der SHA-256 einer Aufnahme),\n"
               "                        noch in der Kette steht: sein Manifest und seine Zeile,\n"
               "                        sonst ein Befund (Rückgabewert 1)\n"
               "  --export VON BIS ZIEL [--kreis N]\n"
               "                        eine tar-Datei ZIEL schreiben: die Aufnahmen des\n"
               "                        Funkkreises (N, sonst der der Einstellungen), die von VON\n"
               "                        bis BIS begannen, Ortszeit wie in ihren Namen (2026-12-09\n"
               "                        für einen Tag, 2026-12-09 14:00 für eine Minute; beide\n"
               "                        eingeschlossen), ihre Manifeste und den Prüfbericht;\n"
               "                        ausgepackt prüft --verify sie. Überschreibt nie;\n"
               "                        Rückgabewert 0 alles in Ordnung, 1 Befunde, 2 nichts\n"
               "                        geschrieben\n"
               "  --headless            ohne Bildschirm laufen: der Recorder startet sofort,\n"
               "                        jedes Ereignis geht als eine Zeile auf die\n"
               "                        Standardfehlerausgabe (so läuft der Systemdienst)\n"
               "  --web ADRESSE:PORT    die Aufnahmen auf einer Webseite unter ADRESSE:PORT\n"
               "                        zeigen (etwa 127.0.0.1:8080; eine andere Adresse als\n"
               "                        127.x.y.z oder [::1] braucht ein Passwort)\n"
               "  --leitstelle ORDNER…\n"
               "                        eine Webseite (--web) über mehrere Funkkreise, jeder\n"
               "                        ORDNER der Programmordner oder Dokumentationsordner\n"
               "                        eines Funkkreises; sie liest dort nur. Ihr Passwort ist\n"
               "                        das von --program-folder\n"
               "  --set-web-password    das Passwort der Webseite setzen (zweimal gefragt)\n"
               "                        und enden\n"
               "  --einstellungen       jede Zeile von Kestrova.ini mit Namen, Schlüssel, Wert\n"
               "                        und Bedeutung ausgeben und enden\n"
               "  --einstellungen --bestaetigen\n"
               "                        die geltenden Einstellungen als eigene bestätigen (wie\n"
               "                        „Speichern“): alte Aufnahmen werden wieder gelöscht\n"
               "  --setze NAME=WERT ... Einstellungen nach Namen oder Schlüssel setzen, mit den\n"
               "                        Prüfungen des Einstellungsfensters sicher speichern und\n"
               "                        enden; bei einer Ablehnung bleibt alles unverändert\n"
               "                        (etwa: --setze \"Aufnahmen behalten=7\" funkkreis=2);\n"
               "                        auch die Zeilen der anderen Einstellungsdateien, etwa\n"
               "                        web.adresse oder dienst.eingang (--einstellungen nennt sie)\n"
               "  --version             die Version ausgeben und enden\n"
               "  --help                diesen Text ausgeben und enden\n\n"
               "Mit LANG=C erscheinen diese Hilfe und die Meldungen der Befehlszeile auf Englisch.\n")
        .arg(executable);
}

bool isWritableFolder(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        return false;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kestrova-write-test-XXXXXX")));
    return probe.open();
}

namespace {

QString comparablePath(const QString& folder) {
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

} // namespace

// Everything below /usr belongs to the system's packages or to the local
// administrator; the configured prefix covers installations elsewhere (/opt). An
// installation under any other prefix is known by its layout: the program's shared
// files in share/kestrova beside its bin folder.
bool isInstalledProgramFolder(const QString& executableFolder, const QString& installBinFolder) {
    if (executableFolder.isEmpty()) {
        return false;
    }
    const QString folder = comparablePath(executableFolder);
    if (folder == QStringLiteral("/usr") || folder.startsWith(QStringLiteral("/usr/"))) {
        return true;
    }
    if (QFileInfo(QDir(folder).filePath(QStringLiteral("../share/kestrova"))).isDir()) {
        return true;
    }
    return !installBinFolder.isEmpty() && folder == comparablePath(installBinFolder);
}

ProgramFolderChoice chooseProgramFolder(const ProgramFolderCandidates& candidates) {
    if (!candidates.requested.isEmpty()) {
        return {QDir::cleanPath(QFileInfo(candidates.requested).absoluteFilePath()), false, false};
    }
    const bool installed = isInstalledProgramFolder(candidates.executableFolder, candidates.installBinFolder);
    if (!installed && isWritableFolder(candidates.executableFolder)) {
        return {QDir::cleanPath(candidates.executableFolder), false, false};
    }
    QDir().mkpath(candidates.userDataFolder);
    return {QDir::cleanPath(candidates.userDataFolder), !installed, installed};
}

QString programFolderNotice(const ProgramFolderChoice& choice) {
    const QString where = QDir::toNativeSeparators(choice.folder);
    if (choice.installed) {
        // Said at every start: an operator who started from the desktop menu must
        // still learn where the recordings go.
        return QStringLiteral("Einstellungen und Aufnahmen liegen in ") + where;
    }
    if (!choice.fellBack) {
        return {};
    }
    return QStringLiteral("Der Programmordner ist schreibgeschützt; Einstellungen und Aufnahmen liegen in ") +
           where;
}

} // namespace kestrova
