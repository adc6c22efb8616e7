#pragma once

#include <QLabel>
#include <QPointer>
#include <QString>
#include <optional>

class QStatusBar;
class QTimer;

namespace kestrova {

class Services;
struct Forms;

// The seven panels of the main window's status bar.
class StatusBar {
public:
    StatusBar(Services& program, const Forms& forms);
    ~StatusBar();

    void buildStatusBar();
    // Panel 2: the number of stored recordings.
    void showFileCount(long long count);
    // A note beside the panels on why old recordings are kept; empty removes it.
    void showDeletionHold(const QString& reason);
    QString deletionHoldText() const;
    // A note that recordings cannot be made or saved as they should; empty removes it.
    void showCaptureTrouble(const QString& text);
    QString captureTroubleText() const;
    // A note beside the panels while the input device delivers nothing; empty removes it.
    void showInputNote(const QString& note);
    QString inputNoteText() const;
    // A message over the panels for a while; nothing waits for it.
    void showNotice(const QString& text);
    static constexpr int kNoticeMs = 15000;
    // A note on recordings filed late, at the start.
    void showLateFiling(const QString& text);
    QString lateFilingText() const;

    int panelCount() const;
    // Panels counted from 1; null before the first build.
    QLabel* panel(int number) const;
    void refreshClock();

private:
    // The clock's timer, and the panels following the bar's messages; once, at the first build.
    void connectBar(QStatusBar* bar);
    // The panels stand aside while a message stands, and only then.
    void showPanelsUnlessNotice();
    // Notes are not among the seven panels: they stand in the main window's notes
    // strip, above the bar, and outlive the panels' rebuilds.
    void showNote(QString& note, const QString& text);
    void showNotes();

    Services& program_;
    const Forms& forms_;
    QTimer* clockTimer_ = nullptr;
    // The last panel, kept at hand: looked up among the bar's children every
    // second it cost as much as setting its text.
    QPointer<QLabel> clock_;
    // The instant's second the clock panel shows.
    std::optional<qint64> shownSecond_;
    QString holdNote_;
    QString captureNote_;
    QString filingNote_;
    QString inputNote_;
};

} // namespace kestrova
