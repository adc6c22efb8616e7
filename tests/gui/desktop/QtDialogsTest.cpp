#include "gui/desktop/QtDialogs.h"

#include "base/desktop/QtGermanTexts.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
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

TEST(QtDialogsTest, AMessageBoxShowsItsWholeTitleAndBreaksLinesOnlyWhereTheTextDoes) {
    QtDialogs dialogs(QStringLiteral("Kestrova"));
    const QString path = QStringLiteral("/home/funker/Kestrova/W/1_08-17-2012_10-00-00.wav");
    const QString longLine =
        QStringLiteral("Schließen Sie zuerst das Programm, stellen einen Anschluß zur Tonquelle her");
    for (const auto& [title, text] :
         {std::pair{path, QStringLiteral("Wirklich löschen?")},
          std::pair{QStringLiteral(" INFO"), QStringLiteral("Am Soundkarteneingang\r") + longLine +
                                                 QStringLiteral("\rund starten das Programm neu.")}}) {
        int boxWidth = 0;
        int labelWidth = 0;
        QFont font;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            boxWidth = box->width();
            labelWidth = label->contentsRect().width();
            font = label->font();
            box->done(0);
        });
        dialogs.message(text, title, MessageButtons::YesNo, MessageIcon::Stop);
        EXPECT_GE(boxWidth, QFontMetrics(QApplication::font()).horizontalAdvance(title) + 100)
            << title.toStdString();
        const QString widest = text.contains(longLine) ? longLine : text;
        EXPECT_GE(labelWidth, QFontMetrics(font).horizontalAdvance(widest)) << title.toStdString();
    }
}

TEST(QtDialogsTest, TheStandardDialogsSpeakGermanOnceQtsTranslationsAreLoaded) {
    const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(translations + QStringLiteral("/qtbase_de.qm"))) {
        GTEST_SKIP() << "Qt's German translations are not installed";
    }
    {
        const QtGermanTexts german;
        ASSERT_TRUE(german.loaded());
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Abbrechen"));
    }
    QDialogButtonBox buttons(QDialogButtonBox::Cancel); // English again without them
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
}

} // namespace
} // namespace kestrova
