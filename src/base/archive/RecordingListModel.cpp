#include "base/archive/RecordingListModel.h"

#include "base/archive/RecordingRules.h"

#include <utility>

namespace kestrova {

RecordingListModel::RecordingListModel(QObject* parent) : QAbstractListModel(parent) {}

int RecordingListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant RecordingListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) {
        return listEntryText(entries_.nameAt(row), entries_.secondsAt(row));
    }
    if (role == Qt::UserRole) {
        return entries_.nameAt(row);
    }
    return {};
}

Qt::ItemFlags RecordingListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

QString RecordingListModel::nameAt(int row) const {
    if (row < 0 || row >= count()) {
        return {};
    }
    return entries_.nameAt(static_cast<std::size_t>(row));
}

int RecordingListModel::rowOf(const QString& name) const {
    return static_cast<int>(entries_.indexOf(name));
}

void RecordingListModel::append(const ListedRecording& entry) {
    beginInsertRows(QModelIndex(), count(), count());
    entries_.append(entry);
    endInsertRows();
}

void RecordingListModel::replace(ListedRecordings entries) {
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

void RecordingListModel::clear() {
    replace({});
}

} // namespace kestrova
