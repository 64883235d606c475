#include "plan/PlanSetup.h"

#include "tournament/SetupTexts.h"

#include <QRegularExpression>

namespace plan {

const QStringList PlanKeys{QStringLiteral("Chips"),   QStringLiteral("RoundToChips"), QStringLiteral("Stack"),
                           QStringLiteral("Players"), QStringLiteral("Rebuys"),       QStringLiteral("Reentries"),
                           QStringLiteral("AddOns"),  QStringLiteral("StartsAt")};

std::optional<qint64> parseTimeOfDay(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int h = m.captured(1).toInt(), min = m.captured(2).toInt();
    if (h > 23 || min > 59)
        return std::nullopt;
    return qint64(h) * 3600 + min * 60;
}

std::optional<PlanSetup> parsePlanSetup(const PlanTexts &texts, QString *why, std::vector<Problem> *problems)
{
    std::vector<Problem> found;
    const auto fail = [&found](const char *key, const QString &text) { found.push_back({QLatin1String(key), text}); };
    PlanSetup s;
    const QString chipsText = texts.value(QStringLiteral("Chips"));
    if (!chipsText.trimmed().isEmpty()) {
        const std::optional<chips::ChipCase> c = chips::parseCaseText(chipsText);
        if (!c)
            fail("Chips", QStringLiteral("The chip case cannot be read."));
        else
            s.chips = *c;
    }
    s.roundToChips = texts.value(QStringLiteral("RoundToChips")) == QStringLiteral("1");
    const struct {
        const char *key;
        const char *caption;
        qint64 PlanSetup::*value;
    } counts[] = {{"Stack", "Starting stack", &PlanSetup::stack},
                  {"Players", "Players expected", &PlanSetup::players},
                  {"Rebuys", "Rebuys expected", &PlanSetup::rebuys},
                  {"Reentries", "Re-entries expected", &PlanSetup::reentries},
                  {"AddOns", "Add-ons expected", &PlanSetup::addOns}};
    for (const auto &c : counts) {
        const std::optional<qint64> v = tournament::parseAmount(texts.value(QLatin1String(c.key)).trimmed());
        if (!v)
            fail(c.key, QStringLiteral("“") + QLatin1String(c.caption) + QStringLiteral("” must be a whole number."));
        else
            s.*c.value = *v;
    }
    const QString starts = texts.value(QStringLiteral("StartsAt")).trimmed();
    if (!starts.isEmpty()) {
        s.startsAt = parseTimeOfDay(starts);
        if (!s.startsAt)
            fail("StartsAt", QStringLiteral("“Starts at” must be a time of day such as 20:00."));
    }
    if (problems)
        *problems = found;
    if (!found.empty()) {
        if (why)
            *why = found.front().text;
        return std::nullopt;
    }
    return s;
}

} // namespace plan
