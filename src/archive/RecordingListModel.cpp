#include "archive/RecordingListModel.h"

#include "archive/RecordingRules.h"

#include <algorithm>
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
    const ListedRecording& entry = entries_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        return listEntryText(entry.name, entry.seconds);
    }
    if (role == Qt::UserRole) {
        return entry.name;
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
    return entries_[static_cast<std::size_t>(row)].name;
}

int RecordingListModel::rowOf(const QString& name) const {
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&name](const ListedRecording& entry) { return entry.name == name; });
    return found == entries_.end() ? -1 : static_cast<int>(found - entries_.begin());
}

void RecordingListModel::append(ListedRecording entry) {
    beginInsertRows(QModelIndex(), count(), count());
    entries_.push_back(std::move(entry));
    endInsertRows();
}

std::vector<ListedRecording> RecordingListModel::replace(std::vector<ListedRecording> entries) {
    beginResetModel();
    std::swap(entries_, entries);
    endResetModel();
    return entries;
}

void RecordingListModel::clear() {
    replace({});
}

} // namespace kestrova
