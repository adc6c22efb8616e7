// The serial control lines, the push-to-talk button and the pin fields' key filters.
#include "base/transmit/Transmitter.h"

#include "base/settings/SettingsValues.h"
#include "gui/app/Settings.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "support/FakePlatform.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QStatusBar>
#include <QTest>

namespace kestrova::test {
namespace {

const QString kNoPort = QStringLiteral("Kein Anschluß");

class TransmitterTest : public ProgramFixture {
protected:
    // Port "2", the given pin line, transmitter control as given.
    Transmitter& start(const QString& pins, const QString& enabled = QStringLiteral("1"),
                       const QString& port = QStringLiteral("2")) {
        writeIni(defaultIni({{7, port}, {8, pins}, {20, enabled}}));
        startProgram();
        return program->transmitter();
    }
    LabelButton* tx() { return program->frm_Oszi->lbl_TX; }
    int messagesWith(const QString& text) const {
        int count = 0;
        for (const ShownMessage& m : fakes.dialogs.messages) {
            count += m.text == text ? 1 : 0;
        }
        return count;
    }
    QStringList eventsSinceStart() const { return fakes.serial.events.mid(startEvents); }
    void markStart() { startEvents = fakes.serial.events.size(); }
    qsizetype startEvents = 0;
};

// Each reading of the settings opens the port twice; neither open may raise the keying line.
TEST_F(TransmitterTest, OpeningNeverKeysAndLeavesTheRestStateOfEachPin) {
    start(QStringLiteral("46-0"));
    EXPECT_EQ(fakes.serial.openedNames,
              QStringList({QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS1")}));
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR-", "RTS+", "DTR-", "RTS-", "close", "DTR-", "RTS+"}));
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_TRUE(fakes.serial.rts);
}

TEST_F(TransmitterTest, OpeningForPinSevenRaisesNoLineAtAll) {
    start(QStringLiteral("76-0"));
    EXPECT_EQ(fakes.serial.events, QStringList({"DTR-", "RTS-", "DTR-", "RTS-", "close", "DTR-", "RTS-"}));
}

TEST_F(TransmitterTest, PinFourKeysOnDtrAndKeepsRtsHigh) {
    Transmitter& t = start(QStringLiteral("46-0"));
    markStart();
    t.transmitterOn();
    EXPECT_TRUE(fakes.serial.dtr);
    EXPECT_TRUE(fakes.serial.rts);
    t.transmitterOff();
    EXPECT_FALSE(fakes.serial.dtr);
    EXPECT_TRUE(fakes.serial.rts);
    EXPECT_EQ(eventsSinceStart(), QStringList({"DTR+", "DTR-"}));
}

TEST_F(TransmitterTest, PinSevenAndAnyOtherPinKeyOnRtsWithDtrLow) {
    for (const QString& pins : {QStringLiteral("76-0"), QStringLiteral("56-0")}) {
        SCOPED_TRACE(pins.toStdString());
        fakes.serial.events.clear();
        Transmitter& t = start(pins);
        markStart();
        t.transmitterOn();
        EXPECT_FALSE(fakes.serial.dtr);
        EXPECT_TRUE(fakes.serial.rts);
        t.transmitterOff();
        EXPECT_FALSE(fakes.serial.dtr);
        EXPECT_FALSE(fakes.serial.rts);
        EXPECT_EQ(eventsSinceStart(), QStringList({"RTS+", "DTR-", "RTS-"}));
        program.reset();
    }
}

TEST_F(TransmitterTest, TwoClicksOnTheButtonKeyAndUnkeyWithTheirLooks) {
    start(QStringLiteral("76-0"));
    program->frm_Oszi->show();
    QTest::mouseClick(tx(), Qt::LeftButton);
    EXPECT_TRUE(isPressed(tx()));
    EXPECT_TRUE(fakes.serial.rts);
    QTest::qWait(QApplication::doubleClickInterval() + 50); // two clicks, not a double click
    QTest::mouseClick(tx(), Qt::LeftButton);
    EXPECT_FALSE(isPressed(tx()));
    EXPECT_EQ(tx()->border(), LabelBorder::Raised);
    EXPECT_FALSE(fakes.serial.rts);
}

TEST_F(TransmitterTest, NoPortChosenOpensNothingAndNoLineEverChanges) {
    Transmitter& t = start(QStringLiteral("46-0"), QStringLiteral("1"), QStringLiteral("0"));
    t.transmitterOn();
    t.togglePushToTalk();
    t.transmitterOff();
    EXPECT_TRUE(fakes.serial.openedNames.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    EXPECT_TRUE(tx()->isHidden());
}

TEST_F(TransmitterTest, ControlSwitchedOffOpensNothing) {
    Transmitter& t = start(QStringLiteral("46-0"), QStringLiteral("0"));
    t.transmitterOn();
    EXPECT_TRUE(fakes.serial.openedNames.isEmpty());
    EXPECT_TRUE(fakes.serial.events.isEmpty());
    EXPECT_TRUE(t.readSquelchLine().isEmpty());
}

TEST_F(TransmitterTest, SwitchingTheControlOffWhileKeyedReleasesThePort) {
    Transmitter& t = start(QStringLiteral("76-0"));
    t.transmitterOn();
    program->settings().store().change([](SettingsValues& values) { values.txControlEnabled = 0; });
    t.openControlPort();
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_EQ(fakes.serial.events.last(), QStringLiteral("close"));
}

TEST_F(TransmitterTest, APortThatCannotBeOpenedIsReportedWithPortAndReasonAndHidesTheButton) {
    fakes.serial.openable = false;
    fakes.serial.openFailure = SerialFailure::NoPermission;
    Transmitter& t = start(QStringLiteral("46-0"));
    EXPECT_GE(messagesWith(kNoPort), 1);
    EXPECT_EQ(fakes.dialogs.messages.back().text, kNoPort);
    QStatusBar* bar = program->frm_DoKu->sb;
    EXPECT_TRUE(
        bar->currentMessage().startsWith(QStringLiteral("Kein Anschluß an /dev/ttyS1: Keine Berechtigung")));
    EXPECT_TRUE(bar->currentMessage().contains(QStringLiteral("\"dialout\"")));
    EXPECT_TRUE(tx()->isHidden());
    t.transmitterOn();
    EXPECT_TRUE(fakes.serial.events.isEmpty());

    const std::pair<SerialFailure, const char*> reasons[] = {
        {SerialFailure::Missing, "Die Schnittstelle gibt es nicht."},
        {SerialFailure::InUse, "Die Schnittstelle wird von einem anderen Programm benutzt."},
        {SerialFailure::NoControlLines, "Die Leitungen DTR und RTS lassen sich nicht schalten."},
    };
    for (const auto& [failure, text] : reasons) {
        fakes.serial.openFailure = failure;
        t.openControlPort();
        EXPECT_EQ(bar->currentMessage(),
                  QStringLiteral("Kein Anschluß an /dev/ttyS1: ") + QString::fromUtf8(text));
    }
}

// A USB adapter pulled out while keyed: one report, port closed, the program runs on.
TEST_F(TransmitterTest, APortFailingWhileKeyedIsReportedOnceAndClosed) {
    Transmitter& t = start(QStringLiteral("46-0"));
    t.togglePushToTalk();
    ASSERT_TRUE(fakes.serial.dtr);
    fakes.serial.failed = true;
    // Timers go on while the message box is open.
    fakes.dialogs.whileMessageOpen = [&t](const ShownMessage&) {
        t.transmitterOn();
        t.transmitterOff();
        t.readSquelchLine();
    };

    t.togglePushToTalk();
    EXPECT_EQ(messagesWith(kNoPort), 1);
    EXPECT_EQ(fakes.serial.events.last(), QStringLiteral("close"));
    EXPECT_FALSE(t.hasControlPort());
    EXPECT_FALSE(isPressed(tx()));

    const QStringList before = fakes.serial.events;
    t.transmitterOn();
    t.transmitterOff();
    EXPECT_TRUE(t.readSquelchLine().isEmpty());
    EXPECT_EQ(fakes.serial.events, before);
    EXPECT_EQ(messagesWith(kNoPort), 1);
}

TEST_F(TransmitterTest, AFailedStatusReadIsReportedOnceToo) {
    Transmitter& t = start(QStringLiteral("46-0"));
    fakes.serial.failed = true;
    EXPECT_TRUE(t.readSquelchLine().isEmpty());
    EXPECT_TRUE(t.readSquelchLine().isEmpty());
    EXPECT_EQ(messagesWith(kNoPort), 1);
    EXPECT_FALSE(t.hasControlPort());
}

TEST_F(TransmitterTest, TheSquelchLineIsReadFromThePinsStatusLine) {
    Transmitter& t = start(QStringLiteral("46-0")); // "6-": inverted, read as it is here
    EXPECT_EQ(t.readSquelchLine(), QStringLiteral("0"));
    fakes.serial.status.dsr = true;
    EXPECT_EQ(t.readSquelchLine(), QStringLiteral("1"));
    fakes.serial.status = {true, false, true, true};
    EXPECT_EQ(t.readSquelchLine(), QStringLiteral("0"));
}

// Keyed by a direct call (as the timed action does), the end must still un-key first.
TEST_F(TransmitterTest, TheProgramsEndUnkeysBeforeTheCloses) {
    Transmitter& t = start(QStringLiteral("76-0"));
    t.transmitterOn();
    program.reset();
    EXPECT_FALSE(fakes.serial.rts);
    EXPECT_FALSE(fakes.serial.dtr);
    const QStringList& events = fakes.serial.events;
    ASSERT_GE(events.size(), 2);
    EXPECT_EQ(events.last(), QStringLiteral("close"));
    EXPECT_EQ(events.at(events.size() - 2), QStringLiteral("RTS-"));
}

// The pin field forces DTR at once; a transmitter keyed on RTS before must still come off.
TEST_F(TransmitterTest, AWrongPttKeyIsCorrectedToFourAndKeysOnDtrFromThen) {
    Transmitter& t = start(QStringLiteral("76-0"));
    t.transmitterOn();
    EXPECT_EQ(t.pttPinTyped(QLatin1Char('5')), QLatin1Char('4'));
    EXPECT_EQ(program->settings().values.pttPin, 4);
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(
        fakes.dialogs.messages[0].text,
        QStringLiteral(
            "Zur Sendersteuerung stehen nur \rPin 4 (DTR) oder Pin 7 (RTS)\rzur Verfügung!\r\r(Sub D9)"));
    EXPECT_TRUE(fakes.dialogs.messages[0].title.isEmpty());
    t.transmitterOff();
    EXPECT_FALSE(fakes.serial.rts);
    t.transmitterOn();
    EXPECT_TRUE(fakes.serial.dtr);

    for (const char accepted : {'4', '7'}) {
        EXPECT_EQ(t.pttPinTyped(QLatin1Char(accepted)), QLatin1Char(accepted));
    }
    EXPECT_EQ(fakes.dialogs.messages.size(), 1u);
}

TEST_F(TransmitterTest, TypingFiveIntoThePinFieldLeavesItReadingFour) {
    start(QStringLiteral("76-0"));
    QComboBox* pin = program->frm_Einstellungen->cb_PIN;
    QTest::keyClick(pin, Qt::Key_5);
    EXPECT_EQ(pin->currentText(), QStringLiteral("4"));
}

TEST_F(TransmitterTest, TheSquelchFieldRefusesEveryKeyButEnterNamingItsPins) {
    Transmitter& t = start(QStringLiteral("46-0"));
    QComboBox* squelch = program->frm_Einstellungen->cb_PIN_RX;
    for (const char refused : {'6', 'x'}) {
        squelch->setEditText(QStringLiteral("6-"));
        EXPECT_TRUE(t.squelchPinTyped(QLatin1Char(refused)).isNull());
        EXPECT_TRUE(squelch->currentText().isEmpty());
    }
    ASSERT_EQ(fakes.dialogs.messages.size(), 2u);
    const QString text = fakes.dialogs.messages[0].text;
    for (const char* pin : {"Pin 1", "Pin 6", "Pin 8", "Pin 9"}) {
        EXPECT_TRUE(text.contains(QLatin1String(pin))) << pin;
    }
    EXPECT_EQ(program->settings().values.squelchPin, 6);
    // Enter in either field takes its text, whatever the pin.
    for (QComboBox* field : {program->frm_Einstellungen->cb_PIN, squelch}) {
        field->setEditText(QStringLiteral("5"));
        QTest::keyClick(field, Qt::Key_Return);
    }
    EXPECT_EQ(fakes.dialogs.messages.size(), 2u);
}

TEST_F(TransmitterTest, WithoutTransmitterControlThePinFieldsTakeEveryKey) {
    Transmitter& t = start(QStringLiteral("46-0"), QStringLiteral("0"));
    EXPECT_EQ(t.pttPinTyped(QLatin1Char('5')), QLatin1Char('5'));
    EXPECT_EQ(t.squelchPinTyped(QLatin1Char('6')), QLatin1Char('6'));
    EXPECT_EQ(program->settings().values.pttPin, 4);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

} // namespace
} // namespace kestrova::test
