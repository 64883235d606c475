// Editing the custom blind list by hand, and saving and loading it by name.

#include "blinds/SavedStructures.h"
#include "platform/OffThread.h"
#include "platform/TextFile.h"
#include "settings/frm_Chiplark.h"
#include "text/IntCheck.h"
#include "text/TextNumber.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

namespace {
const QString ErrorTitle = QStringLiteral("Error:");
} // namespace

void frm_Chiplark::showMessage(const QString &text, const QString &title, platform::Icon icon)
{
    services_.messageBox->show(text, title, icon, platform::Buttons::Ok);
}

std::optional<QString> frm_Chiplark::askNumber(const QString &prompt, const QString &title, const QString &refusal,
                                               qint64 largest, const QString &tooLarge)
{
    for (;;) {
        std::optional<QString> answer = services_.inputBox->ask(prompt, title, QString());
        if (!answer)
            return std::nullopt;
        if (TextTypeCheck(*answer, QString()) != QLatin1String("Number")) {
            showMessage(refusal, ErrorTitle, platform::Icon::Warning);
            continue;
        }
        const WholeNumber n = toWhole(*answer, Width::Int32);
        if (largest > 0 && (!n.ok() || n.value > largest)) {
            showMessage(tooLarge, ErrorTitle, platform::Icon::Warning);
            continue;
        }
        return answer;
    }
}

void frm_Chiplark::cmd_BlindAdd_Click()
{
    if (lst_Big.listCount() >= MaxRounds) {
        showMessage(QStringLiteral("The list already holds %1 rounds, the most it can hold.").arg(MaxRounds),
                    ErrorTitle, platform::Icon::Information);
        return;
    }
    const std::optional<QString> small =
        askNumber(QStringLiteral("Enter the Small Blind amount:"), QStringLiteral("Small Blind"),
                  QStringLiteral("The small blind amount must be a number, with no currency symbols, etc."), 0, {});
    if (!small)
        return;
    const std::optional<QString> big =
        askNumber(QStringLiteral("Enter the Big Blind amount:"), QStringLiteral("Big Blind"),
                  QStringLiteral("The big blind amount must be a number, with no currency symbols, etc."), 0, {});
    if (!big)
        return;
    // The minutes must fit the list's 16-bit minutes, and so their seconds fit 32 bits.
    const std::optional<QString> minutes =
        askNumber(QStringLiteral("Enter the length of time for this round, in minutes:"), QStringLiteral("Round Time"),
                  QStringLiteral("The time entered must be a number, with no letters, etc."), 32767,
                  QStringLiteral("The time entered must be a whole number of minutes from 0 to 32767."));
    if (!minutes)
        return;

    const int n = lst_Blinds->listCount() + 1;
    gameState.currencySymbol = opt_currency[0]->isChecked() ? txt_currency->text() : QString();
    lst_Blinds->addItem(blindLine(n, gameState.currencySymbol, *small, *big, *minutes));
    lst_Big.addItem(*big);
    lst_Small.addItem(*small);
    lst_Time.addItem(QString::number(toWhole(*minutes, Width::Int32).value * 60));
    // The new round in view; the selection stays where it was.
    lst_Blinds->scrollTo(lst_Blinds->model()->index(n - 1, 0));
    handRules();
}

// The selected round, or -1 after asking the organiser to select one first.
int frm_Chiplark::selectedRow(const char *action)
{
    const int i = lst_Blinds->listIndex();
    if (i < 0)
        showMessage(QStringLiteral("Please select a blind amount to %1.").arg(QLatin1String(action)), ErrorTitle,
                    platform::Icon::Information);
    return i;
}

void frm_Chiplark::cmd_BlindRem_Click()
{
    const int i = selectedRow("remove from the list");
    if (i < 0)
        return;
    lst_Big.removeItem(i);
    lst_Small.removeItem(i);
    lst_Time.removeItem(i);
    regenList();
}

void frm_Chiplark::moveRow(int from, int to)
{
    const QString big = lst_Big.list(from);
    lst_Big.removeItem(from);
    const QString small = lst_Small.list(from);
    lst_Small.removeItem(from);
    const QString time = lst_Time.list(from);
    lst_Time.removeItem(from);
    lst_Big.addItem(big, to);
    lst_Small.addItem(small, to);
    lst_Time.addItem(time, to);
}

void frm_Chiplark::cmd_BlindUp_Click()
{
    const int i = selectedRow("move up the list");
    if (i < 0)
        return;
    if (i == 0)
        return;
    moveRow(i, i - 1);
    regenList();
}

