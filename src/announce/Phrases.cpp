#include "announce/Phrases.h"

Phrases defaultPhrases()
{
    Phrases p;
    p.BlindsAreNow = QStringLiteral("Blinds are now");
    p.And = QStringLiteral("and");
    p.BlindsSoon = QStringLiteral("Next round in 1 minute.");
    p.Start = QStringLiteral("The game is now started. The player who is the dealer can deal the cards.");
    p.BreakSoon = QStringLiteral("Break in 1 minute.");
    p.Break = QStringLiteral("The break has now started. Players should stop playing once they have finished "
                             "this hand. The game will resume in 5 minutes.");
    p.Ante = QStringLiteral("The Ant\u00E9 is");
    return p;
}
