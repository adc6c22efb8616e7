#include "base/desktop/LoggedDialogs.h"
#include "base/desktop/StderrEventLog.h"
#include "support/FakeEventLog.h"

#include <gtest/gtest.h>

namespace kestrova::test {
namespace {

TEST(EventLineTest, OneLinePerEventWithThePriorityForTheJournalOrTheTimeForATerminal) {
    const QDateTime at(QDate(2026, 12, 7), QTime(21, 40, 5));
    const QString text = QStringLiteral("Die Datei [x] ist fehlerhaft!\r\rProgramm startet\nneu ");
    EXPECT_EQ(eventLine(EventLineStyle::Journal, EventPriority::Error, text, at),
              QStringLiteral("<3>Die Datei [x] ist fehlerhaft! Programm startet neu"));
    EXPECT_EQ(eventLine(EventLineStyle::Journal, EventPriority::Info, QStringLiteral("Sender getastet"), at),
              QStringLiteral("<6>Sender getastet"));
    EXPECT_EQ(eventLine(EventLineStyle::Terminal, EventPriority::Notice, QStringLiteral("Aufnahme"), at),
              QStringLiteral("2026-12-07 21:40:05 Aufnahme"));
}

TEST(LoggedDialogsTest, EveryMessageIsLoggedAndEveryQuestionAnsweredWithoutChangingAnything) {
    FakeEventLog log;
    LoggedDialogs dialogs(log);
    EXPECT_EQ(
        dialogs.message(QStringLiteral("Kein Anschluß"), QString(), MessageButtons::Ok, MessageIcon::None),
        MessageAnswer::Ok);
    EXPECT_EQ(dialogs.message(QStringLiteral("1_a.wav"), QStringLiteral("Wirklich löschen?"),
                              MessageButtons::YesNo, MessageIcon::Stop),
              MessageAnswer::No);
    EXPECT_EQ(log.lines,
              QStringList({QStringLiteral("Meldung: Kein Anschluß"),
                           QStringLiteral("Frage ohne Antwort, gilt als Nein: Wirklich löschen?: 1_a.wav")}));
    EXPECT_TRUE(dialogs.openFile(nullptr, {}).isEmpty());
    EXPECT_FALSE(dialogs.chooseFolder(nullptr, QStringLiteral("/")).has_value());
    EXPECT_EQ(dialogs.popupMenu(nullptr, {QStringLiteral("Beenden")}, {}), -1);
}

} // namespace
} // namespace kestrova::test
