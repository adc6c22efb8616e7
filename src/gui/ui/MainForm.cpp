#include "gui/ui/MainForm.h"

#include "gui/ui/Colors.h"
#include "gui/ui/ControlEvents.h"
#include "gui/ui/FigureLabel.h"
#include "gui/ui/FormGeometry.h"
#include "gui/ui/FormParts.h"
#include "gui/ui/LabelButton.h"
#include "gui/ui/Lamp.h"
#include "gui/ui/RecordingListView.h"
#include "gui/ui/ValueBar.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <algorithm>

namespace kestrova {

using formparts::place;

namespace {

constexpr int kStatusBarHeight = 20;
constexpr int kLowerTop = 92;
constexpr int kLowerHeight = 118;
// What the list keeps when notes take room from it: a few entries, its buttons and the
// Auto-CQ column beside it.
constexpr int kLowerLeast = 80;

ValueBar* thinBar(QWidget* parent, const char* name, QRect geometry, const QString& tip) {
    auto* bar = place<ValueBar>(parent, name, geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    bar->setToolTip(tip);
    return bar;
}

} // namespace

MainForm::MainForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frm_DoKu"));
    formparts::useFormFont(this);
    formparts::makeFixedWindow(this, QStringLiteral("Kestrova"), QSize(kWidth, kTallHeight));

    // Strip along the top
    tb1 = place<QFrame>(this, "tb1", QRect(0, 0, kWidth, 22));
    tb1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    tb1->setLineWidth(1);
    lbl_Menue = place<LabelButton>(tb1, "lbl_Menue", QRect(3, 3, 44, 16), QStringLiteral("Menü"));
    // The program resizes it to 7 px per character of its caption.
    lbl_LoadWave =
        place<LabelButton>(tb1, "lbl_LoadWave", QRect(50, 3, 84, 16), QStringLiteral("tolvo Sounds"));

    // Recorder
    fr2 = place<QGroupBox>(this, "fr2", QRect(4, 24, 146, 66), QStringLiteral("Recorder ausgeschaltet"));
    chk_Start = place<QCheckBox>(fr2, "chk_Start", QRect(8, 18, 92, 20), QStringLiteral("Aufnahme"));
    lbl_Record = place<Lamp>(fr2, "lbl_Record", QRect(106, 21, 30, 14));
    lbl_Record->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbl_Record->setToolTip(QStringLiteral("Aufnahmeanzeige"));
    setBackColor(lbl_Record, kColorIdleLamp);
    progressbar3 = thinBar(fr2, "progressbar3", QRect(8, 43, 128, 6), QStringLiteral("Aufnahmedauer"));
    progressbar4 = thinBar(fr2, "progressbar4", QRect(8, 52, 128, 6), QStringLiteral("Stille"));

    // Level meter and threshold
    lbl31 = place<QLabel>(this, "lbl31", QRect(156, 30, 50, 16), QStringLiteral("Pegel"));
    Progressbar1 = place<ValueBar>(this, "Progressbar1", QRect(206, 30, 150, 16));
    Progressbar1->setRange(0, 100);
    Progressbar1->setValue(0);
    Progressbar1->setTextVisible(false);
    lbl_PegelAnzeige = place<FigureLabel>(this, "lbl_PegelAnzeige", QRect(358, 30, 26, 16));
    lbl_PegelAnzeige->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Opaque, so a new figure repaints the figure alone, not the window behind it.
    lbl_PegelAnzeige->setAutoFillBackground(true);
    lbl_ROTL = place<Lamp>(this, "lbl_ROTL", QRect(392, 31, 10, 14));
    lbl_ROTL->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbl_ROTL->setToolTip(QStringLiteral("Übersteuerung"));
    setBackColor(lbl_ROTL, kColorIdleLamp);

