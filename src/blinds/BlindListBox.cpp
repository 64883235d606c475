#include "blinds/BlindListBox.h"

BlindListModel::BlindListModel(const BlindColumn &small, const BlindColumn &big, const BlindColumn &time,
                               QObject *parent)
    : QAbstractListModel(parent), small_(small), big_(big), time_(time)
{}

int BlindListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : lines_;
}

QVariant BlindListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    return list(index.row());
}

QString BlindListModel::list(int index) const
{
    if (index < 0 || index >= lines_)
        return QString();
    const auto it = written_.constFind(index);
    if (it != written_.constEnd())
        return *it;
    if (index >= small_.listCount() || index >= big_.listCount() || index >= time_.listCount())
        return QString();
    return blindLine(index + 1, prefix_, small_.list(index), big_.list(index), minutesText(time_.list(index)));
}

void BlindListModel::clear()
{
    beginResetModel();
    lines_ = 0;
    written_.clear();
    endResetModel();
}

void BlindListModel::render(const QString &prefix)
{
    beginResetModel();
    prefix_ = prefix;
    written_.clear();
    lines_ = big_.listCount();
    endResetModel();
}

void BlindListModel::addItem(const QString &line)
{
    beginInsertRows(QModelIndex(), lines_, lines_);
    written_.insert(lines_, line);
    ++lines_;
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
