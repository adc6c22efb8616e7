#pragma once

#include <QListView>
#include <QString>

namespace kestrova {

// lb_Sounds: a one-column list of one-line entries of the same height, whatever
// model it shows; with all rows alike a long list is laid out without measuring
// each one. Offers the row calls of a list box that the program uses.
class RecordingListView : public QListView {
    Q_OBJECT
public:
    explicit RecordingListView(QWidget* parent = nullptr);

    int count() const;
    // The text the list shows in `row`; empty for a row that does not exist.
    QString text(int row) const;
    // -1 when no row is current.
    int currentRow() const;
    // Makes `row` the current and only selected row; -1 selects none.
    void setCurrentRow(int row);
};

} // namespace kestrova