    lbl1 = place<QLabel>(this, "lbl1", QRect(156, 58, 50, 16), QStringLiteral("Schwelle"));
    sli_Schwelle = place<QSlider>(this, "sli_Schwelle", QRect(206, 56, 150, 20), Qt::Horizontal);
    sli_Schwelle->setRange(0, 100);
    lbl_Schwelle = place<QLabel>(this, "lbl_Schwelle", QRect(358, 58, 26, 16));
    lbl_Schwelle->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_Proz = place<QLabel>(this, "lbl_Proz", QRect(388, 58, 14, 16), QStringLiteral("%"));

    // Recordings list and Auto-CQ, shown at the tall height only. They sit in a panel that is cut
    // off at the status bar, so at the short height nothing peeks out above it.
    lowerPanel_ = place<QWidget>(this, "pnl_Liste", QRect(0, kLowerTop, kWidth, kTallHeight - kLowerTop));
    fr3 = place<QGroupBox>(lowerPanel_, "fr3", QRect(4, 0, 316, kLowerHeight),
                           QStringLiteral("Sounds der letzten 3 Tage"));
    lb_Sounds = place<RecordingListView>(fr3, "lb_Sounds", QRect(6, 16, 304, 72));
    // Entries are "name  length"; a fixed-pitch font keeps the lengths in a column.
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSizeF(font().pointSizeF());
    lb_Sounds->setFont(mono);
    cmd_File_lö = place<QPushButton>(fr3, "cmd_File_lö", QRect(6, 91, 80, 22), QStringLiteral("Löschen"));
    cmd_zur = place<QPushButton>(fr3, "cmd_zur", QRect(224, 91, 86, 22), QStringLiteral("▲ Klein"));
    cmd_zur->setToolTip(QStringLiteral("Fenster verkleinern"));

    // Auto-CQ and parrot
    lblCQ = place<LabelButton>(lowerPanel_, "lblCQ", QRect(326, 6, 78, 22), QStringLiteral("Auto-CQ"));
    showReleased(lblCQ);
    cmd_PAPA = place<QPushButton>(lowerPanel_, "cmd_PAPA", QRect(326, 32, 78, 24), QStringLiteral("Papagei"));
    lblrsp = place<QLabel>(lowerPanel_, "lblrsp", QRect(326, 60, 78, 18), QStringLiteral("Papagei"));
    lblrsp->setAlignment(Qt::AlignCenter);
    lblrsp->hide();

    sb = place<QStatusBar>(this, "sb", QRect(0, kTallHeight - kStatusBarHeight, kWidth, kStatusBarHeight));
    sb->setSizeGripEnabled(false);
    sb->setAutoFillBackground(true);
    lbl_Hinweise = place<QLabel>(this, "lbl_Hinweise", QRect(0, kTallHeight - kStatusBarHeight, kWidth, 0));
    lbl_Hinweise->setWordWrap(true);
    lbl_Hinweise->setFont(QFont(QStringLiteral("ARIAL"), 7));
    lbl_Hinweise->setContentsMargins(4, 1, 4, 1);
    setBackColor(lbl_Hinweise, kColorNote);
    lbl_Hinweise->hide();

    lb_Sounds_mouse = watchMouse(lb_Sounds->viewport());
    lbl_Menue_mouse = watchMouse(lbl_Menue);
    lbl_LoadWave_mouse = watchMouse(lbl_LoadWave);
    tb1_mouse = watchMouse(tb1);
    lblCQ_mouse = watchMouse(lblCQ);
    Progressbar1_mouse = watchMouse(Progressbar1);
    cmd_File_lö_mouse = watchMouse(cmd_File_lö);
}

void MainForm::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    emit moved();
}

void MainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The status bar stays at the bottom whichever height the program chose.
    sb->setGeometry(0, height() - kStatusBarHeight, width(), kStatusBarHeight);
    placeLowerParts();
}

void MainForm::showNotes(const QString& text) {
    notes_ = text;
    lbl_Hinweise->setToolTip(text);
    lbl_Hinweise->setVisible(!text.isEmpty());
    placeLowerParts();
}

