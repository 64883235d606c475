// "More options…", pages "Players & prizes" and "Tables & names": the count's setup, checked
// as it is typed, and the players' names.

#include "settings/frm_MoreOptions.h"

#include "settings/Controls.h"

#include <QComboBox>

#include <QLineEdit>

#include <QPlainTextEdit>

#include <QRadioButton>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

void frm_MoreOptions::buildTournamentPage(const tournament::SetupTexts &texts)
{
    auto *w = new QWidget(tabs);
    tabs->addTab(w, QStringLiteral("Players && prizes"));
    w->setAccessibleName(QStringLiteral("Players & prizes"));
    auto *page = new QVBoxLayout(w);
    chk_Count = new QCheckBox(QStringLiteral("&Count players and prizes"), w);
    chk_Count->setChecked(tournament::switchedOn(texts, tournament::CountKey));
    page->addWidget(chk_Count);
    auto *intro = new QLabel(QStringLiteral("Entries, rebuys, add-ons and busts are counted during the game with keys "
                                            "on the players' display (H shows them) or from a phone with the PIN. "
                                            "The display shows the players left, the average stack, the prize pool "
                                            "and the payouts at its bottom."),
                             w);
    intro->setWordWrap(true);
    intro->setIndent(20);
    page->addWidget(intro);

    setupFields_ = new QWidget(w);
    auto *grid = new QGridLayout(setupFields_);
    grid->setContentsMargins(20, 0, 0, 0);
    const auto box = [&](const char *key, const QString &name, const QString &placeholder = QString()) {
        auto *b = new QLineEdit(texts.value(QLatin1String(key)), setupFields_);
        b->setAccessibleName(name);
        b->setPlaceholderText(placeholder);
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
        setupBoxes_.insert(QLatin1String(key), b);
        connect(b, &QLineEdit::textChanged, this, &frm_MoreOptions::checkSetup);
        return b;
    };
    const auto caption = [&](const QString &text, QLineEdit *buddy, int row, int column) {
        auto *l = new QLabel(text, setupFields_);
        l->setBuddy(buddy);
        grid->addWidget(l, row, column);
    };
    grid->addWidget(new QLabel(QStringLiteral("Amount"), setupFields_), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Chips"), setupFields_), 0, 2);
    struct Row {
        const char *caption;
        const char *amount;
        const char *chips;
        QLineEdit **amountBox;
        QLineEdit **chipsBox;
        const char *name;
        bool asBuyIn; // empty: the same as the buy-in
    };
    const Row rows[] = {{"&Buy-in:", "BuyIn", "BuyInChips", &txt_BuyIn, &txt_BuyInChips, "Buy-in", false},
                        {"&Re-entry:", "Reentry", "ReentryChips", &txt_Reentry, &txt_ReentryChips, "Re-entry", true},
                        {"Rebu&y:", "Rebuy", "RebuyChips", &txt_Rebuy, &txt_RebuyChips, "Rebuy", false},
                        {"A&dd-on:", "AddOn", "AddOnChips", &txt_AddOn, &txt_AddOnChips, "Add-on", false}};
    int row = 1;
    for (const Row &r : rows) {
        const QString name = QLatin1String(r.name);
        const QString same = r.asBuyIn ? QStringLiteral("as the buy-in") : QString();
        *r.amountBox = box(r.amount, name + QStringLiteral(" amount"), same);
        *r.chipsBox = box(r.chips, name + QStringLiteral(" chips"), same);
        caption(QLatin1String(r.caption), *r.amountBox, row, 0);
        grid->addWidget(*r.amountBox, row, 1);
        grid->addWidget(*r.chipsBox, row, 2);
        ++row;
    }
    txt_RebuyUntil = box("RebuyUntil", QStringLiteral("Rebuys until round"), QStringLiteral("no limit"));
    caption(QStringLiteral("Rebuys &until round:"), txt_RebuyUntil, row, 0);
    grid->addWidget(txt_RebuyUntil, row++, 1);
    txt_ReentryUntil = box("ReentryUntil", QStringLiteral("Re-entries until round"), QStringLiteral("as rebuys"));
    caption(QStringLiteral("Re-&entries until round:"), txt_ReentryUntil, row, 0);
    grid->addWidget(txt_ReentryUntil, row++, 1);
    txt_EntryUntil = box("EntryUntil", QStringLiteral("Entries until round"), QStringLiteral("always"));
    caption(QStringLiteral("E&ntries until round:"), txt_EntryUntil, row, 0);
    grid->addWidget(txt_EntryUntil, row, 1);
    txt_LateLess = box("LateLess", QStringLiteral("Late stack: chips less for every round after the first"),
                       QStringLiteral("full stack"));
    grid->addWidget(txt_LateLess, row, 2);
    auto *lateCaption = new QLabel(QStringLiteral("late stac&k: less per round after the first"), setupFields_);
    lateCaption->setBuddy(txt_LateLess);
    grid->addWidget(lateCaption, row++, 3);
    chk_LockAtClose = new QCheckBox(QStringLiteral("&Lock the payouts when registration closes"), setupFields_);
    chk_LockAtClose->setChecked(!tournament::switchedOn(texts, tournament::OpenAfterCloseKey));
    connect(chk_LockAtClose, &QCheckBox::toggled, this, &frm_MoreOptions::checkSetup);
    grid->addWidget(chk_LockAtClose, row++, 1, 1, 3);

    txt_Cut = box("Cut", QStringLiteral("House cut"), QStringLiteral("none"));
    caption(QStringLiteral("&House cut:"), txt_Cut, row, 0);
    grid->addWidget(txt_Cut, row, 1);
    auto *cutKinds = new QHBoxLayout;
    opt_Cut = {new QRadioButton(QStringLiteral("% of the money in"), setupFields_),
               new QRadioButton(QStringLiteral("fixed amount"), setupFields_)};
    opt_Cut[0]->setAccessibleName(QStringLiteral("House cut in % of the money in"));
    opt_Cut[1]->setAccessibleName(QStringLiteral("House cut as a fixed amount"));
    opt_Cut[tournament::switchedOn(texts, tournament::CutFixedKey) ? 1 : 0]->setChecked(true);
    for (QRadioButton *o : opt_Cut) {
        cutKinds->addWidget(o);
        connect(o, &QRadioButton::toggled, this, &frm_MoreOptions::checkSetup);
    }
    grid->addLayout(cutKinds, row++, 2, 1, 2);
    txt_Added = box("Added", QStringLiteral("Added money"), QStringLiteral("none"));
    caption(QStringLiteral("Added &money:"), txt_Added, row, 0);
    grid->addWidget(txt_Added, row++, 1);
    txt_Guarantee = box("Guarantee", QStringLiteral("Guaranteed prize pool"), QStringLiteral("none"));
    caption(QStringLiteral("&Guaranteed pool:"), txt_Guarantee, row, 0);
    grid->addWidget(txt_Guarantee, row++, 1);

    cmb_Rounding = new QComboBox(setupFields_);
    cmb_Rounding->setEditable(true);
    for (const char *unit : {"1", "5", "10", "25", "50", "100", "500", "1000"})
        cmb_Rounding->addItem(QLatin1String(unit));
    const QString unit = texts.value(QStringLiteral("Rounding"));
    cmb_Rounding->setEditText(unit.isEmpty() ? QStringLiteral("1") : unit);
    // The box typed in is named as the list is, not by the number in it.
    cmb_Rounding->setAccessibleName(QStringLiteral("Round payouts down to"));
    cmb_Rounding->lineEdit()->setAccessibleName(cmb_Rounding->accessibleName());
    setupBoxes_.insert(QStringLiteral("Rounding"), cmb_Rounding->lineEdit());
    connect(cmb_Rounding, &QComboBox::editTextChanged, this, &frm_MoreOptions::checkSetup);
    auto *roundingCaption = new QLabel(QStringLiteral("R&ound payouts down to:"), setupFields_);
    roundingCaption->setBuddy(cmb_Rounding);
    grid->addWidget(roundingCaption, row, 0);
    grid->addWidget(cmb_Rounding, row++, 1);
    txt_Payouts = box("Payouts", QStringLiteral("Payouts in percent"), QStringLiteral("by the number of entries"));
    txt_Payouts->setMaximumWidth(QWIDGETSIZE_MAX);
    caption(QStringLiteral("&Payouts (%):"), txt_Payouts, row, 0);
    grid->addWidget(txt_Payouts, row++, 1, 1, 3);
    txt_Bounty = box("Bounty", QStringLiteral("Bounty in each buy-in, re-entry and rebuy"), QStringLiteral("none"));
    caption(QStringLiteral("Boun&ty per buy-in:"), txt_Bounty, row, 0);
    grid->addWidget(txt_Bounty, row, 1);
    txt_BountyUnit = box("BountyUnit", QStringLiteral("Bounties paid in multiples of"), QStringLiteral("1"));
    grid->addWidget(txt_BountyUnit, row, 2);
    auto *unitCaption = new QLabel(QStringLiteral("paid in multiples o&f (a bounty chip's value)"), setupFields_);
    unitCaption->setBuddy(txt_BountyUnit);
    grid->addWidget(unitCaption, row++, 3);
    chk_Progressive = new QCheckBox(QStringLiteral("Progressi&ve: half of each bounty goes onto the eliminator's "
                                                   "own head"),
                                    setupFields_);
    chk_Progressive->setChecked(tournament::switchedOn(texts, tournament::ProgressiveKey));
    connect(chk_Progressive, &QCheckBox::toggled, this, &frm_MoreOptions::checkSetup);
    grid->addWidget(chk_Progressive, row++, 1, 1, 3);
    grid->setColumnStretch(3, 1);
    page->addWidget(setupFields_);

    chk_SpeakCount = new QCheckBox(QStringLiteral("&Announce busts and the money (\"Seven players left\", "
                                                  "\"We are in the money\")"),
                                   w);
    chk_SpeakCount->setChecked(tournament::switchedOn(texts, tournament::SpeakKey));
    page->addWidget(chk_SpeakCount);
    lbl_SetupSays = new StatusLine(w);
    lbl_SetupSays->setWordWrap(true);
    lbl_SetupSays->setIndent(20);
    page->addWidget(lbl_SetupSays);
    page->addStretch();
    connect(chk_Count, &QCheckBox::toggled, this, &frm_MoreOptions::checkSetup);
    checkSetup();
}

void frm_MoreOptions::buildTablesPage(const tournament::SetupTexts &texts)
{
    auto *w = new QWidget(tabs);
    tabs->addTab(w, QStringLiteral("Tables && names"));
    w->setAccessibleName(QStringLiteral("Tables & names"));
    auto *page = new QVBoxLayout(w);
    auto *intro = new QLabel(QStringLiteral("With more than one table, every entry and re-entry is given a seat drawn "
                                            "across the tables, a bust names its seat, and the program says which "
                                            "player moves to keep the tables even and which table breaks. The "
                                            "results are kept in the \"results\" folder beside the program."),
                             w);
    intro->setWordWrap(true);
    page->addWidget(intro);
    tablesFields_ = new QWidget(w);
    auto *grid = new QGridLayout(tablesFields_);
    grid->setContentsMargins(20, 0, 0, 0);
    const auto box = [&](const char *key, const QString &caption, const QString &name, const QString &placeholder,
                         int row) {
        auto *b = new QLineEdit(texts.value(QLatin1String(key)), tablesFields_);
        b->setAccessibleName(name);
        b->setPlaceholderText(placeholder);
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
        setupBoxes_.insert(QLatin1String(key), b);
        connect(b, &QLineEdit::textChanged, this, &frm_MoreOptions::checkSetup);
        auto *l = new QLabel(caption, tablesFields_);
        l->setBuddy(b);
        grid->addWidget(l, row, 0);
        grid->addWidget(b, row, 1);
        return b;
    };
    txt_Tables = box("Tables", QStringLiteral("&Tables (1 to 4):"), QStringLiteral("Tables"), QStringLiteral("1"), 0);
    txt_Seats = box("Seats", QStringLiteral("Seats per tab&le (2 to 12):"), QStringLiteral("Seats per table"),
                    QStringLiteral("9"), 1);
    txt_BreakOrder = box("BreakOrder", QStringLiteral("Tables break &in the order:"),
                         QStringLiteral("Tables break in the order"), QStringLiteral("highest number first"), 2);
    txt_BreakOrder->setMaximumWidth(QWIDGETSIZE_MAX);
    grid->setColumnStretch(2, 1);
    page->addWidget(tablesFields_);
    auto *namesCaption = new QLabel(QStringLiteral("Players' names, one a line (optional): each entry takes the next "
                                                   "name not yet taken and keeps it. Typed before the start, they seat "
                                                   "the players at one table too; &with a game on, S on the display "
                                                   "seats them all:"),
                                    w);
    namesCaption->setWordWrap(true);
    txt_Names = new QPlainTextEdit(w);
    txt_Names->setAccessibleName(QStringLiteral("Players' names"));
    txt_Names->setTabChangesFocus(true);
    connect(txt_Names, &QPlainTextEdit::textChanged, this, &frm_MoreOptions::checkSetup);
    namesCaption->setBuddy(txt_Names);
    page->addWidget(namesCaption);
    page->addWidget(txt_Names, 1);
    lbl_TablesSay = new QLabel(w);
    lbl_TablesSay->setWordWrap(true);
    page->addWidget(lbl_TablesSay);
    checkSetup();
}

QStringList frm_MoreOptions::names() const
{
    // Blank lines are passed over; those after the last name are dropped.
    QStringList names;
    for (const QString &line : txt_Names->toPlainText().split(QLatin1Char('\n')))
        names << tournament::keptName(line);
    while (!names.isEmpty() && names.constLast().isEmpty())
        names.removeLast();
    return names;
}

void frm_MoreOptions::setNames(const QStringList &names)
{
    txt_Names->setPlainText(names.join(QLatin1Char('\n')));
}

// The boxes are usable while the count is on; what they say is checked as they are typed in.
void frm_MoreOptions::checkSetup()
{
    const bool on = chk_Count->isChecked();
    setupFields_->setEnabled(on);
    if (tablesFields_) {
        tablesFields_->setEnabled(on);
        txt_Names->setEnabled(on);
    }
    chk_SpeakCount->setEnabled(on);
    const bool closes = !txt_EntryUntil->text().trimmed().isEmpty();
    txt_LateLess->setEnabled(closes || !txt_LateLess->text().trimmed().isEmpty());
    chk_LockAtClose->setEnabled(closes);
    const bool bounties = !txt_Bounty->text().trimmed().isEmpty();
    txt_BountyUnit->setEnabled(bounties || !txt_BountyUnit->text().trimmed().isEmpty());
    chk_Progressive->setEnabled(bounties);
    const tournament::SetupTexts texts = tournamentTexts();
    const std::optional<tournament::Setup> setup = tournament::parseSetup(texts, nullptr);
    const std::vector<tournament::SetupProblem> problems =
        on ? tournament::setupProblems(texts) : std::vector<tournament::SetupProblem>();
    const QStringList here = describeProblems(problems, setupFields_);
    const QStringList tables = describeProblems(problems, tablesFields_);
    QString says = here.join(QLatin1Char('\n'));
    if (on && setup)
        says = QStringLiteral("Payouts for 10 entries: ")
               + tournament::sharesText(setup->shares.empty() ? tournament::tableShares(10) : setup->shares)
               + QStringLiteral(" %; the table follows the entries (see the manual).");
    else if (on && here.isEmpty())
        says = QStringLiteral("A box on \"Tables & names\" cannot be read yet.");
    // With bounties, what each buy-in holds of them and how they are paid.
    if (on && setup && setup->bounty > 0)
        says +=
            QStringLiteral("\nBounties: %1 of every buy-in, re-entry and rebuy, paid in %2s: %3.")
                .arg(tournament::grouped(setup->bounty), tournament::grouped(setup->bountyUnit),
                     setup->progressive ? QStringLiteral("half of a bounty to the eliminator, half onto their own head")
                                        : QStringLiteral("the eliminator takes the whole bounty"));
    lbl_SetupSays->setText(says);
    if (lbl_ChipsSay)
        checkChips(); // the stack may be the buy-in's chips
    if (!tablesFields_)
        return;
    if (!on)
        lbl_TablesSay->setText(QStringLiteral("Tables and names are used while players are counted (\"Players & "
                                              "prizes\")."));
    else if (!setup)
        // Said here only for this page's boxes; the other page says its own.
        lbl_TablesSay->setText(tables.isEmpty() ? QStringLiteral("A box on \"Players & prizes\" cannot be read yet.")
                                                : tables.join(QLatin1Char('\n')));
    else if (setup->layout.tables > 1)
        lbl_TablesSay->setText(QStringLiteral("%1 tables of %2 seats: up to %3 players.")
                                   .arg(setup->layout.tables)
                                   .arg(setup->layout.seats)
                                   .arg(setup->layout.tables * setup->layout.seats));
    else
        lbl_TablesSay->setText(QStringLiteral("One table: no seats are drawn."));
    // A name too long for the game is cut, and said.
    const QString cut = on ? tournament::namesCut(txt_Names->toPlainText().split(QLatin1Char('\n'))) : QString();
    txt_Names->setAccessibleDescription(cut);
    if (!cut.isEmpty())
        lbl_TablesSay->setText(lbl_TablesSay->text() + QLatin1Char('\n') + cut + QLatin1Char('.'));
}

// Each box in error describes what is wrong with it, whichever box is being typed in: a screen
// reader speaks a change to the description of the box with the focus as it comes.
QStringList frm_MoreOptions::describeProblems(const std::vector<tournament::SetupProblem> &problems,
                                              const QWidget *fields)
{
    QStringList says;
    if (!fields)
        return says;
    for (auto it = setupBoxes_.begin(); it != setupBoxes_.end(); ++it) {
        if (!fields->isAncestorOf(it.value()))
            continue;
        const auto wrong = std::find_if(problems.begin(), problems.end(),
                                        [&](const tournament::SetupProblem &p) { return p.key == it.key(); });
        const QString why = wrong != problems.end() ? wrong->why : QString();
        if (it.value()->accessibleDescription() != why)
            it.value()->setAccessibleDescription(why);
    }
    for (const tournament::SetupProblem &p : problems)
        if (const QLineEdit *box = setupBoxes_.value(p.key); box && fields->isAncestorOf(box))
            says << p.why;
    return says;
}

tournament::SetupTexts frm_MoreOptions::tournamentTexts() const
{
    tournament::SetupTexts texts;
    for (auto it = setupBoxes_.begin(); it != setupBoxes_.end(); ++it)
        if (!it.value()->text().trimmed().isEmpty())
            texts.insert(it.key(), it.value()->text().trimmed());
    for (const QString &unit : {QStringLiteral("Rounding"), QStringLiteral("BountyUnit")})
        if (texts.value(unit) == QLatin1String("1"))
            texts.remove(unit);
    const std::pair<const QString &, bool> switches[] = {
        {tournament::CountKey, chk_Count->isChecked()},
        {tournament::CutFixedKey, opt_Cut[1]->isChecked()},
        {tournament::SpeakKey, chk_SpeakCount->isChecked()},
        {tournament::OpenAfterCloseKey, !chk_LockAtClose->isChecked() && !txt_EntryUntil->text().trimmed().isEmpty()},
        {tournament::ProgressiveKey, chk_Progressive->isChecked() && !txt_Bounty->text().trimmed().isEmpty()}};
    for (const auto &[key, on] : switches)
        if (on)
            texts.insert(key, QStringLiteral("1"));
    return texts;
}
