#include "clock/NightPlan.h"

#include "plan/Night.h"
#include "text/ClockText.h"
#include "text/TextNumber.h"

#include <QDateTime>
#include <algorithm>

void NightPlan::forget()
{
    spoken_.clear();
    chipPlan_ = {};
}

void NightPlan::make(const At &at)
{
    const GameRules &rules_ = at.rules;
    const GameState &state = at.state;
    const plan::PlanSetup setup = rules_.plan;
    on_ = setup.on();
    chipCase_ = setup.chips;
    // Mid-game the colour-ups of the levels played stay as they were (a new game or a resumed
    // one has none yet).
    const chips::ChipPlan before = std::exchange(chipPlan_, {});
    plan_ = {};
    addOnAfter_.reset();
    nextBreakMinutes_ = planMinute_ = -1;
    planRow_ = -1;
    if (!on_)
        return;
    // The night as the settings stand, read as the setup's plan reads it.
    plan::Night night;
    night.setup = setup;
    const AnteRule ante = rules_.ante;
    // A level whose length cannot be read lasts as long as the one before it, as in play.
    qint64 length = state.levelSeconds;
    for (int row = 0; row < rules_.levelCount(); ++row) {
        night.levels.push_back({rules_.smallBlind(row), rules_.bigBlind(row), anteForRound(ante, row + 1)});
        const std::optional<qint32> own = toInt32(rules_.levelTime(row));
        if (own && *own >= 0)
            length = *own;
        night.levelSeconds.push_back(length);
    }
    const std::optional<qint64> every = rules_.breakOn ? wholeValue(rules_.breakEvery, Width::Int16) : std::nullopt;
    night.breakEvery = every && *every > 0 ? *every : 0;
    night.repeat = rules_.repeatBreak;
    night.breakSeconds = state.breakSeconds;
    if (at.count)
        night.count = *at.count;
    const chips::Structure structure = plan::structureOf(night);
    chipPlan_ =
        chips::planChips(chipCase_, structure, before, state.currentRound == -1 ? at.row + 1 : state.currentRound - 1);
    if (at.count && at.count->addOn > 0)
        addOnAfter_ = chips::addOnBreak(structure, at.count->rebuyLastRound);
    plan_ = plan::makePlan(plan::planInput(night, {}));
}

QStringList NightPlan::toSay(const At &at, bool atBreak, bool breakNext)
{
    QStringList said;
    if (!on_)
        return said;
    const auto once = [this](int key) {
        if (std::find(spoken_.begin(), spoken_.end(), key) != spoken_.end())
            return false;
        spoken_.push_back(key);
        return true;
    };
    if (!atBreak) {
        // The level the break follows has begun: its colour-up is said now, a level ahead.
        const int level = at.state.currentRound;
        const chips::ColourUp *up = chipPlan_.at(level);
        if (up && at.rules.speechOn && breakNext && level < at.rules.levelCount() && once(level))
            said << chips::colourUpWarning(up->chips);
        return said;
    }
    const int played = at.row + 1;
    if (!at.count || at.count->addOn <= 0 || addOnAfter_ != played)
        return said;
    const tournament::Setup &t = *at.count;
    if ((at.rules.speechOn || t.speak) && once(-played))
        said << plan::addOnNow(at.state.currencySymbol, t.addOn, t.addOnChips);
    return said;
}

void NightPlan::show(DisplayState &v, const At &at, qint64 nowMs)
{
    const GameRules &rules_ = at.rules;
    v.chipCase = on_;
    if (!on_) {
        v.chipWarning.clear();
        v.colourUp.clear();
        v.addOnNow.clear();
        v.nextBreak.clear();
        v.planSummary.clear();
        v.plan.clear();
        v.chipValues.clear();
        v.raceLeaving.clear();
        v.raceTo = 0;
        return;
    }
    const GameState &g = at.state;
    v.chipValues = chipCase_;
    // The level in play, or in the break the one it follows.
    const int played = v.inBreak ? at.row + 1 : g.currentRound;
    const chips::ColourUp *up = v.inBreak || v.breakNext ? chipPlan_.at(played) : nullptr;
    v.chipWarning = up && !v.inBreak ? chips::colourUpWarning(up->chips) : QString();
    v.colourUp = up && v.inBreak ? chips::colourUpLine(up->chips) : QString();
    // In the break, the leaving chips are raced for the smallest chip that stays.
    v.raceLeaving.clear();
    v.raceTo = 0;
    if (up && v.inBreak && !up->chips.empty()) {
        for (const chips::Chip &chip : chipCase_)
            if (chip.value > up->chips.back()
                && std::find(up->chips.begin(), up->chips.end(), chip.value) == up->chips.end()) {
                v.raceTo = chip.value;
                v.raceLeaving = up->chips;
                break;
            }
    }
    const tournament::Setup *counted = at.count;
    v.addOnNow = v.inBreak && counted && counted->addOn > 0 && addOnAfter_ == played
                     ? plan::addOnNow(g.currencySymbol, counted->addOn, counted->addOnChips)
                     : QString();

    // The minutes to the next break, rebuilt only when the minute shown changes.
    std::optional<qint64> toBreak;
    if (!v.inBreak && rules_.breakOn && rules_.repeatBreak)
        toBreak = plan::secondsToBreak(plan_, g.currentRound, std::max<qint64>(0, g.secondsLeft));
    const qint64 minutes = toBreak ? (*toBreak + 59) / 60 : -2;
    if (minutes != nextBreakMinutes_) {
        nextBreakMinutes_ = minutes;
        v.nextBreak = toBreak ? plan::nextBreakText(*toBreak) : QString();
    }

    // The plan's times count from the minute the night would have begun, had it run as planned
    // up to the second in play: a pause moves every time still to come.
    const std::vector<plan::Row> &rows = plan_.rows;
    int now = -1;
    for (int i = 0; i < int(rows.size()) && now < 0; ++i)
        if (v.inBreak ? rows[size_t(i)].level == 0 && i > 0 && rows[size_t(i - 1)].level == played
                      : rows[size_t(i)].level == g.currentRound)
            now = i;
    const qint64 elapsed =
        now >= 0 ? rows[size_t(now)].from + rows[size_t(now)].seconds - g.secondsLeft : g.gameSeconds;
    // The minute it began, counted on the calendar: a night the clocks change reads as they do.
    const qint64 began = nowMs - elapsed * 1000;
    const qint64 minute = began / 60000 - (began % 60000 < 0 ? 1 : 0);
    if (minute == planMinute_ && now == planRow_)
        return;
    planMinute_ = minute;
    planRow_ = now;
    plan_.startsAt = QDateTime::fromMSecsSinceEpoch(minute * 60000);
    v.plan.clear();
    for (int i = 0; i < int(rows.size()); ++i) {
        const plan::Row &r = rows[size_t(i)];
        v.plan.push_back(
            {r.level, plan::timeOfDay(plan_.startsAt.addSecs(r.from)),
             r.level > 0 ? blindsText(g.currencySymbol, rules_.smallBlind(r.level - 1), rules_.bigBlind(r.level - 1))
                         : QString(),
             i == now});
    }
    v.planSummary = plan::planSummary(plan_);
}
