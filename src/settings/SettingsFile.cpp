// The settings file: every setting of the window and the seven phrases, one key each,
// read while the window loads and written while it unloads.

#include "platform/modRegistry.h"
#include "settings/TextNumber.h"
#include "settings/frm_Chiplark.h"

#include <QDir>
#include <cstdio>

namespace {

const QString Speech = QStringLiteral("Speech");
const QString Blinds = QStringLiteral("Blinds");
const QString Config = QStringLiteral("Config");
const QString Breaks = QStringLiteral("Breaks");
const QString Ante = QStringLiteral("Ante");
const QString Screens = QStringLiteral("Screens");
const QString Tournament = QStringLiteral("Tournament");

} // namespace

void frm_Chiplark::loadSettings()
{
    const QString file = settingsPath();
    // One reading serves every value; a file that cannot be read is left alone for good.
    if (modRegistry::OpenReading(file) == modRegistry::FileAccess::Unreadable) {
        modRegistry::CloseReading();
        settingsFileKept_ = true;
        return;
    }
    const auto get = [&](const QString &section, const char *key) {
        return GetIniVal(file, section, QString::fromLatin1(key));
    };
    // An option key selects its option only when it is exactly one of the indexes.
    const auto option = [&](auto &group, const QString &section, const char *key) {
        const QString v = get(section, key);
        for (size_t i = 0; i < group.size(); ++i)
            if (v == QString::number(i))
                selectOption(group, int(i));
    };
    // A colour that is not a whole number from 0 to 16777215 keeps the swatch as it is.
    const auto colour = [&](ColourButton *swatch, const char *key) {
        const WholeNumber n = toWhole(get(Config, key), Width::Int32);
        if (n.ok() && n.value >= 0 && n.value <= 16777215)
            swatch->setColour(qint32(n.value));
    };

    phrases.BlindsAreNow = get(Speech, "BlindsAreNow");
    phrases.And = get(Speech, "And");
    phrases.BlindsSoon = get(Speech, "BlindsSoon");
    phrases.Start = get(Speech, "Start");
    phrases.BreakSoon = get(Speech, "BreakSoon");
    phrases.Break = get(Speech, "Break");
    phrases.Ante = get(Speech, "Ante");

    txt_Small->setText(get(Blinds, "AutoSmall"));
    txt_Big->setText(get(Blinds, "AutoBig"));
    txt_AutoRounds->setText(get(Blinds, "AutoRounds"));
    txt_AutoTime->setText(get(Blinds, "AutoTime"));
    option(opt_AutoIncrease, Blinds, "AutoIncrease");
    txt_blindFactor->setText(get(Blinds, "BlindFactor"));
    txt_BlindValue->setText(get(Blinds, "BlindValue"));
    txt_BlindPercentage->setText(get(Blinds, "BlindPercentage"));
    txt_Title->setText(get(Config, "Title"));

    txt_Break->setText(get(Breaks, "Break"));
    txt_breakTime->setText(get(Breaks, "BreakTime"));
    option(opt_Break, Breaks, "BreakOpt");

    txt_currency->setText(get(Config, "Currency"));
    option(opt_currency, Config, "CurrencyOpt");

    txt_ante->setText(get(Ante, "AnteAmount"));
    txt_AnteRound->setText(get(Ante, "AnteRound"));
    txt_AnteFactor->setText(get(Ante, "AnteFactor"));
    option(opt_Ante, Ante, "AnteOpt");
    option(opt_AnteRaise, Config, "AnteRaiseOpt");

    colour(cmd_back, "BackColour");
    colour(cmd_fore, "TextColour");
    colour(cmd_Title, "TitleColour");
    colour(cmd_ante, "AnteColour");

    const QString playWav = get(Config, "PlayWav");
    if (playWav == QLatin1String("1") || playWav == QLatin1String("0")) {
        chk_playWav->setValue(playWav.toInt());
        chk_playWav_Click();
    }
    txt_wavpath->setText(get(Config, "WavFile"));

    // Beyond the 32 keys: options that are off unless the file turns them on.
    for (const OptionKey &o : optionKeys()) {
        const QString value = get(o.section, o.key);
        *o.inFile = !value.isEmpty();
        *o.on = value == QStringLiteral("1");
    }
    for (const tournament::SetupKey &k : tournament::SetupKeys) {
        const QString value = get(Tournament, k.key);
        if (value.isEmpty())
            continue;
        tournamentTexts.insert(QLatin1String(k.key), value);
        tournamentKeysInFile_.insert(QLatin1String(k.key));
    }
    modRegistry::CloseReading();
}

