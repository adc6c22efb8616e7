// The faster speeds through rx.wav and the normal-speed restart.
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SoundForm.h"
#include "player/SoundWindowFixture.h"

#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <map>

namespace kestrova::test {
namespace {

class SpeedVariantsTest : public SoundWindowFixture {
protected:
    struct Speed {
        LabelButton* SoundForm::*label;
        char low;
        char high;
        int rate;
    };

    static std::vector<Speed> speeds() {
        return {
            {&SoundForm::lblFreq1, char(0x5F), char(0x2F), 12'127},
            {&SoundForm::lblFreq2, char(0xFC), char(0x37), 14'332},
            {&SoundForm::lblFreq3, char(0x90), char(0x40), 16'528},
        };
    }

    std::vector<LabelButton*> pressedLabels() const {
        std::vector<LabelButton*> pressed;
        SoundForm& sound = *program->frm_Oszi;
        for (LabelButton* label : {sound.lblFreqNorm, sound.lblFreq1, sound.lblFreq2, sound.lblFreq3}) {
            if (isPressed(label)) {
                pressed.push_back(label);
            }
        }
        return pressed;
    }

    int slider() const { return program->frm_Oszi->slider->value(); }
};

TEST_F(SpeedVariantsTest, EachFasterLabelPlaysTheFileWithOnlyItsRateBytesReplaced) {
    const QByteArray original = wav(1, 11025, 8, varied(70'001)) + QByteArray("trailing bytes");
    const QString path = write(QStringLiteral("in/rec.wav"), original);
    Player& p = load(path);
    for (const Speed& speed : speeds()) {
        played();
        QTest::mouseClick(program->frm_Oszi->*speed.label, Qt::LeftButton);
        QByteArray expected = original;
        expected[24] = speed.low;
        expected[25] = speed.high;
        EXPECT_EQ(read(p.speedLabels().rxWavePath()), expected) << speed.rate;
        EXPECT_EQ(p.waveInfo().sampleRate, speed.rate);
        EXPECT_EQ(p.currentFile(), p.speedLabels().rxWavePath());
        EXPECT_EQ(pressedLabels(), std::vector<LabelButton*>{program->frm_Oszi->*speed.label});
        EXPECT_EQ(played(), Plays({{p.speedLabels().rxWavePath(), 0}}));
        EXPECT_TRUE(p.playing());
    }
    EXPECT_EQ(read(path), original); // the loaded file itself is never touched
}

TEST_F(SpeedVariantsTest, OtherRatesAreSpedUpByTheSameFactorsInTheWholeRateField) {
    // 1.1, 1.3 and 1.5 times the file's rate; 66,112 needs the rate's third byte.
    const std::map<int, std::vector<quint32>> expectedRates{
        {8000, {8800, 10'400, 11'993}},
        {22'050, {24'254, 28'664, 33'056}},
        {44'100, {48'508, 57'328, 66'112}},
    };
    for (const auto& [fileRate, rates] : expectedRates) {
        const QByteArray original = wav(1, quint32(fileRate), 8, varied(3000));
        Player& p = load(write(QStringLiteral("rec%1.wav").arg(fileRate), original));
        for (std::size_t i = 0; i < rates.size(); ++i) {
            p.speedLabels().choose(static_cast<int>(i) + 1);
            QByteArray expected = original;
            QByteArray rate;
            putLe(rate, rates[i], 4);
            expected.replace(24, 4, rate);
            EXPECT_EQ(read(p.speedLabels().rxWavePath()), expected) << fileRate << " " << i;
            EXPECT_EQ(p.waveInfo().sampleRate, qint32(rates[i]));
            EXPECT_TRUE(p.playing());
        }
    }
}

TEST_F(SpeedVariantsTest, AFasterLabelGoesOnAtTheFractionReachedAndNormalSpeedRestartsWhereThatBegan) {
    const QString path = write(QStringLiteral("rec.wav"), wav(1, 11025, 8, varied(40'000)));
    Player& p = load(path);
    // Before anything was played a faster speed starts at the beginning.
    EXPECT_EQ(p.pos(), 0);
    EXPECT_EQ(p.startPos(), 0);
    p.speedLabels().choose(SpeedLabels::kNormalSpeed);
    tickAt(10'000);
    ASSERT_EQ(p.pos(), 500'000);
    played();

    p.speedLabels().stopForSpeed(1);
    EXPECT_EQ(p.startPos(), 500'000);
    EXPECT_EQ(slider(), 500'000);
    p.speedLabels().playAtSpeed(1);
    EXPECT_EQ(played(), Plays({{p.speedLabels().rxWavePath(), 10'000}}));
    EXPECT_EQ(slider(), 500'000);

    tickAt(15'000); // further on in the faster copy
    p.speedLabels().stopForSpeed(SpeedLabels::kNormalSpeed);
    EXPECT_EQ(slider(), 500'000);
    EXPECT_EQ(pressedLabels(), std::vector<LabelButton*>{program->frm_Oszi->lblFreqNorm});
    p.speedLabels().playAtSpeed(SpeedLabels::kNormalSpeed);
    EXPECT_EQ(played(), Plays({{path, 10'000}}));
    EXPECT_EQ(p.currentFile(), path);
}

TEST_F(SpeedVariantsTest, WithoutAWritableCopyNothingPlaysRatherThanAnOldCopy) {
    const QString first = write(QStringLiteral("first.wav"), wav(1, 11025, 8, varied(4000)));
    Player& p = load(first);
    p.speedLabels().choose(1);
    const QByteArray firstCopy = read(p.speedLabels().rxWavePath());

    // A file that is no WAVE file gets no copies: rx.wav keeps the first file and is not played.
    const QString other =
        write(QStringLiteral("other.wav"), wav(1, 11025, 8, varied(4000)).replace(0, 4, QByteArray("RIFX")));
    load(other);
    EXPECT_TRUE(fakes.dialogs.sawMessageContaining(QStringLiteral("Unknown Wave Format")));
    p.stop();
    played();
    p.speedLabels().choose(2);
    EXPECT_EQ(read(p.speedLabels().rxWavePath()), firstCopy);
    EXPECT_FALSE(p.playing());
    EXPECT_TRUE(pressedLabels().empty());

    // rx.wav that cannot be written (a folder stands in its place).
    load(first);
    QFile::remove(p.speedLabels().rxWavePath());
    ASSERT_TRUE(QDir().mkpath(p.speedLabels().rxWavePath()));
    played();
    p.speedLabels().choose(3);
    EXPECT_FALSE(p.playing());
    EXPECT_TRUE(played().empty());
    EXPECT_TRUE(pressedLabels().empty());
    EXPECT_EQ(p.currentFile(), first);
}

TEST_F(SpeedVariantsTest, TheRestartReadsTheHeaderAgainAndKeepsTheDeleteButtonOffWhilePlaying) {
    const QString path = write(QStringLiteral("rec.wav"), wav(1, 11025, 8, varied(4000)));
    Player& p = load(path);
    p.setCurrentFile(QDir(folder()).path() + QLatin1Char('/'));
    p.loader().reloadPlayerFile();
    EXPECT_TRUE(p.currentFile().isEmpty()); // a folder is not a file
    EXPECT_EQ(p.loadedFile(), path);
    p.speedLabels().choose(SpeedLabels::kNormalSpeed);
    EXPECT_FALSE(program->frm_DoKu->cmd_File_lö->isEnabled());
    EXPECT_TRUE(p.playing());
}

} // namespace
} // namespace kestrova::test
