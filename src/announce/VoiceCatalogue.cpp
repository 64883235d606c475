#include "announce/VoiceCatalogue.h"

#include <QSet>
#include <algorithm>

bool isVoiceVariant(const QString &name)
{
    return name.contains(QLatin1Char('+'));
}

namespace {

// Words that name a region in voice names besides the region's own English name.
QStringList regionWords(QLocale::Territory territory)
{
    QStringList words{QLocale::territoryToString(territory)};
    if (territory == QLocale::UnitedKingdom)
        words << QStringLiteral("Great Britain") << QStringLiteral("British");
    else if (territory == QLocale::UnitedStates)
        words << QStringLiteral("America");
    return words;
}

// Among the English voices of one region, the one that names the region plainly.
int regionVoice(const QList<EngineVoice> &voices, QLocale::Territory territory)
{
    int best = -1;
    int bestScore = -1;
    const QStringList words = regionWords(territory);
    for (int i = 0; i < voices.size(); ++i) {
        const EngineVoice &v = voices[i];
        if (v.locale.language() != QLocale::English || v.locale.territory() != territory)
            continue;
        const bool named = std::any_of(words.begin(), words.end(),
                                       [&](const QString &w) { return v.name.contains(w, Qt::CaseInsensitive); });
        // A plain name beats one with more qualifiers ("America" before "America, New York City").
        const int score = (named ? 100000 : 0) - int(v.name.size());
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

} // namespace

VoiceCatalogue catalogueVoices(const QList<EngineVoice> &engineVoices, const QLocale &system)
{
    VoiceCatalogue c;
    QSet<QString> seen;
    for (const EngineVoice &v : engineVoices) {
        if (v.name.isEmpty() || isVoiceVariant(v.name) || seen.contains(v.name))
            continue;
        seen.insert(v.name);
        c.voices << v;
    }
    const QLocale::Language systemLanguage = system.language();
    const auto part = [&](const EngineVoice &v) {
        if (v.locale.language() == QLocale::English)
            return 0;
        if (systemLanguage != QLocale::C && systemLanguage != QLocale::AnyLanguage
            && v.locale.language() == systemLanguage)
            return 1;
        return 2;
    };
    std::stable_sort(c.voices.begin(), c.voices.end(), [&](const EngineVoice &a, const EngineVoice &b) {
        const int pa = part(a);
        const int pb = part(b);
        if (pa != pb)
            return pa < pb;
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.name < b.name;
    });

    const QLocale::Territory wanted = systemLanguage == QLocale::English ? system.territory() : QLocale::UnitedKingdom;
    c.defaultVoice = regionVoice(c.voices, wanted);
    if (c.defaultVoice < 0)
        c.defaultVoice = regionVoice(c.voices, QLocale::UnitedKingdom);
    if (c.defaultVoice < 0 && !c.voices.isEmpty() && c.voices.first().locale.language() == QLocale::English)
        c.defaultVoice = 0;
    return c;
}
