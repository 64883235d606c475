#pragma once
// The visible blind list. Its lines are made from the schedule's columns when they are
// looked at, so re-rendering 32,767 rounds costs no more than re-rendering one.

#include "blinds/BlindSchedule.h"

#include <QAbstractListModel>
#include <QListView>

class BlindListModel : public QAbstractListModel {
    Q_OBJECT
public:
    BlindListModel(const BlindColumn &small, const BlindColumn &big, const BlindColumn &time,
                   QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    int listCount() const { return lines_.count; }
    const ListLines &lines() const { return lines_; }
    QString list(int index) const;
    void clear();
    // One line per row of the columns, with the given currency prefix.
    void render(const QString &prefix);
    // Appends a line of the caller's own making.
    void addItem(const QString &line);

private:
    const BlindColumn &small_;
    const BlindColumn &big_;
    const BlindColumn &time_;
    ListLines lines_;
};

class BlindListBox : public QListView {
    Q_OBJECT
public:
    BlindListBox(const BlindColumn &small, const BlindColumn &big, const BlindColumn &time, QWidget *parent = nullptr);

    int listCount() const { return model_.listCount(); }
    const ListLines &lines() const { return model_.lines(); }
    QString list(int index) const { return model_.list(index); }
    // The selected line, or -1.
    int listIndex() const;
    // Selects a line; -1 selects none.
    void setListIndex(int index);
    void clear() { model_.clear(); }
    void render(const QString &prefix) { model_.render(prefix); }
    void addItem(const QString &line) { model_.addItem(line); }

private:
    BlindListModel model_;
};
