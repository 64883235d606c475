// The settings file: every setting of the window and the seven phrases, one key each,
// read while the window loads and written while it unloads.

#include "platform/OffThread.h"
#include "platform/modRegistry.h"
#include "settings/frm_Chiplark.h"
#include "text/TextNumber.h"

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
const QString Plan = QStringLiteral("Plan");
const QString SeasonSection = QStringLiteral("Season");
// Kept with a game only.
const QString GameSection = QStringLiteral("Game");

} // namespace

const QStringList frm_Chiplark::SeasonKeys{QStringLiteral("Name"), QStringLiteral("OnPage")};

void frm_Chiplark::loadSettings()
{
    const QString file = settingsPath();
    // One reading serves every value; a file that cannot be read is left alone for good.
    if (modRegistry::OpenReading(file) == modRegistry::FileAccess::Unreadable) {
        modRegistry::CloseReading();
        settingsFileKept_ = true;
        return;
    }
    applySettings(
        [&](const QString &section, const char *key) { return GetIniVal(file, section, QString::fromLatin1(key)); },
        true);
    modRegistry::CloseReading();
}

// The settings into the controls, as the file gives them (with fromFile, which also notes the
// keys beyond the 32 that the file names) or as a kept game played with them.
void frm_Chiplark::applySettings(const std::function<QString(const QString &, const char *)> &get, bool fromFile)
{
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
        if (fromFile)
            *o.inFile = !value.isEmpty();
        *o.on = value == QStringLiteral("1");
    }
    if (!fromFile)
        tournamentTexts.clear();
    for (const tournament::SetupKey &k : tournament::SetupKeys) {
        const QString value = get(Tournament, k.key);
        if (value.isEmpty())
            continue;
        tournamentTexts.insert(QLatin1String(k.key), value);
        if (fromFile)
            tournamentKeysInFile_.insert(QLatin1String(k.key));
    }
    if (!fromFile)
        planTexts.clear();
    for (const QString &key : plan::PlanKeys) {
        const QString value = get(Plan, key.toLatin1().constData());
        if (value.isEmpty())
            continue;
        planTexts.insert(key, value);
        if (fromFile)
            planKeysInFile_.insert(key);
    }
    if (!fromFile)
        seasonTexts.clear();
    for (const QString &key : SeasonKeys) {
        const QString value = get(SeasonSection, key.toLatin1().constData());
        if (value.isEmpty())
            continue;
        seasonTexts.insert(key, value);
        if (fromFile)
            seasonKeysInFile_.insert(key);
    }
    planChanged();
    handRules();
}

std::array<frm_Chiplark::OptionKey, 4> frm_Chiplark::optionKeys()
{
    return {{{Screens, "ServeOnNetwork", &moreOptions.serveOnNetwork, &serveKeyInFile_},
             {Screens, "ScaleDisplay", &moreOptions.scaleDisplay, &scaleKeyInFile_},
             {Screens, "ShowPaused", &moreOptions.showPaused, &pausedKeyInFile_},
             {Breaks, "RepeatBreak", &moreOptions.repeatBreak, &repeatKeyInFile_}}};
}

