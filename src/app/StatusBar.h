#pragma once

#include <QString>

class QLabel;
class QTimer;

namespace kestrova {

class Program;

// The seven panels of the main window's status bar.
class StatusBar {
public:
    explicit StatusBar(Program& program);
    ~StatusBar();

    void buildStatusBar();
    // Panel 2: the number of stored recordings.
    void showFileCount(long long count);
    // A note beside the panels on why old recordings are kept; empty removes it.
    void showDeletionHold(const QString& reason);
    QString deletionHoldText() const;
    // A message over the panels for a while; nothing waits for it.
    void showNotice(const QString& text);
    static constexpr int kNoticeMs = 15000;
    // A note beside the panels while the input device delivers nothing; empty removes it.
    void showInputNote(const QString& note);
    QString inputNoteText() const;

    int panelCount() const;
    // Panels counted from 1; null before the first build.
    QLabel* panel(int number) const;
    void refreshClock();

private:
    void setNote(QLabel*& note, const char* objectName, const QString& text);

    Program& program_;
    QTimer* clockTimer_ = nullptr;
    QLabel* holdNote_ = nullptr;
    QLabel* inputNote_ = nullptr;
};

} // namespace kestrova
