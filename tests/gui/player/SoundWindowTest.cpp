// Opening files in the sound window: the dialog flow, loading, the drawing and the level bar.
#include "archive/RecordingFiles.h"
#include "base/common/NumericValue.h"
#include "base/settings/SettingsStore.h"
#include "base/transmit/Transmitter.h"
#include "gui/player/Player.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"
#include "gui/ui/WaveformView.h"
#include "player/SoundWindowFixture.h"
#include "support/FakePlatform.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

namespace kestrova::test {
namespace {

class SoundWindowTest : public SoundWindowFixture {
protected:
    MainForm& main() { return *program->frm_DoKu; }
    SoundForm& sound() { return *program->frm_Oszi; }
    QString shownFile() { return sound().lblFile->text(); }
};

TEST_F(SoundWindowTest, TheLabelOpensTheDialogAndTheTimerLoadsTheChosenFileForTmr1ToPlay) {
    Player& p = player();
    const QString path = write(QStringLiteral("chosen.wav"), wav(1, 11025, 8, varied(29'600)));
    fakes.dialogs.fileAnswers.push_back(path);
    program->frm_Einstellungen->ed_PfadDoku->setText(QStringLiteral(" /docs "));
    const int stops = fakes.sounds.stops;

    p.chooseFileToPlay();
    ASSERT_EQ(fakes.dialogs.fileRequests.size(), 1u);
    const FileDialogRequest& request = fakes.dialogs.fileRequests[0];
    EXPECT_EQ(request.title, QStringLiteral("Open Wave File"));
    EXPECT_EQ(request.startFolder, QStringLiteral("/docs"));
    EXPECT_EQ(request.filterName, QStringLiteral("Sound Files"));
    EXPECT_EQ(request.pattern, QStringLiteral("*.wav"));
    EXPECT_EQ(p.currentFile(), path);
    EXPECT_FALSE(main().isEnabled());
    EXPECT_EQ(main().lbl_LoadWave->border(), LabelBorder::Sunken);
    EXPECT_TRUE(program->player().loader().dialogLoadTimer().isActive());

    p.loader().tmr2_Timer();
    EXPECT_EQ(p.loadedFile(), path);
    EXPECT_EQ(p.originalFile(), path);
    EXPECT_EQ(shownFile(), QDir::toNativeSeparators(path));
    EXPECT_EQ(p.playSecondsText(), QStringLiteral("2.68"));
    EXPECT_GT(fakes.sounds.stops, stops);
    EXPECT_TRUE(main().isEnabled());
    EXPECT_TRUE(sound().isVisible());
    EXPECT_FALSE(program->player().loader().dialogLoadTimer().isActive());
    EXPECT_EQ(main().lbl_LoadWave->border(), LabelBorder::Flat);
    EXPECT_TRUE(program->player().loader().freshStartTimer().isActive());

    played();
    p.loader().tmr1_Timer();
    EXPECT_EQ(played(), Plays({{path, 0}}));
    EXPECT_FALSE(program->player().loader().freshStartTimer().isActive());
}

TEST_F(SoundWindowTest, ACancelledDialogKeepsTheFileReenablesTheMainWindowAndShowsTheSoundWindow) {
    const QString path = write(QStringLiteral("kept.wav"), wav(1, 11025, 8, varied(3000)));
    Player& p = load(path);
    sound().hide();
    p.chooseFileToPlay();
    EXPECT_TRUE(p.currentFile().isEmpty());
    EXPECT_FALSE(main().isEnabled());
    p.loader().tmr2_Timer();
    EXPECT_TRUE(main().isEnabled());
    EXPECT_TRUE(sound().isVisible());
    EXPECT_EQ(p.loadedFile(), path);
    EXPECT_EQ(shownFile(), QDir::toNativeSeparators(path));
    EXPECT_FALSE(program->player().loader().freshStartTimer().isActive());
    EXPECT_EQ(main().lbl_LoadWave->border(), LabelBorder::Flat);
}

TEST_F(SoundWindowTest, AFileTooShortForAHeaderOffersTheDialogWithoutAFolderAndLoadsTheChoice) {
    Player& p = player();
    const QString chosen = write(QStringLiteral("good.wav"), wav(1, 11025, 8, varied(2000)));
    fakes.dialogs.fileAnswers.push_back(chosen);
    load(write(QStringLiteral("short.wav"), QByteArray(39, 'R')));
    ASSERT_EQ(fakes.dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE(fakes.dialogs.fileRequests[0].startFolder.isEmpty());
    EXPECT_EQ(fakes.dialogs.fileRequests[0].title, QStringLiteral("Open Wave File"));
    EXPECT_EQ(p.loadedFile(), chosen);
    EXPECT_EQ(shownFile(), QDir::toNativeSeparators(chosen));
    EXPECT_TRUE(program->player().loader().freshStartTimer().isActive());
    EXPECT_TRUE(main().isEnabled());
    EXPECT_TRUE(fakes.dialogs.messages.empty());

    // Cancelled, the main window is usable again and nothing else is loaded.
    program->player().loader().stopTimers();
    load(write(QStringLiteral("short2.wav"), QByteArray(10, 'R')));
    EXPECT_TRUE(main().isEnabled());
    EXPECT_FALSE(program->player().loader().freshStartTimer().isActive());
}

TEST_F(SoundWindowTest, StrangeFilesLoadWithoutHarmAndLeaveTheMainWindowUsable) {
    Player& p = player();
    QByteArray claimsTooMuch = wav(1, 11025, 8, varied(100));
    claimsTooMuch[40] = '\xFF';
    claimsTooMuch[41] = '\xFF';
    claimsTooMuch[42] = '\xFF';
    claimsTooMuch[43] = '\x7F';
    const QList<QPair<QString, QByteArray>> files{
        {QStringLiteral("empty.wav"), QByteArray()},
        {QStringLiteral("zero-data.wav"), wav(1, 11025, 8, QByteArray())},
        {QStringLiteral("truncated.wav"), wav(2, 44100, 16, varied(30'000)).left(41)},
        {QStringLiteral("claims.wav"), claimsTooMuch},
        {QStringLiteral("noise.wav"), varied(5000)},
        {QStringLiteral("stereo16.wav"), wav(2, 44100, 16, varied(3))},
    };
    for (const auto& [name, bytes] : files) {
        load(write(name, bytes));
        EXPECT_TRUE(main().isEnabled()) << name.toStdString();
    }
    load(QDir(folder()).filePath(QStringLiteral("missing.wav")));
    load(folder() + QLatin1Char('/'));
    EXPECT_TRUE(p.currentFile().isEmpty());
    EXPECT_TRUE(main().isEnabled());
}

TEST_F(SoundWindowTest, ARefusedFileIsToldAboutAtBothHeaderReadsOfALoad) {
    // The second read of a load reuses the parse of the first, not its message.
    load(write(QStringLiteral("noise.wav"), varied(5000)));
    ASSERT_EQ(fakes.dialogs.messages.size(), 2u);
    EXPECT_EQ(fakes.dialogs.messages[0].text, QStringLiteral("Unknown Wave Format"));
    EXPECT_EQ(fakes.dialogs.messages[1].text, QStringLiteral("Unknown Wave Format"));
}

TEST_F(SoundWindowTest, AFileWhoseHeaderPassesButCannotBePlayedIsNamedInAMessage) {
    QByteArray lowerFloat =
        riff(chunk("FMT ", fmtBody(1, 8000, 32, 3)) + chunk("DATA", QByteArray(400, '\0')));
    lowerFloat.replace(0, 4, "riff");
    load(write(QStringLiteral("float.wav"), lowerFloat));
    EXPECT_TRUE(fakes.dialogs.messages.empty());

    const QString path =
        write(QStringLiteral("unknown coding.wav"),
              riff(chunk("fmt ", fmtBody(1, 8000, 16, 0x7777)) + chunk("data", rampData(800))));
    Player& p = load(path);
    EXPECT_EQ(p.loadedFile(), path); // the header passed: drawn, and its length shown
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_TRUE(fakes.dialogs.messages[0].text.startsWith(QStringLiteral("Die Datei [") +
                                                          QDir::toNativeSeparators(path) +
                                                          QStringLiteral("] kann nicht abgespielt werden!")));
}

TEST_F(SoundWindowTest, TheWaveformIsDrawnInCyanOverTheArea) {
    QByteArray data(29'600, '\x80');
    data[0] = '\0';
    load(write(QStringLiteral("drawn.wav"), wav(1, 11025, 8, data)));
    const QImage& image = sound().frx1->image();
    const QRgb cyan = qRgb(0, 255, 255);
    EXPECT_EQ(image.pixel(1, 32 - 28), cyan);
    EXPECT_EQ(image.pixel(1, 32 + 28), cyan);
    EXPECT_NE(image.pixel(1, 32 - 29), cyan);
    EXPECT_EQ(image.pixel(200, 32), cyan);
    EXPECT_NE(image.pixel(2, 31), cyan);
}

TEST_F(SoundWindowTest, TheLevelBarFollowsTheTableAndLongRecordingsOnlyDecay) {
    Player& p = load(write(QStringLiteral("short.wav"), wav(1, 11025, 8, QByteArray(99'956, char(148)))));
    EXPECT_EQ(p.levelTable().levelCount(), 625);
    sound().slider->setValue(500'000);
    p.playback().updatePlaybackMeter();
    EXPECT_EQ(p.meterPeak(), 5286);
    p.playback().updatePlaybackMeter();
    EXPECT_EQ(sound().pro1->value(), roundToWhole(5286 * 0.89));

    load(write(QStringLiteral("long.wav"), recordingOfSeconds(200)));
    EXPECT_EQ(p.playSecondsText(), QStringLiteral("200.00"));
    EXPECT_EQ(p.levelTable().levelCount(), 0);
    const double before = p.meterPeak();
    sound().slider->setValue(500'000);
    p.playback().updatePlaybackMeter();
    EXPECT_DOUBLE_EQ(p.meterPeak(), before * 0.89);
}

// The loading stands without a window: whoever shows it follows its signals.
TEST(SoundFileLoaderAlone, LoadsAndTellsNameLengthAndWaveformWithoutAnyForm) {
    FakePlatform fakes;
    const Platform platform = fakes.platform();
    SettingsStore settings(platform, QString());
    Transmitter transmitter(platform, settings);
    LoadedFile file;
    Playback playback(platform, transmitter, file);
    SoundFileLoader loader(platform, file, playback);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rec.wav"));
    ASSERT_TRUE(writeBytes(path, recordingOfSeconds(2)));

    QStringList loaded;
    std::size_t lines = 0;
    int gone = 0;
    QObject::connect(&loader, &SoundFileLoader::fileLoaded,
                     [&loaded](const QString& name, const QString& seconds) { loaded << name << seconds; });
    QObject::connect(&loader, &SoundFileLoader::waveformDrawn,
                     [&lines](const std::vector<WaveformLine>& drawn) { lines = drawn.size(); });
    QObject::connect(&loader, &SoundFileLoader::fileGone, [&gone] { ++gone; });

    file.setCurrent(path);
    loader.loadCurrentFile();
    EXPECT_EQ(loaded, QStringList({path, QStringLiteral("2.00")}));
    EXPECT_GT(lines, 0u);
    EXPECT_GT(playback.levelTable().levelCount(), 0);

    loader.closeDeletedFile(path);
    EXPECT_EQ(gone, 1);
    EXPECT_TRUE(file.loaded().isEmpty());
    EXPECT_TRUE(fakes.dialogs.messages.empty());
}

} // namespace
} // namespace kestrova::test
