// The main window's menu, help, heights, docking of the sound window and closing,
// driven through the controls where the wiring is part of what can go wrong.
#include "gui/app/MainMenu.h"

#include "base/recorder/Recorder.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/HelpWindow.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"
#include "gui/ui/SoundForm.h"
#include "gui/ui/ValueBar.h"
#include "support/ProgramFixture.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

namespace kestrova::test {
namespace {

constexpr int kShort = 2130;
constexpr int kTall = 3975;

class MainMenuTest : public ProgramFixture {
protected:
    void start() {
        startProgram();
        main().show();
        menu().helpFallbackFolders.clear();
    }
    MainForm& main() { return *program->frm_DoKu; }
    SoundForm& sound() { return *program->frm_Oszi; }
    MainMenu& menu() {
        auto* found = main().findChild<MainMenu*>();
        EXPECT_NE(found, nullptr);
        return *found;
    }
    // Opens the menu as the user does and picks the entry (-1: dismissed).
    void choose(int entry, Qt::MouseButton button = Qt::LeftButton) {
        fakes.dialogs.menuAnswers.push_back(entry);
        QTest::mouseClick(main().lbl_Menue, button);
    }
    void moveMouseOver(QWidget* widget, QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    static void writeHelp(const QString& folder, const char* page = "<html></html>") {
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/hilfe")));
        QFile help(folder + QStringLiteral("/hilfe/inhalt.html"));
        ASSERT_TRUE(help.open(QIODevice::WriteOnly));
        help.write(page);
    }
};

// --- The popup menu -------------------------------------------------------------------------

TEST_F(MainMenuTest, TheMenuOpensBelowTheWindowCornerWithItsFourEntriesForAnyButton) {
    start();
    moveTwips(&main(), 1500, 3000);
    choose(-1, Qt::RightButton);
    choose(-1, Qt::MiddleButton);
    ASSERT_EQ(fakes.dialogs.menus.size(), 2u);
    for (const ShownMenu& shown : fakes.dialogs.menus) {
        EXPECT_EQ(shown.position, QPoint(106, 247));
        EXPECT_EQ(shown.entries,
                  QStringList({QStringLiteral("INFO"), QStringLiteral("Einstellungen"),
                               QStringLiteral("Soundfenster EIN/AUS"), QStringLiteral("Beenden")}));
    }
}

TEST_F(MainMenuTest, ADismissedMenuDoesNothing) {
    start();
    choose(-1);
    EXPECT_EQ(heightTwips(&main()), kTall);
    EXPECT_FALSE(sound().isVisible());
    EXPECT_FALSE(program->frm_Einstellungen->isVisible());
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    EXPECT_EQ(menu().helpWindow(), nullptr);
    EXPECT_FALSE(program->hasEnded());
}

TEST_F(MainMenuTest, SettingsShowsTheSettingsForm) {
    start();
    program->frm_Einstellungen->hide();
    choose(MainMenu::Settings);
    EXPECT_TRUE(program->frm_Einstellungen->isVisible());
}

TEST_F(MainMenuTest, QuittingWhileRecordingSavesTheRecordingAndEndsTheProgram) {
    start();
    program->recorder().switchOn();
    const QString name = program->recorder().capture().recordingName;
    ASSERT_FALSE(name.isEmpty());
    choose(MainMenu::Quit);
    EXPECT_EQ(fakes.capture.saved, QStringList{name});
    EXPECT_TRUE(program->hasEnded());
    EXPECT_FALSE(main().isVisible());
}

TEST_F(MainMenuTest, ClosingTheMainWindowEndsTheProgram) {
    start();
    main().close();
    EXPECT_TRUE(program->hasEnded());
}

// --- Help -----------------------------------------------------------------------------------

TEST_F(MainMenuTest, InfoWithoutAHelpFileSaysSo) {
    start();
    choose(MainMenu::Info);
    ASSERT_EQ(fakes.dialogs.messages.size(), 1u);
    EXPECT_EQ(fakes.dialogs.messages[0].text, QStringLiteral("Die Hilfedatei ist nicht vorhanden!"));
    EXPECT_EQ(fakes.dialogs.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(menu().helpWindow(), nullptr);
}

TEST_F(MainMenuTest, InfoShowsTheHelpInAWindowOfItsOwnThatFollowsItsLinks) {
    start();
    writeHelp(folder(), "<html><head><title>Kestrova – Hilfe</title></head><body>"
                        "<p><a href=\"seite2.html\">weiter</a></p></body></html>");
    QFile second(folder() + QStringLiteral("/hilfe/seite2.html"));
    ASSERT_TRUE(second.open(QIODevice::WriteOnly));
    second.write("<html><body><p>Zweite Seite</p></body></html>");
    second.close();

    choose(MainMenu::Info);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    HelpWindow* help = menu().helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Kestrova – Hilfe"));
    EXPECT_EQ(help->browser->source().toLocalFile(),
              QDir(folder()).filePath(QStringLiteral("hilfe/inhalt.html")));

    help->browser->setSource(QUrl(QStringLiteral("seite2.html"))); // as a click on the link does
    EXPECT_TRUE(help->browser->toPlainText().contains(QStringLiteral("Zweite Seite")));
    ASSERT_TRUE(help->back->isEnabled());
    QTest::mouseClick(help->back, Qt::LeftButton);
    EXPECT_TRUE(help->browser->toPlainText().contains(QStringLiteral("weiter")));

    QTest::mouseClick(help->close, Qt::LeftButton);
    EXPECT_FALSE(help->isVisible());
    choose(MainMenu::Info); // the same window again, from the start page
    EXPECT_EQ(menu().helpWindow(), help);
    EXPECT_TRUE(help->isVisible());
}

TEST_F(MainMenuTest, WithoutHelpInTheProgramFolderTheInstalledHelpIsOpened) {
    start();
    QTemporaryDir prefix;
    writeHelp(prefix.path() + QStringLiteral("/share/kestrova"));
    // As the program finds it from <prefix>/bin.
    menu().helpFallbackFolders = {prefix.path() + QStringLiteral("/bin/../share/kestrova")};
    choose(MainMenu::Info);
    EXPECT_TRUE(fakes.dialogs.messages.empty());
    ASSERT_NE(menu().helpWindow(), nullptr);
    EXPECT_EQ(menu().helpWindow()->browser->source().toLocalFile(),
              prefix.path() + QStringLiteral("/share/kestrova/hilfe/inhalt.html"));
}

// --- Heights and docking ----------------------------------------------------------------------

TEST_F(MainMenuTest, TheSoundWindowEntrySwitchesHeightAndSoundWindowTogether) {
    start();
    moveTwips(&sound(), 3000, 6000);
    sound().show();
    ASSERT_EQ(heightTwips(&main()), kTall);
    choose(MainMenu::SoundWindow);
    EXPECT_EQ(heightTwips(&main()), kShort);
    EXPECT_FALSE(sound().isVisible());
    choose(MainMenu::SoundWindow);
    EXPECT_EQ(heightTwips(&main()), kTall);
    EXPECT_TRUE(sound().isVisible());
    EXPECT_EQ(leftTwips(&sound()), 3000); // back where it was
    EXPECT_EQ(topTwips(&sound()), 6000);
}

TEST_F(MainMenuTest, EveryMoveDocksTheSoundWindowBelowTheMainWindow) {
    start();
    main().cmd_zur->click();
    ASSERT_EQ(heightTwips(&main()), kShort);
    // 1000 twips is no whole pixel: the window lands on 67 px, 1005 twips.
    moveTwips(&main(), 600, 1000);
    ASSERT_EQ(topTwips(&main()), 1005);
    EXPECT_EQ(leftTwips(&sound()), 600);
    EXPECT_EQ(topTwips(&sound()), 1005 + kShort);

    choose(MainMenu::SoundWindow); // tall again, not moved
    EXPECT_EQ(topTwips(&sound()), 1005 + kShort);
    moveTwips(&main(), 900, 1000);
    EXPECT_EQ(leftTwips(&sound()), 900);
    EXPECT_EQ(topTwips(&sound()), 1005 + kTall);
}

TEST_F(MainMenuTest, TheBackButtonShortensWithoutHidingAndTheNextMoveDocksBelowTheShortWindow) {
    start();
    sound().show();
    moveTwips(&main(), 300, 450);
    ASSERT_EQ(topTwips(&sound()), 450 + kTall);
    main().cmd_zur->click();
    EXPECT_EQ(heightTwips(&main()), kShort);
    EXPECT_TRUE(sound().isVisible());
    EXPECT_EQ(topTwips(&sound()), 450 + kTall); // not moved by the button
    moveTwips(&main(), 300, 1500);
    EXPECT_EQ(topTwips(&sound()), 1500 + kShort);
}

// --- Hover frames and the level bar -------------------------------------------------------------

TEST_F(MainMenuTest, TheMenuLabelKeepsItsHoverFrameUntilTheMouseIsOverTheBareStrip) {
    start();
    main().lbl_LoadWave->setBorder(LabelBorder::Hover);
    moveMouseOver(main().lbl_Menue, QPoint(5, 5));
    // The move also reaches the strip beneath the label; that must not clear the frame.
    EXPECT_EQ(main().lbl_Menue->border(), LabelBorder::Hover);
    moveMouseOver(main().tb1, QPoint(main().tb1->width() - 5, 10));
    EXPECT_EQ(main().lbl_Menue->border(), LabelBorder::Flat);
    EXPECT_EQ(main().lbl_LoadWave->border(), LabelBorder::Flat);
}

TEST_F(MainMenuTest, EachClickOnTheLevelBarFlipsItsTextDisplayAndLeavesItsValue) {
    start();
    main().Progressbar1->setValue(40);
    ASSERT_FALSE(main().Progressbar1->isTextVisible());
    QTest::mouseClick(main().Progressbar1, Qt::LeftButton);
    EXPECT_TRUE(main().Progressbar1->isTextVisible());
    QTest::mouseClick(main().Progressbar1, Qt::RightButton);
    EXPECT_FALSE(main().Progressbar1->isTextVisible());
    EXPECT_EQ(main().Progressbar1->value(), 40);
    EXPECT_EQ(main().Progressbar1->maximum(), 100);
}

} // namespace
} // namespace kestrova::test
