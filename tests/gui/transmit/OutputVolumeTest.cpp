// The volume slider, the level sent to the output device and the stored percentage.
#include "base/transmit/Transmitter.h"
#include "gui/app/Settings.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "support/ProgramFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

namespace kestrova::test {
namespace {

class OutputVolumeTest : public ProgramFixture {
protected:
    QSlider* slider() { return program->frm_Oszi->sli_Lautst; }
    void moveTo(int value) {
        slider()->setValue(value);
        program->transmitter().chooseVolume(slider()->sliderPosition());
    }
};

TEST_F(OutputVolumeTest, SliderPositionsGiveLevelVolumeAndPercentage) {
    startProgram();
    struct Case {
        int slider;
        int level;
        const char* percent;
    };
    for (const Case& c : {Case{0, 65535, "100"}, Case{65535, 0, "0"}, Case{32767, 32768, "51"}}) {
        SCOPED_TRACE(c.slider);
        moveTo(c.slider);
        EXPECT_EQ(program->settings().values.outputLevel, c.level);
        ASSERT_FALSE(fakes.audioOutput.volumes.empty());
        EXPECT_EQ(fakes.audioOutput.volumes.back().value, std::uint32_t(c.level) * 65537u);
        EXPECT_EQ(program->frm_Einstellungen->ed_PlayPegel->text(), QLatin1String(c.percent));
    }
    moveTo(0);
    EXPECT_EQ(fakes.audioOutput.volumes.back().value, 0xFFFFFFFFu);
}

TEST_F(OutputVolumeTest, TheStoredFiftyPercentSetsSliderAndLevel) {
    writeIni(defaultIni({{15, QStringLiteral("50")}}));
    startProgram();
    EXPECT_EQ(slider()->value(), 32768);
    EXPECT_EQ(program->settings().values.outputLevel, 32767);
    EXPECT_EQ(fakes.audioOutput.volumes.back().value, 32767u * 65537u);
}

TEST_F(OutputVolumeTest, TheVolumeGoesToTheOutputTwinOfTheSelectedInput) {
    fakes.audioInput.deviceList = {{QStringLiteral("Radio In"), true}, {QStringLiteral("Second In"), true}};
    startProgram();
    program->frm_Einstellungen->cb_Device->setCurrentIndex(1);
    moveTo(1000);
    EXPECT_EQ(fakes.audioOutput.volumes.back().device, 1);
}

// Only the user's moves apply a volume; the program setting the slider does not.
TEST_F(OutputVolumeTest, OnlyUserMovesOfTheSliderApplyTheVolume) {
    startProgram();
    const std::size_t before = fakes.audioOutput.volumes.size();
    slider()->setValue(1234);
    EXPECT_EQ(fakes.audioOutput.volumes.size(), before);
    slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ASSERT_EQ(fakes.audioOutput.volumes.size(), before + 1);
    EXPECT_EQ(program->settings().values.outputLevel, 65535 - slider()->value());
}

} // namespace
} // namespace kestrova::test
