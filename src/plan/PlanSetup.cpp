#include "plan/PlanSetup.h"

#include "tournament/SetupTexts.h"

#include <QRegularExpression>

namespace plan {

const QStringList PlanKeys{QStringLiteral("Chips"),   QStringLiteral("RoundToChips"), QStringLiteral("Stack"),
                           QStringLiteral("Players"), QStringLiteral("Rebuys"),       QStringLiteral("AddOns"),
                           QStringLiteral("StartsAt")};

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

std::optional<PlanSetup> parsePlanSetup(const PlanTexts &texts, QString *why)
{
    const auto fail = [why](const QString &text) -> std::optional<PlanSetup> {
        if (why)
            *why = text;
        return std::nullopt;
    };
    PlanSetup s;
    const QString chipsText = texts.value(QStringLiteral("Chips"));
    if (!chipsText.trimmed().isEmpty()) {
        const std::optional<chips::ChipCase> c = chips::parseCaseText(chipsText);
        if (!c)
            return fail(QStringLiteral("The chip case cannot be read."));
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
                  {"AddOns", "Add-ons expected", &PlanSetup::addOns}};
    for (const auto &c : counts) {
        const std::optional<qint64> v = tournament::parseAmount(texts.value(QLatin1String(c.key)).trimmed());
        if (!v)
            return fail(QStringLiteral("“%1” must be a whole number.").arg(QLatin1String(c.caption)));
        s.*c.value = *v;
    }
    const QString starts = texts.value(QStringLiteral("StartsAt")).trimmed();
    if (!starts.isEmpty()) {
        s.startsAt = parseTimeOfDay(starts);
        if (!s.startsAt)
            return fail(QStringLiteral("“Starts at” must be a time of day such as 20:00."));
    }
    return s;
}

} // namespace plan
