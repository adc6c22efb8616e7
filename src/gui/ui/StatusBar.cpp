#include "gui/ui/StatusBar.h"

#include "base/common/ProgramIdentity.h"
#include "base/desktop/Clock.h"
#include "base/settings/SettingsValues.h"
#include "gui/services/Services.h"
#include "gui/ui/ClockLabel.h"
#include "gui/ui/Forms.h"
#include "gui/ui/MainForm.h"
#include "gui/ui/SettingsForm.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <array>

namespace kestrova {

namespace {
constexpr int panelTotal = 7;
const char* const panelProperty = "statusPanel";

QString clockText(const QDateTime& now) {
    return now.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
}

void sinkPanel(QFrame* panel) {
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
}

// The clock's text changes every second. A label of its own fixed size inside the
// stretching panel repaints just its figures then; a stretching label would have
// the whole bar laid out and painted anew each time.
QFrame* clockPanel(QLabel* clock, const QString& sample) {
    auto* panel = new QFrame(clock->parentWidget());
    panel->setObjectName(QStringLiteral("sbClockPanel"));
    panel->setProperty(panelProperty, clock->property(panelProperty));
    panel->setToolTip(clock->toolTip());
    sinkPanel(panel);
    clock->setParent(panel);
    clock->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    clock->setFixedSize(QFontMetrics(clock->font()).horizontalAdvance(sample) + 8,
                        clock->sizeHint().height());
    layout->addWidget(clock);
    layout->addStretch(1);
    return panel;
}
} // namespace

StatusBar::StatusBar(Services& program, const Forms& forms) : program_(program), forms_(forms) {}

StatusBar::~StatusBar() = default;

void StatusBar::buildStatusBar() {
    QStatusBar* bar = forms_.frm_DoKu->sb;
    for (QWidget* old : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (old->property(panelProperty).isValid()) {
            bar->removeWidget(old);
            delete old;
        }
    }
    const QFont font(QStringLiteral("ARIAL"), 7);
    bar->setFont(font);
    const ProgramIdentity& id = program_.identity();
    const SettingsValues& values = program_.settingsValues();
    const std::array<QString, panelTotal> texts = {
        QStringLiteral("Quorbel"),
        QString::number(values.fileCount),
        id.exeName,
        id.versionText,
        forms_.frm_Einstellungen->cb_Com->currentText(),
        QString::number(values.circuitNumber),
        QStringLiteral("c"),
    };
    const std::array<QString, panelTotal> tips = {
        QStringLiteral("Programmierer"),
        QStringLiteral("Anzahl gespeicherter Sound-Files im Ordner [W]"),
        QStringLiteral("Programmname"),
        QStringLiteral("Programmversion"),
        QStringLiteral("COM-Schnittstelle"),
        QStringLiteral("Funkkreis"),
        QStringLiteral("Systemdatum und -Zeit"),
    };
    const std::array<int, panelTotal - 1> widths = {40, 40, 75, 70, 15, 15};
    for (int i = 0; i < panelTotal; ++i) {
        auto* label = i < panelTotal - 1 ? new QLabel(texts[i], bar) : new ClockLabel(texts[i], bar);
        label->setProperty(panelProperty, i + 1);
        label->setObjectName(QStringLiteral("sbPanel%1").arg(i + 1));
        label->setFont(font);
        label->setToolTip(tips[i]);
        if (i < panelTotal - 1) {
            sinkPanel(label);
            label->setFixedWidth(widths[i]);
            bar->addWidget(label);
        } else {
            bar->addWidget(clockPanel(label, clockText(program_.platform().clock.now())), 1);
            clock_ = label;
        }
    }
    if (clockTimer_ == nullptr) {
        connectBar(bar);
    }
    showPanelsUnlessNotice();
    showNotes();
    shownSecond_.reset();
    refreshClock();
}

void StatusBar::connectBar(QStatusBar* bar) {
    clockTimer_ = new QTimer(bar);
    // Five looks a second fall onto the level meter's wake-ups; a once-a-second
    // timer could settle half a second off them and wake the program on its own.
    clockTimer_->setInterval(200);
    QObject::connect(clockTimer_, &QTimer::timeout, bar, [this] { refreshClock(); });
    clockTimer_->start();
    QObject::connect(bar, &QStatusBar::messageChanged, bar, [this] { showPanelsUnlessNotice(); });
}

// QStatusBar hides its normal widgets for a message and shows again only those it
// hid itself: a panel added while a message stands (hidden by the adding) would stay
// hidden for good, and one it passed over because the window was not shown yet would
// cover the message. So the panels follow the message here, whatever the bar did.
void StatusBar::showPanelsUnlessNotice() {
    QStatusBar* bar = forms_.frm_DoKu->sb;
    const bool visible = bar->currentMessage().isEmpty();
    for (QWidget* child : bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child->property(panelProperty).isValid()) {
            child->setVisible(visible);
        }
    }
}

void StatusBar::refreshClock() {
    const Clock& clock = program_.platform().clock;
    const qint64 second = clock.msecsSinceEpoch() / 1000;
    if (second == shownSecond_) {
        return;
    }
    if (clock_ != nullptr) {
        clock_->setText(clockText(clock.now()));
        shownSecond_ = second;
    }
}

void StatusBar::showFileCount(long long count) {
    if (QLabel* label = panel(2)) {
        label->setText(QString::number(count));
    }
}

void StatusBar::showDeletionHold(const QString& reason) {
    showNote(holdNote_, reason);
}

QString StatusBar::deletionHoldText() const {
    return holdNote_;
}

void StatusBar::showCaptureTrouble(const QString& text) {
    showNote(captureNote_, text);
}

QString StatusBar::captureTroubleText() const {
    return captureNote_;
}

void StatusBar::showLateFiling(const QString& text) {
    showNote(filingNote_, text);
}

QString StatusBar::lateFilingText() const {
    return filingNote_;
}

void StatusBar::showInputNote(const QString& note) {
    showNote(inputNote_, note);
}

QString StatusBar::inputNoteText() const {
    return inputNote_;
}

void StatusBar::showNotice(const QString& text) {
    if (forms_.frm_DoKu != nullptr) {
        forms_.frm_DoKu->sb->showMessage(text, kNoticeMs);
    }
}

void StatusBar::showNote(QString& note, const QString& text) {
    note = text;
    showNotes();
}

void StatusBar::showNotes() {
    if (forms_.frm_DoKu == nullptr) {
        return;
    }
    QStringList lines;
    for (const QString* line : {&holdNote_, &captureNote_, &filingNote_, &inputNote_}) {
        if (!line->isEmpty()) {
            lines << *line;
        }
    }
    forms_.frm_DoKu->showNotes(lines.join(QLatin1Char('\n')));
}

int StatusBar::panelCount() const {
    int count = 0;
    for (QLabel* label : forms_.frm_DoKu->sb->findChildren<QLabel*>()) {
        count += label->property(panelProperty).isValid() ? 1 : 0;
    }
    return count;
}

QLabel* StatusBar::panel(int number) const {
    if (forms_.frm_DoKu == nullptr) {
        return nullptr;
    }
    for (QLabel* label : forms_.frm_DoKu->sb->findChildren<QLabel*>()) {
        if (label->property(panelProperty).toInt() == number) {
            return label;
        }
    }
    return nullptr;
}

} // namespace kestrova
