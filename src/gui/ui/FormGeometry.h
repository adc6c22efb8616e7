#pragma once

class QWidget;

namespace kestrova {

// The program keeps window positions and sizes in twips: 15 twips = 1 pixel.
inline constexpr int kTwipsPerPixel = 15;

// Rounded to the nearest pixel.
int twipsToPixels(int twips);
constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// Left/top are the outer frame position; height and width the outer frame size including title
// bar and borders, as far as the window system has told us the frame.
int leftTwips(const QWidget* window);
int topTwips(const QWidget* window);
int widthTwips(const QWidget* window);
int heightTwips(const QWidget* window);

void setLeftTwips(QWidget* window, int left);
void setTopTwips(QWidget* window, int top);
// Works on windows of fixed height too: the fixed height is moved along.
void setHeightTwips(QWidget* window, int height);
void moveTwips(QWidget* window, int left, int top);

} // namespace kestrova
