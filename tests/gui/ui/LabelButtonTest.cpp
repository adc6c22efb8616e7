#include "gui/ui/LabelButton.h"

#include "gui/ui/Colors.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

TEST(LabelButtons, PressedAndReleasedLooks) {
    LabelButton button(QStringLiteral("Auto-CQ"));
    EXPECT_EQ(button.border(), LabelBorder::Flat);
    EXPECT_EQ(button.frameShape(), QFrame::NoFrame);
    EXPECT_FALSE(isPressed(&button));

    showPressed(&button);
    EXPECT_TRUE(isPressed(&button));
    EXPECT_EQ(button.frameShape(), QFrame::Panel);
    EXPECT_EQ(button.frameShadow(), QFrame::Sunken);
    EXPECT_EQ(backColor(&button), kColorLightGreen);

    showReleased(&button);
    EXPECT_FALSE(isPressed(&button));
    EXPECT_EQ(button.frameShadow(), QFrame::Raised);
    EXPECT_EQ(backColor(&button), kColorButtonFace);

    button.setBorder(LabelBorder::Hover);
    EXPECT_FALSE(isPressed(&button));
    EXPECT_NE(button.frameShape(), QFrame::Panel);
    EXPECT_NE(button.frameShape(), QFrame::NoFrame);
}

} // namespace
} // namespace kestrova
