#include "blinds/BlindListBox.h"

BlindListModel::BlindListModel(const BlindColumn &small, const BlindColumn &big, const BlindColumn &time,
                               QObject *parent)
    : QAbstractListModel(parent), small_(small), big_(big), time_(time)
{}

int BlindListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : lines_.count;
}

QVariant BlindListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return list(index.row());
}

QString BlindListModel::list(int index) const
{
    return lines_.line(index, small_.items(), big_.items(), time_.items());
}

void BlindListModel::clear()
{
    beginResetModel();
    lines_.count = 0;
    lines_.written.clear();
    endResetModel();
}

void BlindListModel::render(const QString &prefix)
{
    beginResetModel();
    lines_.prefix = prefix;
    lines_.written.clear();
    lines_.count = big_.listCount();
    endResetModel();
}

void BlindListModel::addItem(const QString &line)
{
    beginInsertRows(QModelIndex(), lines_.count, lines_.count);
    lines_.written.insert(lines_.count, line);
    ++lines_.count;
    endInsertRows();
}

BlindListBox::BlindListBox(const BlindColumn &small, const BlindColumn &big, const BlindColumn &time, QWidget *parent)
    : QListView(parent), model_(small, big, time)
{
    setModel(&model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
}

int BlindListBox::listIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void BlindListBox::setListIndex(int index)
{
    if (index < 0 || index >= model_.listCount()) {
        selectionModel()->clearSelection();
        return;
    }
    const QModelIndex at = model_.index(index);
    selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect);
    scrollTo(at);
}
