// What the settings window hands the game: the rules as its controls stand, at the start and
// whenever one of them changes, and the kept game's settings put back into the controls
// before the game takes it up again.

#include "settings/frm_Chiplark.h"
#include "text/TextNumber.h"

#include <algorithm>
#include <limits>

AnteRule frm_Chiplark::anteRule() const
{
    return {opt_Ante[1]->isChecked(), wholeValue(txt_AnteRound->text(), Width::Int16),
            wholeValue(txt_ante->text(), Width::Int32), opt_AnteRaise[1]->isChecked(),
            wholeValue(txt_AnteFactor->text(), Width::Int32)};
}

// A setup that cannot be read is no chip case: the dialog says what is wrong with it.
plan::PlanSetup frm_Chiplark::planSetup() const
{
    return plan::parsePlanSetup(planTexts, nullptr).value_or(plan::PlanSetup{});
}

GameRules frm_Chiplark::gameRules() const
{
    GameRules r;
    r.small = lst_Small.items();
    r.big = lst_Big.items();
    r.time = lst_Time.items();
    r.lines = lst_Blinds->lines();
    r.breakOn = opt_Break[0]->isChecked();
    r.breakEvery = txt_Break->text();
    r.breakMinutes = txt_breakTime->text();
    r.repeatBreak = moreOptions.repeatBreak;
    r.ante = anteRule();
    r.plan = planSetup();
    r.speechOn = Check1->value() == 1;
    r.phrases = phrases;
    // A file that is not there when its turn comes is not played.
    r.sound = chk_playWav->value() == 1 ? txt_wavpath->text() : QString();
    platform::TimeFormat *format = services_.timeFormat;
    r.longTime = [format](qint64 seconds) {
        return format->longTime(int(std::clamp<qint64>(seconds, 0, std::numeric_limits<int>::max())));
    };
    r.title = txt_Title->text();
    r.colours = {cmd_back->colour(), cmd_fore->colour(), cmd_ante->colour(), cmd_Title->colour()};
    return r;
}

// The list's selection goes with the rules: an edit of the list clears it, and a line picked
// by hand marks the level a break goes on after.
void frm_Chiplark::handRules()
{
    game.setRules(gameRules());
    game.listSelected(lst_Blinds->listIndex());
}

void frm_Chiplark::connectRules()
{
    for (QLineEdit *box : {txt_Break, txt_breakTime, txt_ante, txt_AnteRound, txt_AnteFactor, txt_Title, txt_wavpath})
        connect(box, &QLineEdit::textChanged, this, &frm_Chiplark::handRules);
    for (QRadioButton *option : {opt_Break[0], opt_Ante[1], opt_AnteRaise[1]})
        connect(option, &QRadioButton::toggled, this, &frm_Chiplark::handRules);
    for (CheckBox *box : {Check1, chk_playWav})
        connect(box, &QCheckBox::stateChanged, this, &frm_Chiplark::handRules);
    connect(lst_Blinds->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { game.listSelected(lst_Blinds->listIndex()); });
    connect(&game, &Game::rowSelected, lst_Blinds, &BlindListBox::setListIndex);
}

// The settings first, then the levels as they were played, in a custom list.
void frm_Chiplark::restoreGame(const tournament::SavedGame &game)
{
    restoreSettings(game.settings);
    lst_Small.clear();
    lst_Big.clear();
    lst_Time.clear();
    for (const auto &level : game.levels) {
        lst_Small.addItem(level[0]);
        lst_Big.addItem(level[1]);
        lst_Time.addItem(level[2]);
    }
    selectOption(opt_Blinds, 0);
    regenList();
    handRules();
}
