// The speech and sound controls of the settings window: the speech check box with the
// voices list, the phrase editor and the sound test.

#include "settings/frm_Chiplark.h"

#include <QAbstractItemView>
#include <QDir>
#include <QPointer>
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <utility>

void frm_Chiplark::Check1_Click()
{
    if (Check1->value() != 1) {
        cmb_voices->setEnabled(false);
        cmd_Voice->setEnabled(false);
        // With nothing else to say, the engine and its speech server go until ticked again.
        if (!game.speechWanted())
            services_.speech->release();
        return;
    }
    cmb_voices->setEnabled(true);
    cmd_Voice->setEnabled(true);
    platform::Speech &speech = *services_.speech;
    if (speech.ready()) {
        listVoices();
        return;
    }
    // The engine is still starting: the window stays free, and the voices come the moment
    // it is ready, once for every tick given meanwhile.
    if (voicesWaiting_++ > 0)
        return;
    platform::Cursor *cursor = services_.cursor;
    cursor->busy(true);
    speech.whenReady([window = QPointer<frm_Chiplark>(this), cursor] {
        cursor->busy(false);
        if (!window)
            return;
        const int ticks = std::exchange(window->voicesWaiting_, 0);
        for (int i = 0; i < ticks && window->Check1->value() == 1; ++i)
            window->listVoices();
    });
}

void frm_Chiplark::listVoices()
{
    platform::Speech &speech = *services_.speech;
    const bool created = speech.create();
    const QString defaultVoice = created ? speech.currentVoiceName() : QString();
    const int count = created ? speech.voiceCount() : 0;
    if (count <= 0) {
        const QString help =
            QUrl::fromLocalFile(QDir(services_.files->programFolder()).filePath(QStringLiteral("manual.html")))
                .toString()
            + QStringLiteral("#speech");
        services_.messageBox->show(
            QStringLiteral("There was a problem opening the speech API. You need to have SAPI5 installed for this "
                           "function to work.\r\nVisit ")
                + help + QStringLiteral(" and download the full redistributable - approx. 132mb"),
            QStringLiteral("Error:"), platform::Icon::Information, platform::Buttons::Ok);
        Check1->setValue(0); // as a click would: the voice controls go off again
        return;
    }
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        const QString name = speech.voiceName(i);
        cmb_voices->addItem(name);
        widest = std::max(widest, cmb_voices->fontMetrics().horizontalAdvance(name));
        if (name == defaultVoice)
            cmb_voices->setCurrentIndex(i);
    }
    // The open list is wide enough for whole names, whatever the box's own width.
    cmb_voices->view()->setMinimumWidth(widest + 2 * cmb_voices->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    // A resumed game's voice, once the list has it.
    selectRestoredVoice();
}

void frm_Chiplark::cmd_Voice_Click()
{
    // Phrases are edited to be heard: the engine starts meanwhile.
    services_.speech->whenReady([] {});
    struct Step {
        QString *phrase;
        const char *prompt;
    };
    const Step steps[] = {
        {&phrases.Start, "Enter the start of game speech:"},
        {&phrases.BlindsAreNow, "Enter the speech for the 'Blinds are now' call:"},
        {&phrases.And, "Enter the speech for 'and':"},
        {&phrases.BlindsSoon, "Enter the speech for the 'blinds soon' call:"},
        {&phrases.BreakSoon, "Enter the speech for the 'break soon' call:"},
        {&phrases.Break, "Enter the speech for the start of the break:"},
        {&phrases.Ante, "Enter the speech for announcing the ante:"},
    };
    // Cancel empties that phrase; the others still come.
    for (const Step &s : steps) {
        *s.phrase = services_.inputBox->ask(QString::fromLatin1(s.prompt), QStringLiteral("Enter Speech:"), *s.phrase)
                        .value_or(QString());
        handRules();
    }
}

void frm_Chiplark::cmd_wavtest_Click()
{
    const QString wav = txt_wavpath->text();
    if (FileExistsonDisk(wav))
        services_.sound->play(wav, platform::Sound::Async);
}
