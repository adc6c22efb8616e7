#pragma once

#include <QWidget>
#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QStatusBar;

namespace kestrova {

class LabelButton;
class MouseEvents;
class RecordingListView;
class ValueBar;

// frm_DoKu: the recorder's main window. Only creates and lays out the controls; the program
// drives them by name and switches the height between kShortHeight and kTallHeight.
class MainForm : public QWidget {
    Q_OBJECT
public:
    // Outer heights in pixels (2130 and 3975 twips).
    static constexpr int kShortHeight = 142;
    static constexpr int kTallHeight = 265;
    static constexpr int kWidth = 410;

    explicit MainForm(QWidget* parent = nullptr);

    // The window's two heights in twips, set with the settings form's lists.
    int tallHeight = 0;
    int shortHeight = 0;

    // Valid only while onClose runs: keeps the window open.
    void cancelClose() { cancelClose_ = true; }

    // Recorder
    QGroupBox* fr2;
    QCheckBox* chk_Start;
    QLabel* lbl_Record;
    ValueBar* progressbar3;
    ValueBar* progressbar4;

    // Level and threshold
    QLabel* lbl31;
    ValueBar* Progressbar1;
    QLabel* lbl_PegelAnzeige;
    QLabel* lbl_ROTL;
    QLabel* lbl1;
    QSlider* sli_Schwelle;
    QLabel* lbl_Schwelle;
    QLabel* lbl_Proz;

    // Strip
    QFrame* tb1;
    LabelButton* lbl_Menue;
    LabelButton* lbl_LoadWave;

    // Recordings (tall height only)
    QGroupBox* fr3;
    RecordingListView* lb_Sounds;
    QPushButton* cmd_File_lö;
    QPushButton* cmd_zur;

    // Auto-CQ and parrot (tall height only)
    LabelButton* lblCQ;
    QPushButton* cmd_PAPA;
    QLabel* lblrsp;

    QStatusBar* sb;
    // Notes that last (deletions held, recording trouble, the input): above the status
    // bar, over no control at either height; the tall window's list gives them room, the
    // short window has them beside the recorder's frame, cut to what fits there (the
    // tooltip has them whole). They never share the bar's row, whose clock they would squeeze.
    QLabel* lbl_Hinweise;
    // The notes, one per line; empty hides the strip.
    void showNotes(const QString& text);

    // Mouse reports (list box: of its viewport)
    MouseEvents* lb_Sounds_mouse;
    MouseEvents* lbl_Menue_mouse;
    MouseEvents* lbl_LoadWave_mouse;
    MouseEvents* tb1_mouse;
    MouseEvents* lblCQ_mouse;
    MouseEvents* Progressbar1_mouse;
    MouseEvents* cmd_File_lö_mouse;

    // Called when the window is asked to close; the window closes unless it calls cancelClose().
    std::function<void()> onClose;

signals:
    void moved();

protected:
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placeLowerParts();
    QRect roomBesideRecorder(int statusTop) const;
    int fitNotes(const QRect& room);
    QString cutNotes(const QRect& room) const;
    void fitListFrame(int frameHeight);

    QWidget* lowerPanel_;
    QString notes_;
    bool cancelClose_ = false;
};

// Puts the sound window against the lower edge of the main window; also for the
// recording list, which shows the sound window and docks it at once.
void dockSoundWindow(const MainForm* main, QWidget* sound);

} // namespace kestrova