std::array<frm_Chiplark::OptionKey, 4> frm_Chiplark::optionKeys()
{
    return {{{Screens, "ServeOnNetwork", &screenOptions.serveOnNetwork, &serveKeyInFile_},
             {Screens, "ScaleDisplay", &screenOptions.scaleDisplay, &scaleKeyInFile_},
             {Screens, "ShowPaused", &screenOptions.showPaused, &pausedKeyInFile_},
             {Breaks, "RepeatBreak", &screenOptions.repeatBreak, &repeatKeyInFile_}}};
}

void frm_Chiplark::saveSettings()
{
    // A settings file this run could not read is never replaced.
    if (settingsFileKept_)
        return;
    const QString file = settingsPath();
    // The writes change one copy in memory; the file is replaced once, at the end.
    if (modRegistry::OpenWriting(file) == modRegistry::FileAccess::Unreadable) {
        modRegistry::CommitWriting();
        return;
    }
    const auto put = [&](const QString &section, const char *key, const QString &value) {
        modRegistry::WriteIniVal(file, value, section, QString::fromLatin1(key));
    };
    // No option selected: the key is not written and the file keeps what it had.
    const auto option = [&](const auto &group, const QString &section, const char *key) {
        for (size_t i = 0; i < group.size(); ++i)
            if (group[i]->isChecked()) {
                put(section, key, QString::number(i));
                return;
            }
    };

    put(Speech, "BlindsAreNow", phrases.BlindsAreNow);
    put(Speech, "And", phrases.And);
    put(Speech, "BlindsSoon", phrases.BlindsSoon);
    put(Speech, "Start", phrases.Start);
    put(Speech, "BreakSoon", phrases.BreakSoon);
    put(Speech, "Break", phrases.Break);
    put(Speech, "Ante", phrases.Ante);

    put(Blinds, "AutoSmall", txt_Small->text());
    put(Blinds, "AutoBig", txt_Big->text());
    put(Blinds, "AutoRounds", txt_AutoRounds->text());
    put(Blinds, "AutoTime", txt_AutoTime->text());
    option(opt_AutoIncrease, Blinds, "AutoIncrease");
    put(Blinds, "BlindFactor", txt_blindFactor->text());
    put(Blinds, "BlindValue", txt_BlindValue->text());
    put(Blinds, "BlindPercentage", txt_BlindPercentage->text());
    put(Config, "Title", txt_Title->text());

    put(Breaks, "Break", txt_Break->text());
    put(Breaks, "BreakTime", txt_breakTime->text());
    option(opt_Break, Breaks, "BreakOpt");

    put(Config, "Currency", txt_currency->text());
    option(opt_currency, Config, "CurrencyOpt");

    put(Ante, "AnteAmount", txt_ante->text());
    put(Ante, "AnteRound", txt_AnteRound->text());
    put(Ante, "AnteFactor", txt_AnteFactor->text());
    option(opt_Ante, Ante, "AnteOpt");
    option(opt_AnteRaise, Config, "AnteRaiseOpt");

    put(Config, "BackColour", QString::number(cmd_back->colour()));
    put(Config, "TextColour", QString::number(cmd_fore->colour()));
    put(Config, "TitleColour", QString::number(cmd_Title->colour()));
    put(Config, "AnteColour", QString::number(cmd_ante->colour()));

    if (chk_playWav->value() != 2)
        put(Config, "PlayWav", chk_playWav->value() == 1 ? QStringLiteral("1") : QStringLiteral("0"));
    put(Config, "WavFile", txt_wavpath->text());

    // Written only when on, or to turn off what the file turned on: a file that never had
    // them stays the 32 keys.
    for (const OptionKey &o : optionKeys())
        if (*o.on || *o.inFile)
            put(o.section, o.key, *o.on ? QStringLiteral("1") : QStringLiteral("0"));
    // The count's setup likewise: a box left empty (a switch off) is written only to undo
    // what the file said.
    for (const tournament::SetupKey &k : tournament::SetupKeys) {
        const QString key = QLatin1String(k.key);
        const QString value = tournamentTexts.value(key);
        if (!value.isEmpty())
            put(Tournament, k.key, value);
        else if (tournamentKeysInFile_.contains(key))
            put(Tournament, k.key, k.kind == tournament::SetupKey::Switch ? QStringLiteral("0") : QString());
    }
    // The windows say nothing of a failed save; whoever started the program from a terminal
    // (or reads its log) learns what was lost and why.
    QString why;
    if (!modRegistry::CommitWriting(&why))
        std::fprintf(stderr, "Chiplark: the settings were not saved to %s: %s\n",
                     qPrintable(QDir::toNativeSeparators(file)), qPrintable(why));
}