void frm_Chiplark::saveSettings()
{
    // A settings file this run could not read is never replaced.
    if (settingsFileKept_)
        return;
    const QString file = settingsPath();
    // What is written, taken from the controls here; the file itself is read, changed and
    // replaced away from the window's thread.
    std::vector<std::array<QString, 3>> writes;
    for (const std::array<QString, 3> &setting : settingValues()) {
        const QString &section = setting[0], &key = setting[1], &value = setting[2];
        // Written only when on, or to turn off what the file turned on: a file that never had
        // them stays the 32 keys. The count's setup likewise: a box left empty (a switch off)
        // is written only to undo what the file said. The speech box and the voice are kept
        // with a game, never in the file.
        if (section == GameSection)
            continue;
        if (const std::optional<OptionKey> o = optionKey(section, key); o && !*o->on && !*o->inFile)
            continue;
        if (section == Tournament && value.isEmpty()) {
            if (!tournamentKeysInFile_.contains(key))
                continue;
            const bool isSwitch = std::any_of(
                std::begin(tournament::SetupKeys), std::end(tournament::SetupKeys), [&](const tournament::SetupKey &k) {
                    return key == QLatin1String(k.key) && k.kind == tournament::SetupKey::Switch;
                });
            writes.push_back({section, key, isSwitch ? QStringLiteral("0") : QString()});
            continue;
        }
        // The chip case and the plan likewise, but a key emptied is written empty.
        if ((section == Plan || section == SeasonSection) && value.isEmpty()) {
            if ((section == Plan ? planKeysInFile_ : seasonKeysInFile_).contains(key))
                writes.push_back({section, key, QString()});
            continue;
        }
        writes.push_back(setting);
    }
    bool saved = true;
    QString why;
    platform::runOffThread([&] {
        // The writes change one copy in memory; the file is replaced once, at the end.
        if (modRegistry::OpenWriting(file) == modRegistry::FileAccess::Unreadable) {
            modRegistry::CommitWriting();
            return;
        }
        for (const std::array<QString, 3> &w : writes)
            modRegistry::WriteIniVal(file, w[2], w[0], w[1]);
        saved = modRegistry::CommitWriting(&why);
    });
    if (saved)
        return;
    // The file stays as it was; the host learns what was lost and why before the window goes.
    const QString line =
        QStringLiteral("The settings were not saved to %1: %2.")
            .arg(QDir::toNativeSeparators(file), why.isEmpty() ? QStringLiteral("unknown error") : why);
    std::fprintf(stderr, "Chiplark: %s\n", qPrintable(line));
    services_.messageBox->show(line + QStringLiteral("\n\nThe file is left as it was."), QStringLiteral("Error"),
                               platform::Icon::Warning, platform::Buttons::Ok);
}

std::optional<frm_Chiplark::OptionKey> frm_Chiplark::optionKey(const QString &section, const QString &key)
{
    for (const OptionKey &o : optionKeys())
        if (o.section == section && key == QLatin1String(o.key))
            return o;
    return std::nullopt;
}

std::vector<std::array<QString, 3>> frm_Chiplark::settingValues()
{
    std::vector<std::array<QString, 3>> values;
    const auto put = [&](const QString &section, const char *key, const QString &value) {
        values.push_back({section, QString::fromLatin1(key), value});
    };
    // No option selected: the key is left out and the file keeps what it had.
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

    for (const OptionKey &o : optionKeys())
        put(o.section, o.key, *o.on ? QStringLiteral("1") : QStringLiteral("0"));
    for (const tournament::SetupKey &k : tournament::SetupKeys)
        put(Tournament, k.key, tournamentTexts.value(QLatin1String(k.key)));
    for (const QString &key : plan::PlanKeys)
        values.push_back({Plan, key, planTexts.value(key)});
    for (const QString &key : SeasonKeys)
        values.push_back({SeasonSection, key, seasonTexts.value(key)});
    put(GameSection, "Speech", QString::number(Check1->value()));
    put(GameSection, "Voice", cmb_voices->currentText());
    return values;
}

// A kept game's settings back into the controls: the speech box, its voice, the options of
// "More options…" and the count's setup with the rest.
void frm_Chiplark::restoreSettings(const std::vector<std::array<QString, 3>> &values)
{
    if (values.empty())
        return;
    const auto get = [&](const QString &section, const char *key) {
        for (const auto &[s, k, v] : values)
            if (s == section && k == QLatin1String(key))
                return v;
        return QString();
    };
    applySettings(get, false);
    const int speech = get(GameSection, "Speech").toInt();
    if (speech >= 0 && speech <= 2)
        Check1->setValue(speech); // its handler lists the voices
    voiceToRestore_ = get(GameSection, "Voice");
    selectRestoredVoice();
}

void frm_Chiplark::selectRestoredVoice()
{
    const int i = cmb_voices->findText(voiceToRestore_);
    if (voiceToRestore_.isEmpty() || i < 0)
        return;
    cmb_voices->setCurrentIndex(i);
    if (i < services_.speech->voiceCount())
        services_.speech->selectVoice(i);
    voiceToRestore_.clear();
}
