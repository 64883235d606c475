#include "settings/WindowSettings.h"

#include "settings/frm_Chiplark.h"
#include "text/TextNumber.h"

#include <algorithm>
#include <limits>

namespace {

// A row a column does not have reads as empty (the list may be edited during a game).
QString at(const BlindColumn &column, int row)
{
    return row >= 0 && row < column.listCount() ? column.list(row) : QString();
}

} // namespace

int WindowSettings::levelCount() const
{
    return window_.lst_Blinds->listCount();
}

QString WindowSettings::levelLine(int row) const
{
    return row >= 0 && row < levelCount() ? window_.lst_Blinds->list(row) : QString();
}

QString WindowSettings::smallBlind(int row) const
{
    return at(window_.lst_Small, row);
}

QString WindowSettings::bigBlind(int row) const
{
    return at(window_.lst_Big, row);
}

QString WindowSettings::levelTime(int row) const
{
    return at(window_.lst_Time, row);
}

std::vector<std::array<QString, 3>> WindowSettings::levels() const
{
    const frm_Chiplark &w = window_;
    std::vector<std::array<QString, 3>> rows;
    const int n = std::min({w.lst_Small.listCount(), w.lst_Big.listCount(), w.lst_Time.listCount()});
    rows.reserve(size_t(std::max(0, n)));
    for (int i = 0; i < n; ++i)
        rows.push_back({w.lst_Small.list(i), w.lst_Big.list(i), w.lst_Time.list(i)});
    return rows;
}

int WindowSettings::selectedRow() const
{
    return window_.lst_Blinds->listIndex();
}

void WindowSettings::selectRow(int row)
{
    window_.lst_Blinds->setListIndex(row);
}

bool WindowSettings::breakOn() const
{
    return window_.opt_Break[0]->isChecked();
}

QString WindowSettings::breakEvery() const
{
    return window_.txt_Break->text();
}

QString WindowSettings::breakMinutes() const
{
    return window_.txt_breakTime->text();
}

bool WindowSettings::repeatBreak() const
{
    return window_.screenOptions.repeatBreak;
}

AnteRule WindowSettings::anteRule() const
{
    const frm_Chiplark &w = window_;
    return {w.opt_Ante[1]->isChecked(), wholeValue(w.txt_AnteRound->text(), Width::Int16),
            wholeValue(w.txt_ante->text(), Width::Int32), w.opt_AnteRaise[1]->isChecked(),
            wholeValue(w.txt_AnteFactor->text(), Width::Int32)};
}

// A setup that cannot be read is no chip case: the dialog says what is wrong with it.
plan::PlanSetup WindowSettings::planSetup() const
{
    return plan::parsePlanSetup(window_.planTexts, nullptr).value_or(plan::PlanSetup{});
}

bool WindowSettings::speechOn() const
{
    return window_.Check1->value() == 1;
}

Phrases WindowSettings::phrases() const
{
    return window_.phrases;
}

QString WindowSettings::soundToPlay() const
{
    const QString wav = window_.txt_wavpath->text();
    return window_.chk_playWav->value() == 1 && window_.FileExistsonDisk(wav) ? wav : QString();
}

QString WindowSettings::longTime(qint64 seconds) const
{
    return window_.services_.timeFormat->longTime(int(std::clamp<qint64>(seconds, 0, std::numeric_limits<int>::max())));
}

QString WindowSettings::title() const
{
    return window_.txt_Title->text();
}

std::array<qint32, 4> WindowSettings::colours() const
{
    const frm_Chiplark &w = window_;
    return {w.cmd_back->colour(), w.cmd_fore->colour(), w.cmd_ante->colour(), w.cmd_Title->colour()};
}

std::vector<std::array<QString, 3>> WindowSettings::snapshot() const
{
    return window_.settingValues();
}

// The settings first, then the levels as they were played, in a custom list.
void WindowSettings::restore(const tournament::SavedGame &game)
{
    frm_Chiplark &w = window_;
    w.restoreSettings(game.settings);
    w.lst_Small.clear();
    w.lst_Big.clear();
    w.lst_Time.clear();
    for (const auto &level : game.levels) {
        w.lst_Small.addItem(level[0]);
        w.lst_Big.addItem(level[1]);
        w.lst_Time.addItem(level[2]);
    }
    w.selectOption(w.opt_Blinds, 0);
    w.regenList();
}
