#include "gui/ui/RecordingListView.h"

#include <QItemSelectionModel>

namespace kestrova {

RecordingListView::RecordingListView(QWidget* parent) : QListView(parent) {
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int RecordingListView::count() const {
    return model() != nullptr ? model()->rowCount(rootIndex()) : 0;
}

QString RecordingListView::text(int row) const {
    return model() != nullptr ? model()->index(row, 0, rootIndex()).data().toString() : QString();
}

int RecordingListView::currentRow() const {
    return currentIndex().row();
}

void RecordingListView::setCurrentRow(int row) {
    if (model() == nullptr || selectionModel() == nullptr) {
        return;
    }
    selectionModel()->setCurrentIndex(model()->index(row, 0, rootIndex()),
                                      QItemSelectionModel::ClearAndSelect);
}

} // namespace kestrova
