#pragma once
// The blind schedule: three parallel columns of texts (small blind, big blind, round
// length in seconds) and the rendering of one round as a list line.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// One hidden column of the schedule. Never a widget, so never shown.
class BlindColumn {
public:
    int listCount() const { return int(items_.size()); }
    const QString &list(int index) const { return items_.at(index); }
    // Appends, or inserts before the given position.
    void addItem(const QString &text, int index = -1);
    void removeItem(int index);
    void clear() { items_.clear(); }
    void setItems(QStringList items) { items_ = std::move(items); }
    const QStringList &items() const { return items_; }

private:
    QStringList items_;
};

// The visible list's lines: one per row of the columns, with the currency's prefix, made when
// looked at; a line appended by Add stands as it was written.
struct ListLines {
    int count = 0;
    QString prefix;
    QHash<int, QString> written;

    QString line(int index, const QStringList &small, const QStringList &big, const QStringList &time) const;
};

// The most rounds a schedule holds: row positions and round numbers are 16-bit.
constexpr int MaxRounds = 32767;

// The minutes of a round length given in seconds, rounded half to even;
// "?" when the seconds do not read as a 32-bit number or the minutes do not fit 16 bits.
QString minutesText(QStringView seconds);

// "Round 1: £25/£50 for 20 mins."
QString blindLine(int round, const QString &prefix, const QString &small, const QString &big, const QString &minutes);
