#include "clock/DisplayState.h"

#include <tuple>

namespace {

auto fields(const DisplayState &s)
{
    return std::tie(s.title, s.currentRound, s.nextRound, s.elapsed, s.blinds, s.ante, s.backColour, s.textColour,
                    s.anteColour, s.titleColour, s.shown, s.paused, s.inBreak, s.round, s.secondsLeft, s.levelSeconds,
                    s.gameSeconds, s.smallBlind, s.bigBlind, s.anteAmount, s.currency, s.nextLevel, s.lastLevel,
                    s.backQuestion, s.breakNext, s.gameTitle, s.counting, s.band, s.payoutsLocked, s.records, s.recent,
                    s.tables, s.seats, s.seatMap, s.seatCalls, s.move, s.moveFrom, s.redrawOffered, s.names, s.players,
                    s.out, s.results, s.season, s.seasonInBreaks, s.chipCounts, s.countCheck, s.dealHead, s.dealNames,
                    s.dealChips, s.dealWays, s.dealShares, s.chipCase, s.chipLine, s.chipWarning, s.colourUp,
                    s.addOnNow, s.nextBreak, s.planSummary, s.plan, s.chipValues, s.raceLeaving, s.raceTo);
}

} // namespace

bool DisplayState::operator==(const DisplayState &o) const
{
    return fields(*this) == fields(o);
}
