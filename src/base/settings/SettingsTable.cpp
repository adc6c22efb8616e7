#include "base/settings/SettingsTable.h"

#include "base/common/NumericValue.h"
#include "base/serial/SerialPortNames.h"
#include "base/settings/SettingsCheck.h"
#include "base/settings/SettingsFile.h"
#include "base/settings/SettingsValues.h"

#include <array>
#include <climits>
#include <cstdlib>

namespace kestrova {

namespace {

constexpr double kDay = 86400;
// The meter interval of a new settings file, in milliseconds.
constexpr long long kDefaultMeterIntervalMs = 10;

// What the holders take: check boxes, the threshold slider (0..100), timers and bars
// (0..INT_MAX), the upside-down volume slider, window edges (half the range, so that
// moving by the frame cannot overflow).
constexpr HeldRange kFlag{1, 0, 1, false};
constexpr HeldRange kOneDigit{1, 0, 9, false};
constexpr HeldRange kPercent{1, 0, 100, false};
constexpr HeldRange kTenths{10, 0, INT_MAX, false};
constexpr HeldRange kVolume{655.35, 0, 2 * 65535, true};
constexpr HeldRange kMilliseconds{1, 0, INT_MAX, false};
constexpr HeldRange kSeconds{1000, 0, INT_MAX, false};
constexpr HeldRange kTwips{1, INT_MIN / 2, INT_MAX / 2, false};

constexpr std::array<const char*, 4> kSampleRates{"8000", "11025", "22050", "44100"};

constexpr SettingsRule text() {
    return {SettingsRuleKind::Text, {}, nullptr, {}};
}
constexpr SettingsRule flag() {
    return {SettingsRuleKind::Flag, {}, &kFlag, {}};
}
constexpr SettingsRule position() {
    return {SettingsRuleKind::Position, {}, &kTwips, {}};
}
// The upper limits of the form only keep the values within what timers and bars can hold.
constexpr SettingsRule number(FormNumberRange form, const HeldRange* held = nullptr) {
    return {SettingsRuleKind::Number, form, held, {}};
}
constexpr FormNumberRange upTo(double high) {
    return {0, high, false, false, false};
}
// A time of 0 leaves the recording bars without a range, a pause of 0 spins.
constexpr FormNumberRange aboveZeroUpTo(double high) {
    return {0, high, true, false, false};
}

int whole(const QString& text) {
    return static_cast<int>(roundToWhole(numericValue(text)));
}

using V = SettingsValues;
using G = SettingsGuesses;
using S = const QString;
using Take = void (*)(S& text, V& values, G& guesses);
constexpr SettingsValueSlot kHeldByItsControl{nullptr, nullptr, nullptr};

template <auto... members> bool differ(const V& before, const V& after) {
    return ((before.*members != after.*members) || ...);
}

// A line whose value goes into these members of SettingsValues, set by take.
template <auto... members> constexpr SettingsValueSlot sets(Take take) {
    return {take, differ<members...>, nullptr};
}

// clang-format off
const auto kRows = std::to_array<SettingsRow>({
    {2, "docFolder", "Dokumentationsordner",
     "Ordner, unter dem der Aufnahmeordner W und das Archiv Fk_… liegen",
     nullptr, nullptr, {SettingsRuleKind::Folder, {}, nullptr, {}},
     sets<&V::docFolder>([](S& t, V& v, G&) { v.docFolder = t.trimmed(); })},
    {3, "circuitName", "Name des Funkkreises",
     "Name des Funkkreises, im Hauptfenster gezeigt",
     "tolvo", "tolvo", text(),
     sets<&V::circuitName>([](S& t, V& v, G&) { v.circuitName = t; })},
    {4, "sampleRate", "Abtastrate",
     "Abtastrate der Aufnahmen in Hz: 8000, 11025, 22050 oder 44100",
     "11025", "8000",
     {SettingsRuleKind::Choice, {}, nullptr, kSampleRates},
     sets<&V::meterSampleRate>([](S& t, V& v, G&) { v.meterSampleRate = whole(t); })},
    {5, "channel", "Kanal",
     "Eingabegerät: seine Stelle in der Liste „Soundkarte“, ab 0",
     "0", "0", text(), kHeldByItsControl},
    // Recordings are named by this one digit. A line written by hand as "01", "1.0"
    // or "1 " reads as 1, so the list takes the names the recorder gives.
    {6, "circuitNumber", "Funkkreis",
     "Nummer des Funkkreises (eine Ziffer 0–9): die Aufnahmen heißen und listen sich nach ihr",
     "1", "1", number({0, 9, false, true, true}, &kOneDigit),
     sets<&V::circuitNumber>([](S& t, V& v, G&) { v.circuitNumber = roundToWhole(numericValue(t)); })},
    // A port the list lacks is no damage: the name is taken as it is.
    {7, "comPort", "COM-Port",
     "serielle Schnittstelle: eine Nummer 1–20 oder ein Gerätepfad wie /dev/ttyUSB0",
     "2", "2", text(),
     sets<&V::comPortName>([](S& t, V& v, G&) { v.comPortName = comPortNameFor(t); })},
    // Pins the lists lack are no damage either.
    {8, "pins", "PTT- und Squelch-Leitung",
     "PTT-Pin (4 DTR, 7 RTS) und Squelch-Pin (1 DCD, 6 DSR, 8 CTS, 9 RI), „-“ für umgekehrt: 4/6- oder 46-0",
     "46-0", "46-0", text(),
     sets<&V::pttPin, &V::squelchPin, &V::squelchActiveChar>([](S& t, V& v, G&) {
          const PinLine pins = unpackPinLine(t);
          v.pttPin = roundToWhole(numericValue(pins.pttText));
          v.squelchPin = roundToWhole(numericValue(pins.squelchText.left(1)));
          v.squelchActiveChar = pins.activeChar;
      })},
    {9, "startLevel", "Startpegel",
     "Schwelle auf der Pegelskala 0–100, über der eine Aufnahme beginnt",
     "67", "67", number(upTo(100), &kPercent),
     sets<&V::startLevel>([](S& t, V& v, G&) { v.startLevel = numericValue(t); })},
    // No number, or one too large: the stand-in 0 is not the user's, so the deletion pass waits.
    {10, "minimumTime", "Aufnahme mindestens",
     "kürzere Aufnahmen werden nicht behalten, in Sekunden",
     "20", "20", number(aboveZeroUpTo(kDay), &kTenths),
     sets<&V::minRecordLimit>([](S& t, V& v, G& g) {
          v.minRecordLimit = 10 * numericValue(t);
          g.minimum = !isCountableNumber(t);
      })},
    {11, "maximumTime", "Aufnahme höchstens",
     "längste Aufnahme, in Sekunden",
     "180", "180", number(aboveZeroUpTo(kDay), &kTenths),
     sets<&V::maxRecordLimit>([](S& t, V& v, G&) { v.maxRecordLimit = 10 * numericValue(t); })},
    {12, "silencePause", "Pause nach Stille",
     "Stille in Sekunden, nach der die Aufnahme pausiert",
     "5", "5", number(upTo(kDay)),
     sets<&V::silencePauseLimit>([](S& t, V& v, G&) { v.silencePauseLimit = numericValue(t); })},
    {13, "signalPause", "Pause nach Signal",
     "nur gespeichert und angezeigt",
     "10", "10", number(upTo(kDay)), kHeldByItsControl},
    // As for the minimum time: a stand-in 0 must not decide what is deleted.
    {14, "keepDays", "Aufnahmen behalten",
     "so viele Tage bleibt eine Aufnahme im Ordner W",
     "3", "3", number(upTo(100000)),
     sets<&V::retentionDays>([](S& t, V& v, G& g) {
          v.retentionDays = numericValue(t);
          g.retention = !isCountableNumber(t);
      })},
    // The volume slider runs upside down: 100 % is its value 0.
    {15, "volume", "Lautstärke",
     "Lautstärke der Wiedergabe in Prozent",
     "50", "50", number(upTo(100), &kVolume),
     sets<&V::outputLevel, &V::volumePercent>([](S& t, V& v, G&) {
          v.volumePercent = numericValue(t);
          v.outputLevel = static_cast<int>(65535 - std::llabs(wholePart(v.volumePercent * 655.35) - 65535));
      })},
    {16, "autoStart", "Recorder automatisch starten",
     "Recorder beim Programmstart einschalten (1) oder nicht (0)",
     "0", "0", flag(),
     sets<&V::autoStart>([](S& t, V& v, G&) { v.autoStart = whole(t); })},
    {17, "levelVisible", "Pegel sichtbar",
     "nur gespeichert und angezeigt (0 oder 1)",
     "1", "1", flag(), kHeldByItsControl},
    {18, "logarithmicLevel", "Pegel logarithmisch anzeigen",
     "Pegel logarithmisch anzeigen (1) oder linear (0)",
     "0", "0", flag(),
     sets<&V::logLevelDisplay>([](S& t, V& v, G&) { v.logLevelDisplay = whole(t); })},
    {19, "dailyFolders", "In Tagesordnern archivieren",
     "jede Aufnahme auch ins Archiv nach Tagen ablegen (1) oder nicht (0)",
     "1", "1", flag(),
     sets<&V::archiveRecordings>([](S& t, V& v, G&) { v.archiveRecordings = whole(t); })},
    {20, "transmitterControl", "Sender über COM-Port tasten",
     "Sender über die serielle Schnittstelle tasten (1) oder nicht (0)",
     "0", "0", flag(),
     sets<&V::txControlEnabled>([](S& t, V& v, G&) { v.txControlEnabled = whole(t); })},
    // Not on the form: the program counts the recordings.
    {21, "recordingCount", "Anzahl der Aufnahmen",
     "Anzahl der Aufnahmen beim letzten Auflisten; vom Programm gezählt",
     "0", "0", text(),
     {[](S& t, V& v, G&) { v.fileCount = roundToWhole(numericValue(t)); }, differ<&V::fileCount>,
      [](const V& v) { return QString::number(v.fileCount); }}},
    // A text that is no number would give 0, which stops the meter, and no transmission
    // would be heard: the meter keeps the default of a new file instead, said as a guess.
    {22, "meterInterval", "Pegel-Intervall",
     "Takt der Pegelanzeige in Millisekunden",
     "10", "10", number({0, 60000, true, true, false}, &kMilliseconds),
     sets<&V::meterInterval>([](S& t, V& v, G& g) {
          g.meterInterval = !isCountableNumber(t);
          v.meterInterval = g.meterInterval ? kDefaultMeterIntervalMs : whole(t);
      })},
    {23, "settingsAtStart", "Einstellungen beim Start zeigen",
     "Einstellungen beim Start zeigen (1), wenn der Recorder selbst startet",
     "1", "1", flag(),
     sets<&V::showSettingsAtStart>([](S& t, V& v, G&) { v.showSettingsAtStart = whole(t); })},
    {24, "continuousPlay", "Fortlaufend abspielen",
     "im Tonfenster fortlaufend abspielen (1) oder nicht (0)",
     "1", "1", flag(), kHeldByItsControl},
    // Any number but 0 and 1 is taken too: it puts Auto-CQ and the parrot out of reach.
    {25, "parrot", "Papagei",
     "Papagei-Betrieb und Auto-CQ (1) oder aus (0)",
     "0", "0", text(),
     sets<&V::parrotState>([](S& t, V& v, G&) { v.parrotState = numericValue(t); })},
    {26, "cqPause", "CQ-Pause",
     "Pause zwischen zwei CQ-Rufen, in Sekunden",
     "6", "6", number(aboveZeroUpTo(kDay), &kSeconds),
     sets<&V::cqPause>([](S& t, V& v, G&) { v.cqPause = static_cast<int>(roundToWhole(numericValue(t) * 1000)); })},
    {27, "mainLeft", "Hauptfenster links",
     "linker Rand des Hauptfensters in Twips (15 Twips sind ein Pixel)",
     "15", "15", position(), kHeldByItsControl},
    {28, "mainTop", "Hauptfenster oben",
     "oberer Rand des Hauptfensters in Twips",
     "15", "15", position(), kHeldByItsControl},
    {29, "settingsLeft", "Einstellungen links",
     "linker Rand des Einstellungsfensters in Twips",
     "15", "15", position(), kHeldByItsControl},
    {30, "settingsTop", "Einstellungen oben",
     "oberer Rand des Einstellungsfensters in Twips",
     "6375", "5205", position(), kHeldByItsControl},
});
// clang-format on

bool isChoice(const SettingsRule& rule, const QString& text) {
    for (const char* choice : rule.choices) {
        if (text == QLatin1String(choice)) {
            return true;
        }
    }
    return false;
}

bool withinHeldRange(const HeldRange& range, const QString& text) {
    const double scaled = numericValue(text) * range.scale;
    const long long held = range.wholePartOnly ? wholePart(scaled) : roundToWhole(scaled);
    return held >= range.low && held <= range.high;
}

} // namespace

const int kSettingsLineCount = static_cast<int>(std::tuple_size_v<decltype(kRows)>) + 1;

std::span<const SettingsRow> settingsRows() {
    return kRows;
}

const SettingsRow* settingsRow(QStringView key) {
    for (const SettingsRow& row : kRows) {
        if (key == QLatin1String(row.key)) {
            return &row;
        }
    }
    return nullptr;
}

bool readingTakes(const SettingsRow& row, const QString& text) {
    if (row.rule.kind == SettingsRuleKind::Choice && !isChoice(row.rule, text)) {
        return false;
    }
    return row.rule.held == nullptr || withinHeldRange(*row.rule.held, text);
}

QString formRefusal(const SettingsRow& row, const QString& text) {
    // Read as it stands, an empty folder would put the recordings wherever the
    // program happens to be started from.
    if (row.rule.kind == SettingsRuleKind::Folder && text.trimmed().isEmpty()) {
        return QStringLiteral(
                   "Das Feld \"%1\" ist leer.\rDie Aufnahmen lägen sonst in dem Ordner, aus dem das "
                   "Programm gestartet wird.\r\rDie Einstellungen wurden nicht gespeichert.")
            .arg(QString::fromUtf8(row.fieldName));
    }
    if (row.rule.kind != SettingsRuleKind::Number) {
        return {};
    }
    const FormNumberRange& form = row.rule.form;
    return numberFieldRefusal(text, {QString::fromUtf8(row.fieldName), form.low, form.high, form.aboveLow,
                                     form.whole, form.oneDigit});
}

QString guessedValues(const SettingsGuesses& guesses) {
    const auto field = [](const char* key) {
        return QString::fromUtf8(settingsRow(QString::fromLatin1(key))->fieldName);
    };
    QStringList notes;
    if (guesses.retention) {
        notes << QStringLiteral("„%1“ ist keine gültige Zahl.").arg(field("keepDays"));
    }
    if (guesses.minimum) {
        notes << QStringLiteral("„%1“ ist keine gültige Zahl.").arg(field("minimumTime"));
    }
    if (guesses.meterInterval) {
        notes << QStringLiteral("„%1“ ist keine gültige Zahl; der Pegel wird alle %2 ms gemessen.")
                     .arg(field("meterInterval"))
                     .arg(kDefaultMeterIntervalMs);
    }
    return notes.join(QLatin1Char(' '));
}

bool readSettingsValues(const QStringList& lines, SettingsValues& values, SettingsGuesses& guesses) {
    if (lines.size() < kSettingsLineCount) {
        return false;
    }
    for (const SettingsRow& row : kRows) {
        if (!readingTakes(row, lines.at(row.line - 1))) {
            return false;
        }
    }
    for (const SettingsRow& row : kRows) {
        if (row.value.take != nullptr) {
            row.value.take(lines.at(row.line - 1), values, guesses);
        }
    }
    return true;
}

} // namespace kestrova
