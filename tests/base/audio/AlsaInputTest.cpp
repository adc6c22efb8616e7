#include "base/audio/AlsaInput.h"

#include "base/audio/AlsaConfiguration.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// ALSA on a configuration of the test's own: a source and a trap that leaves a file
// behind when it is opened.
class AlsaInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        QFile config(folder_.filePath("asound.conf"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write("pcm.!default { type null }\n"
                     "pcm.quelle { type null hint.description \"Quelle\" }\n"
                     "pcm.falle { type file slave.pcm { type null } file \"" +
                     trapFile().toUtf8() + "\" hint.description \"Falle\" }\n");
        config.close();
        hadPrevious_ = qEnvironmentVariableIsSet("ALSA_CONFIG_PATH");
        previous_ = qgetenv("ALSA_CONFIG_PATH");
        qputenv("ALSA_CONFIG_PATH", config.fileName().toUtf8());
        forgetAlsaConfiguration();
    }
    void TearDown() override {
        if (hadPrevious_) {
            qputenv("ALSA_CONFIG_PATH", previous_);
        } else {
            qunsetenv("ALSA_CONFIG_PATH");
        }
        forgetAlsaConfiguration();
    }
    QString trapFile() const { return folder_.filePath("falle-geoeffnet"); }

private:
    QTemporaryDir folder_;
    bool hadPrevious_ = false;
    QByteArray previous_;
};

std::vector<QString> namesOf(const std::vector<InputDeviceInfo>& devices) {
    std::vector<QString> names;
    for (const InputDeviceInfo& device : devices) {
        names.push_back(device.name);
    }
    return names;
}

std::size_t samplesWithin(InputStream& stream, int milliseconds) {
    std::vector<std::uint8_t> samples;
    const QDeadlineTimer deadline(milliseconds);
    while (samples.empty() && !deadline.hasExpired()) {
        stream.read(samples);
        QThread::msleep(10);
    }
    return samples.size();
}

TEST_F(AlsaInputTest, ListsWithoutOpeningAndOpensOnlyTheChosenDevice) {
    AlsaInput input;
    EXPECT_EQ(namesOf(input.devices()), (std::vector<QString>{"default", "quelle", "falle"}))
        << "the default first";
    for (const int position : {-1, 1}) {
        const std::unique_ptr<InputStream> stream = input.open(position, 11025);
        ASSERT_NE(stream, nullptr) << position;
        EXPECT_EQ(stream->sampleRate(), 11025);
        EXPECT_GT(samplesWithin(*stream, 2000), 0U) << position;
    }
    EXPECT_FALSE(QFile::exists(trapFile())) << "a device not chosen was opened";
    EXPECT_NE(input.open(2, 11025), nullptr);
    EXPECT_TRUE(QFile::exists(trapFile()));
    EXPECT_EQ(input.open(3, 11025), nullptr);
}

} // namespace
} // namespace kestrova
