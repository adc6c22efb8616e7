#pragma once

#include "base/common/ListedRecordings.h"

#include <QAbstractListModel>
#include <QString>

namespace kestrova {

// The recordings the list shows, in list order. An entry's text is made only
// when a view asks for it, so a long list costs what is on the screen.
class RecordingListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RecordingListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // The entry's text for display; its file name for Qt::UserRole.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int count() const { return static_cast<int>(entries_.size()); }
    // The file name of entry `row`; empty for a row that does not exist.
    QString nameAt(int row) const;
    // The first row listing `name`; -1 when none does.
    int rowOf(const QString& name) const;

    const ListedRecordings& entries() const { return entries_; }
    void append(const ListedRecording& entry);
    // The whole list at once, as a list pass makes it.
    void replace(ListedRecordings entries);
    void clear();

private:
    ListedRecordings entries_;
};

} // namespace kestrova
