#include "platform/QtDialogs.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace kestrova {
namespace {

// The real dialogs, offscreen: what the end of the program does to them.
TEST(QtDialogsTest, DismissingClosesTheOpenDialogsAndAnswersLaterOnesAtOnce) {
    QtDialogs dialogs(QStringLiteral("Kestrova"));
    // Dismissed from inside the box's own loop, as a termination signal would be.
    QTimer::singleShot(0, [&dialogs] { dialogs.dismissAll(); });
    EXPECT_EQ(dialogs.message(QStringLiteral("Wirklich löschen?"), QString(), MessageButtons::YesNo,
                              MessageIcon::Stop),
              MessageAnswer::No);

    EXPECT_EQ(
        dialogs.message(QStringLiteral("Kein Anschluß"), QString(), MessageButtons::Ok, MessageIcon::None),
        MessageAnswer::Ok);
    EXPECT_TRUE(dialogs
                    .openFile(nullptr, {QStringLiteral("Open Wave File"), QString(),
                                        QStringLiteral("Sound Files"), QStringLiteral("*.wav")})
                    .isEmpty());
    EXPECT_FALSE(dialogs.chooseFolder(nullptr, QString()).has_value());
    EXPECT_EQ(dialogs.popupMenu(nullptr, {QStringLiteral("INFO")}, QPoint(0, 0)), -1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtDialogsTest, AFileDialogOpenWhenDismissedIsCancelled) {
    QtDialogs dialogs(QStringLiteral("Kestrova"));
    QTimer::singleShot(0, [&dialogs] { dialogs.dismissAll(); });
    EXPECT_TRUE(dialogs
                    .openFile(nullptr, {QStringLiteral("Open Wave File"), QString(),
                                        QStringLiteral("Sound Files"), QStringLiteral("*.wav")})
                    .isEmpty());
}

} // namespace
} // namespace kestrova
