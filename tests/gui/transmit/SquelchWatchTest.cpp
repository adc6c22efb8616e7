// Parrot mode's squelch watch: the sense of the squelch setting and the abort of the cycle.
#include "automation/CqFixture.h"
#include "base/settings/SettingsFile.h"
#include "gui/app/Settings.h"
#include "gui/ui/SettingsForm.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>
#include <vector>

namespace kestrova::test {
namespace {

class SquelchWatchTest : public CqFixture {
protected:
    void setLine(int pin, bool asserted) {
        fakes.serial.status = ModemStatus{};
        bool* lines[] = {&fakes.serial.status.dcd, &fakes.serial.status.dsr, &fakes.serial.status.cts,
                         &fakes.serial.status.ri};
        const int index = pin == 1 ? 0 : pin == 6 ? 1 : pin == 8 ? 2 : 3;
        *lines[index] = asserted;
    }
    QString caption() { return main().lblrsp->text(); }
    void expectAborted() {
        EXPECT_EQ(caption(), QStringLiteral("TX_Mic"));
        EXPECT_FALSE(main().lblrsp->isEnabled());
        EXPECT_FALSE(isPressed(lblCQ()));
        EXPECT_FALSE(airTimer());
        EXPECT_FALSE(pauseTimer());
        EXPECT_TRUE(watchTimer()); // the abort leaves the watch running
        EXPECT_FALSE(keyed());
        EXPECT_FALSE(isPressed(tx()));
        EXPECT_FALSE(program->player().playing());
    }
};

TEST_F(SquelchWatchTest, EachSettingTellsAFreeChannelFromABusyOne) {
    struct Case {
        const char* pins; // line 8 of the settings file
        int pin;
        bool freeWhenAsserted;
    };
    const Case cases[] = {
        {"41 1", 1, true}, {"41-0", 1, false}, {"46-0", 6, false}, {"48 1", 8, true}, {"49-0", 9, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pins);
        start(QString::fromLatin1(c.pins));
        setLine(c.pin, c.freeWhenAsserted);
        startCycle();
        cq().tmrRSP_Timer();
        EXPECT_EQ(caption(), QStringLiteral("Papagei"));
        EXPECT_TRUE(isPressed(lblCQ()));
        EXPECT_TRUE(keyed());

        setLine(c.pin, !c.freeWhenAsserted);
        cq().tmrRSP_Timer();
        expectAborted();
        program.reset();
    }
}

// One row of the README's table of line senses: the field as typed and whether
// the line is raised while the channel is free.
struct DocumentedSense {
    QString field;
    bool freeWhenRaised;
};

std::vector<DocumentedSense> readmeLineSenses() {
    QFile readme(QStringLiteral(KESTROVA_README));
    EXPECT_TRUE(readme.open(QIODevice::ReadOnly));
    static const QRegularExpression row(
        QStringLiteral(R"re(^\| pin .*for example "(\d-?)" \| (raised|lowered) \| (raised|lowered) \|$)re"),
        QRegularExpression::MultilineOption);
    std::vector<DocumentedSense> senses;
    auto rows = row.globalMatch(QString::fromUtf8(readme.readAll()));
    while (rows.hasNext()) {
        const QRegularExpressionMatch match = rows.next();
        EXPECT_NE(match.captured(2), match.captured(3)) << qPrintable(match.captured(0));
        senses.push_back({match.captured(1), match.captured(2) == QStringLiteral("raised")});
    }
    return senses;
}

TEST_F(SquelchWatchTest, TheReadmeTellsTheSenseTheWatchKeeps) {
    const std::vector<DocumentedSense> senses = readmeLineSenses();
    ASSERT_EQ(senses.size(), 2U);
    for (const DocumentedSense& sense : senses) {
        SCOPED_TRACE(qPrintable(sense.field));
        // The line as the form saves the field.
        start(packPinLine(QStringLiteral("4"), sense.field).line);
        const int pin = sense.field.left(1).toInt();
        setLine(pin, sense.freeWhenRaised);
        startCycle();
        cq().tmrRSP_Timer();
        EXPECT_TRUE(keyed());

        setLine(pin, !sense.freeWhenRaised);
        cq().tmrRSP_Timer();
        expectAborted();
        program.reset();
    }
}

TEST_F(SquelchWatchTest, WhileTheChannelStaysBusyEveryTickAbortsAgain) {
    start();
    startCycle();
    setLine(6, true);
    cq().squelchWatch();
    expectAborted();

    // Keying by hand lasts only until the next tick.
    program->transmitter().togglePushToTalk();
    ASSERT_TRUE(keyed());
    cq().squelchWatch();
    expectAborted();

    // A free channel restarts nothing.
    setLine(6, false);
    cq().squelchWatch();
    EXPECT_EQ(caption(), QStringLiteral("Papagei"));
    EXPECT_FALSE(main().lblrsp->isEnabled());
    EXPECT_FALSE(isPressed(lblCQ()));
    EXPECT_FALSE(airTimer());
    EXPECT_FALSE(keyed());

    // The watch looks before each keying too: a start on a busy channel, and the end
    // of a pause that finds it busy, never put the carrier up.
    setLine(6, true);
    fakes.serial.events.clear();
    cq().toggleCycle();
    expectAborted();
    EXPECT_FALSE(main().lblrsp->isHidden());
    setLine(6, false);
    cq().toggleCycle();
    ASSERT_TRUE(keyed());
    playToTheEnd();
    cq().tmrCQ_Timer();
    setLine(6, true);
    fakes.serial.events.removeAll(QStringLiteral("DTR+"));
    cq().tmrCQ_PAUSE_Timer();
    expectAborted();
    EXPECT_TRUE(fakes.serial.events.filter(QStringLiteral("DTR+")).isEmpty());
}

TEST_F(SquelchWatchTest, AfterAStopTheWatchStillStopsPlaybackOnABusyChannel) {
    start();
    startCycle();
    cq().stopCq();
    ASSERT_TRUE(watchTimer());
    program->player().speedLabels().playAtSpeed(SpeedLabels::kNormalSpeed);
    ASSERT_TRUE(program->player().playing());
    setLine(6, true);
    cq().tmrRSP_Timer();
    EXPECT_FALSE(program->player().playing());
    EXPECT_EQ(caption(), QStringLiteral("TX_Mic"));
}

TEST_F(SquelchWatchTest, WithoutTransmitterControlTheWatchStaysOff) {
    start(QStringLiteral("46-0"), QStringLiteral("0"));
    startCycle();
    EXPECT_FALSE(watchTimer());
    EXPECT_FALSE(main().lblrsp->isHidden());
}

} // namespace
} // namespace kestrova::test