void frm_Chiplark::cmd_BlindDown_Click()
{
    const int i = selectedRow("move down the list");
    if (i < 0)
        return;
    if (i == lst_Blinds->listCount() - 1)
        return;
    moveRow(i, i + 1);
    regenList();
}

void frm_Chiplark::cmd_Clear_Click()
{
    if (services_.messageBox->show(QStringLiteral("Are you sure you want to clear your list of blind values?"),
                                   QStringLiteral("Please confirm:"), platform::Icon::Question,
                                   platform::Buttons::YesNo)
        != platform::Answer::Yes)
        return;
    lst_Blinds->clear();
    lst_Big.clear();
    lst_Small.clear();
    lst_Time.clear();
    scheduleShortened();
    handRules();
    // Showing no name also keeps the box from loading it again when it loses the focus.
    cmb_BlindLoad->setCurrentIndex(-1);
}

void frm_Chiplark::cmd_BlindSave_Click()
{
    std::optional<QString> name =
        services_.inputBox->ask(QStringLiteral("Enter the name for this blind structure"), QStringLiteral("Save Name:"),
                                QStringLiteral("My Blind Structure"));
    while (name && FileNameCheck(*name, ForbiddenNameCharacters)) {
        showMessage(QStringLiteral("The name contains illegal characters. The name must not contain: ")
                        + ForbiddenNameCharacters,
                    ErrorTitle, platform::Icon::Information);
        name = services_.inputBox->ask(QStringLiteral("Enter the name for this blind structure"),
                                       QStringLiteral("Save Name:"), *name);
    }
    if (!name || name->isEmpty())
        return;

    const QString path = structurePath(services_.files->programFolder(), *name);
    if (FileExistsonDisk(path)
        && services_.messageBox->show(
               QStringLiteral("A blind structure by this name already exists. Do you wish to overwrite it?"),
               QStringLiteral("File Exists:"), platform::Icon::Question, platform::Buttons::YesNo)
               != platform::Answer::Yes)
        return;

    // Written away from the window's thread: a slow stick holds up nothing, and a write that
    // falls short (a full disk) leaves the old file as it was.
    const QByteArray bytes = structureBytes(lst_Small.items(), lst_Big.items(), lst_Time.items());
    bool saved = false;
    platform::runOffThread([&] { saved = platform::writeFileAtomically(path, bytes); });
    if (!saved) {
        showMessage(QStringLiteral("There was an error saving your blind structure. The drive may be full, "
                                   "or your blind name may contain illegal characters."),
                    QStringLiteral("Save Error:"), platform::Icon::Error);
        return;
    }
    // A name saved again is listed once.
    QStringList names;
    for (int i = 0; i < cmb_BlindLoad->count(); ++i)
        names << cmb_BlindLoad->itemText(i);
    if (!names.contains(*name)) {
        const int shown = cmb_BlindLoad->currentIndex();
        const int at = sortedPosition(names, *name);
        cmb_BlindLoad->insertItem(at, *name);
        cmb_BlindLoad->setCurrentIndex(shown < 0 ? -1 : shown + (at <= shown ? 1 : 0));
    }
}

void frm_Chiplark::listSavedStructures()
{
    cmb_BlindLoad->addItems(listStructures(services_.files->programFolder()));
    cmb_BlindLoad->setCurrentIndex(-1);
}

void frm_Chiplark::cmb_BlindLoad_KeyDown(int KeyCode, int)
{
    if (KeyCode == 38 || KeyCode == 40)
        arrowKeyPressed = true;
}

// A pick with the mouse loads at once, by moving the focus on; a step with the arrow
// keys loads only when the focus leaves the box.
void frm_Chiplark::cmb_BlindLoad_Click()
{
    if (arrowKeyPressed) {
        arrowKeyPressed = false;
        return;
    }
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(cmb_BlindLoad, &tab);
}

void frm_Chiplark::cmb_BlindLoad_LostFocus()
{
    if (cmb_BlindLoad->currentIndex() < 0)
        return;
    lst_Blinds->clear();
    lst_Big.clear();
    lst_Small.clear();
    lst_Time.clear();
    const QString path = structurePath(services_.files->programFolder(), cmb_BlindLoad->currentText());
    StructureRows rows;
    platform::runOffThread([&] { rows = parseStructure(readStructureFile(path)); });
    lst_Small.setItems(std::move(rows.small));
    lst_Big.setItems(std::move(rows.big));
    lst_Time.setItems(std::move(rows.time));
    regenList();
}