// The notes take room no control holds: in the tall window above the status bar, where
// the list gives way down to kLowerLeast; in the short one beside the recorder's frame,
// below the threshold. Whatever the window's frame leaves of the two heights.
void MainForm::placeLowerParts() {
    const int statusTop = height() - kStatusBarHeight;
    // All or nothing: a half-visible list frame above the status bar would only confuse.
    const bool tall = statusTop - kLowerTop >= kLowerHeight;
    const QRect room = tall ? QRect(0, kLowerTop + kLowerLeast, width(), statusTop - kLowerTop - kLowerLeast)
                            : roomBesideRecorder(statusTop);
    const int notesHeight = fitNotes(room);
    lbl_Hinweise->setGeometry(room.left(), statusTop - notesHeight, room.width(), notesHeight);
    lbl_Hinweise->raise();
    const int lowerHeight = tall ? statusTop - notesHeight - kLowerTop : 0;
    lowerPanel_->setGeometry(0, kLowerTop, width(), lowerHeight);
    fitListFrame(tall ? std::min(lowerHeight, kLowerHeight) : kLowerHeight);
}

QRect MainForm::roomBesideRecorder(int statusTop) const {
    const int left = fr2->geometry().right() + 3;
    const int top = sli_Schwelle->geometry().bottom() + 1;
    return {left, top, width() - left, std::max(0, statusTop - top)};
}

// The notes wrapped as they come when the room holds them, else cut; the height they take.
int MainForm::fitNotes(const QRect& room) {
    if (notes_.isEmpty() || room.height() <= 0) {
        lbl_Hinweise->clear();
        return 0;
    }
    lbl_Hinweise->setWordWrap(true);
    lbl_Hinweise->setText(notes_);
    const int whole = lbl_Hinweise->heightForWidth(room.width());
    if (whole <= room.height()) {
        return whole;
    }
    lbl_Hinweise->setWordWrap(false);
    lbl_Hinweise->setText(cutNotes(room));
    return std::min(room.height(), lbl_Hinweise->sizeHint().height());
}

// Each note on a line of its own, cut at its end, as many as the room holds; the last
// says how many more there are. The tooltip holds them all.
QString MainForm::cutNotes(const QRect& room) const {
    const QMargins margins = lbl_Hinweise->contentsMargins();
    const QFontMetrics metrics(lbl_Hinweise->font());
    const int width = room.width() - margins.left() - margins.right();
    const qsizetype fit =
        std::max(1, (room.height() - margins.top() - margins.bottom()) / metrics.lineSpacing());
    const QStringList notes = notes_.split(QLatin1Char('\n'));
    QStringList lines;
    for (qsizetype i = 0; i < std::min(fit, notes.size()); ++i) {
        const qsizetype more = i + 1 == fit ? notes.size() - fit : 0;
        const QString tail = more > 0 ? QStringLiteral(" (+%1)").arg(more) : QString();
        lines << metrics.elidedText(notes.at(i), Qt::ElideRight, width - metrics.horizontalAdvance(tail)) +
                     tail;
    }
    return lines.join(QLatin1Char('\n'));
}

// The list gives way from below; its buttons stay at the frame's foot.
void MainForm::fitListFrame(int frameHeight) {
    fr3->setGeometry(4, 0, 316, frameHeight);
    lb_Sounds->setGeometry(6, 16, 304, std::max(0, frameHeight - 46));
    cmd_File_lö->move(6, frameHeight - 27);
    cmd_zur->move(224, frameHeight - 27);
}

void MainForm::closeEvent(QCloseEvent* event) {
    cancelClose_ = false;
    if (onClose) {
        onClose();
    }
    event->setAccepted(!cancelClose_);
    cancelClose_ = false;
}

void dockSoundWindow(const MainForm* main, QWidget* sound) {
    if (main == nullptr || sound == nullptr) {
        return;
    }
    // Any height but the short one counts as tall.
    const int below = heightTwips(main) == main->shortHeight ? main->shortHeight : main->tallHeight;
    moveTwips(sound, leftTwips(main), topTwips(main) + below);
}

} // namespace kestrova
