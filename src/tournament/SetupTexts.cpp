#include "tournament/SetupTexts.h"

#include "tournament/SavedGame.h"

#include <QRegularExpression>
#include <algorithm>
#include <limits>

namespace tournament {

const QString CountKey = QStringLiteral("Count");
const QString SpeakKey = QStringLiteral("Speak");
const QString CutFixedKey = QStringLiteral("CutFixed");
const QString OpenAfterCloseKey = QStringLiteral("OpenAfterClose");
const QString ProgressiveKey = QStringLiteral("Progressive");

const std::array<SetupKey, 27> SetupKeys{{
    {"Count", "Count players and prizes", SetupKey::Switch},
    {"BuyIn", "Buy-in", SetupKey::Amount, &Setup::buyIn},
    {"BuyInChips", "Buy-in chips", SetupKey::Chips, &Setup::buyInChips},
    {"Reentry", "Re-entry", SetupKey::Amount, nullptr, &Setup::reentry},
    {"ReentryChips", "Re-entry chips", SetupKey::Chips, nullptr, &Setup::reentryChips},
    {"Rebuy", "Rebuy", SetupKey::Amount, &Setup::rebuy},
    {"RebuyChips", "Rebuy chips", SetupKey::Chips, &Setup::rebuyChips},
    {"RebuyUntil", "Rebuys until round", SetupKey::Round, &Setup::rebuyLastRound},
    {"ReentryUntil", "Re-entries until round", SetupKey::Round, nullptr, &Setup::reentryLastRound},
    {"EntryUntil", "Entries until round", SetupKey::Round, &Setup::entryLastRound},
    {"LateLess", "Late stack less per round", SetupKey::Chips, &Setup::lateLess},
    {"OpenAfterClose", "Payouts follow entries after registration closes", SetupKey::Switch},
    {"AddOn", "Add-on", SetupKey::Amount, &Setup::addOn},
    {"AddOnChips", "Add-on chips", SetupKey::Chips, &Setup::addOnChips},
    {"Cut", "House cut", SetupKey::Cut, &Setup::cut},
    {"CutFixed", "House cut as a fixed amount", SetupKey::Switch},
    {"Added", "Added money", SetupKey::Amount, &Setup::added},
    {"Guarantee", "Guarantee", SetupKey::Amount, &Setup::guarantee},
    {"Rounding", "Round payouts to", SetupKey::Unit, &Setup::unit},
    {"Bounty", "Bounty", SetupKey::Amount, &Setup::bounty},
    {"BountyUnit", "Bounties paid in", SetupKey::Unit, &Setup::bountyUnit},
    {"Progressive", "Progressive bounties", SetupKey::Switch},
    {"Payouts", "Payouts", SetupKey::Shares},
    {"Speak", "Announce busts and the money", SetupKey::Switch},
    {"Tables", "Tables", SetupKey::Tables},
    {"Seats", "Seats per table", SetupKey::Seats},
    {"BreakOrder", "Tables break in the order", SetupKey::BreakOrder},
}};

bool switchedOn(const SetupTexts &texts, const QString &key)
{
    return texts.value(key) == QLatin1String("1");
}

std::optional<qint64> parseAmount(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{1,19}$"));
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0;
    if (!digits.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok);
    if (!ok || v > qulonglong(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return qint64(v);
}

std::optional<std::vector<int>> parseBreakOrder(const QString &text, int tables)
{
    std::vector<int> order;
    for (const QString &part : text.split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int t = part.toInt(&ok);
        if (!ok || t < 1 || t > tables || std::find(order.begin(), order.end(), t) != order.end())
            return std::nullopt;
        order.push_back(t);
    }
    return order;
}

QString setupQuestion(const Setup &setup)
{
    // Added money or a guarantee still makes a prize pool.
    if (setup.cutFixed || setup.cut < 100 || setup.added > 0 || setup.guarantee > 0)
        return {};
    return QStringLiteral("A house cut of 100 % leaves nothing for the prizes. Keep it?");
}

namespace {

// The setup, every box read; each one that cannot be is added to problems.
Setup readSetup(const SetupTexts &texts, std::vector<SetupProblem> &problems)
{
    Setup s;
    s.cutFixed = switchedOn(texts, CutFixedKey);
    s.speak = switchedOn(texts, SpeakKey);
    s.progressive = switchedOn(texts, ProgressiveKey);
    constexpr qint64 Max = std::numeric_limits<qint64>::max();
    for (const SetupKey &k : SetupKeys) {
        const QString key = QLatin1String(k.key);
        const QString text = texts.value(key);
        if (k.kind == SetupKey::Switch)
            continue;
        if (k.kind == SetupKey::Tables || k.kind == SetupKey::Seats) {
            const bool isTables = k.kind == SetupKey::Tables;
            const qint64 low = isTables ? 1 : tables::MinSeats;
            const qint64 high = isTables ? tables::MaxTables : tables::MaxSeats;
            const std::optional<qint64> v =
                text.trimmed().isEmpty() ? std::optional<qint64>(isTables ? 1 : 9) : parseAmount(text);
            if (!v || *v < low || *v > high) {
                problems.push_back({key, QStringLiteral("\"%1\" must be a whole number from %2 to %3.")
                                             .arg(QLatin1String(k.caption))
                                             .arg(low)
                                             .arg(high)});
                continue;
            }
            (isTables ? s.layout.tables : s.layout.seats) = int(*v);
            continue;
        }
        if (k.kind == SetupKey::BreakOrder)
            continue;
        if (k.kind == SetupKey::Shares) {
            if (text.trimmed().isEmpty())
                continue;
            if (const auto shares = parseShares(text)) {
                s.shares = *shares;
                continue;
            }
            problems.push_back(
                {key, QStringLiteral("\"Payouts\" must be percentages that add up to 100, one per "
                                     "place from the first, such as 50/30/20; or empty for the table.")});
            continue;
        }
        qint64 high = Max;
        qint64 low = 0;
        if (k.kind == SetupKey::Round)
            high = 32767;
        else if (k.kind == SetupKey::Cut && !s.cutFixed)
            high = 100;
        else if (k.kind == SetupKey::Unit)
            low = 1;
        std::optional<qint64> v = parseAmount(text);
        if (k.kind == SetupKey::Unit && text.trimmed().isEmpty())
            v = 1;
        if (!v || *v < low || *v > high) {
            problems.push_back({key, QStringLiteral("\"%1\" must be a whole number from %2 to %3.")
                                         .arg(QLatin1String(k.caption), grouped(low), grouped(high))});
            continue;
        }
        if (k.maybe)
            s.*k.maybe = text.trimmed().isEmpty() ? std::nullopt : v;
        else
            s.*k.value = *v;
    }
    // The payouts lock by themselves when registration closes, unless the host says otherwise;
    // a late stack shrinks only while registration is open, and must not shrink to nothing.
    s.lockAtClose = s.entryLastRound > 0 && !switchedOn(texts, OpenAfterCloseKey);
    if (s.lateLess > 0 && s.entryLastRound <= 0)
        problems.push_back({QStringLiteral("LateLess"),
                            QStringLiteral("A late stack needs \"Entries until round\": it shrinks until then.")});
    else if (s.lateLess > 0 && s.entryStack(s.entryLastRound) <= 0)
        problems.push_back({QStringLiteral("LateLess"),
                            QStringLiteral("\"Late stack less per round\" leaves no chips by round %1: the buy-in "
                                           "is %2 chips.")
                                .arg(s.entryLastRound)
                                .arg(grouped(s.buyInChips))});
    // A bounty is part of every buy-in, re-entry and rebuy, and paid in whole units.
    const auto bountyAbove = [&](const char *what, qint64 amount) {
        problems.push_back(
            {QStringLiteral("Bounty"),
             QStringLiteral("The bounty is more than the %1 of %2.").arg(QLatin1String(what), grouped(amount))});
    };
    if (s.bounty > 0 && s.bounty > s.buyIn)
        bountyAbove("buy-in", s.buyIn);
    else if (s.bounty > 0 && s.bounty > s.reentryAmount())
        bountyAbove("re-entry", s.reentryAmount());
    else if (s.bounty > 0 && s.rebuy > 0 && s.bounty > s.rebuy)
        bountyAbove("rebuy", s.rebuy);
    else if (s.bounty > 0 && s.bountyUnit > 0 && s.bounty % s.bountyUnit != 0)
        problems.push_back({QStringLiteral("BountyUnit"),
                            QStringLiteral("The bounty of %1 is not a whole number of %2s: bounties are paid in them.")
                                .arg(grouped(s.bounty), grouped(s.bountyUnit))});
    const std::optional<std::vector<int>> order =
        parseBreakOrder(texts.value(QStringLiteral("BreakOrder")), s.layout.tables);
    if (order)
        s.layout.breakOrder = *order;
    else
        problems.push_back({QStringLiteral("BreakOrder"),
                            QStringLiteral("\"Tables break in the order\" must name tables from 1 to %1, each once, "
                                           "such as 3, 2; or be empty for the highest number first.")
                                .arg(s.layout.tables)});
    return s;
}

} // namespace

std::optional<Setup> parseSetup(const SetupTexts &texts, QString *why)
{
    std::vector<SetupProblem> problems;
    const Setup s = readSetup(texts, problems);
    if (problems.empty())
        return s;
    if (why)
        *why = problems.front().why;
    return std::nullopt;
}

std::vector<SetupProblem> setupProblems(const SetupTexts &texts)
{
    std::vector<SetupProblem> problems;
    readSetup(texts, problems);
    return problems;
}

namespace {

// A control character stands for a space, as a tab does.
QString withoutControls(const QString &typed)
{
    QString name;
    name.reserve(typed.size());
    for (const QChar c : typed)
        name += c.category() == QChar::Other_Control ? QChar(u' ') : c;
    return name.simplified();
}

} // namespace

QString keptName(const QString &typed)
{
    QString name = withoutControls(typed);
    if (name.size() > MaxNameChars)
        name.truncate(name.at(MaxNameChars - 1).isHighSurrogate() ? MaxNameChars - 1 : MaxNameChars);
    return name.trimmed();
}

QString namesCut(const QStringList &typed)
{
    QStringList cut;
    for (const QString &name : typed)
        if (withoutControls(name).size() > MaxNameChars)
            cut << keptName(name) + QStringLiteral("…");
    if (cut.isEmpty())
        return {};
    return (cut.size() == 1 ? QStringLiteral("1 name is cut") : QStringLiteral("%1 names are cut").arg(cut.size()))
           + QStringLiteral(" to %1 characters: ").arg(MaxNameChars) + cut.join(QStringLiteral(", "));
}

} // namespace tournament
