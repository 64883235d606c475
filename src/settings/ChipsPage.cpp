// "More options…", page "Chips & plan": the host's chip case and the night's plan, and the
// sheet printed from them.

#include "settings/Controls.h"
#include "settings/frm_MoreOptions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString ChipsKey = QStringLiteral("Chips");
const QString RoundKey = QStringLiteral("RoundToChips");

// The boxes of the other keys, with their captions, in the order shown.
struct PlanBox {
    const char *key;
    const char *caption;
    const char *placeholder;
    QLineEdit *frm_MoreOptions::*box;
};
const PlanBox PlanBoxes[] = {
    {"Stack", "Starting stack:", "as the buy-in's chips", &frm_MoreOptions::txt_Stack},
    {"Players", "Players expected:", "", &frm_MoreOptions::txt_ExpectedPlayers},
    {"Rebuys", "Rebuys expected:", "", &frm_MoreOptions::txt_ExpectedRebuys},
    {"Reentries", "Re-entries expected:", "", &frm_MoreOptions::txt_ExpectedReentries},
    {"AddOns", "Add-ons expected:", "", &frm_MoreOptions::txt_ExpectedAddOns},
    {"StartsAt", "Starts at:", "now", &frm_MoreOptions::txt_StartsAt},
};

// The rows as the file keeps them; a text that is not a case as the page writes one is split as
// it was joined, so what the host typed comes back as typed.
std::vector<chips::ChipRow> rowsOf(const QString &text)
{
    std::vector<chips::ChipRow> rows;
    if (const std::optional<chips::ChipCase> box = chips::parseCaseText(text); box && chips::caseText(*box) == text) {
        for (const chips::Chip &c : *box)
            rows.push_back({QString::number(c.value), c.colour, c.count > 0 ? QString::number(c.count) : QString()});
        return rows;
    }
    for (const QString &row : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = row.split(QLatin1Char('/'));
        rows.push_back({f.value(0), f.value(1), f.value(2)});
    }
    return rows;
}

} // namespace

void frm_MoreOptions::buildChipsPage(const plan::PlanTexts &texts)
{
    auto *w = new QWidget(tabs);
    tabs->addTab(w, QStringLiteral("Chips && plan"));
    w->setAccessibleName(QStringLiteral("Chips & plan"));
    auto *page = new QVBoxLayout(w);
    auto *intro = new QLabel(QStringLiteral("The chips you own, smallest or largest first: the clock then says a "
                                            "level ahead which chips colour up at the next break, this page "
                                            "suggests the starting stack, and the settings window marks the rounds "
                                            "the chips cannot make and when the night should end. Leave the rows "
                                            "empty and none of it shows."),
                             w);
    intro->setWordWrap(true);
    page->addWidget(intro);

    auto *columns = new QHBoxLayout;
    auto *chipGrid = new QGridLayout;
    const QString heads[] = {QStringLiteral("Value"), QStringLiteral("Colour"), QStringLiteral("How many")};
    for (int c = 0; c < 3; ++c)
        chipGrid->addWidget(new QLabel(heads[c], w), 0, c + 1);
    const std::vector<chips::ChipRow> rows = rowsOf(texts.value(ChipsKey));
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("0000000000"));
    for (int r = 0; r < chips::MaxChips; ++r) {
        const chips::ChipRow row = size_t(r) < rows.size() ? rows[size_t(r)] : chips::ChipRow{};
        chipGrid->addWidget(new QLabel(QStringLiteral("%1.").arg(r + 1), w), r + 1, 0);
        const std::pair<std::array<QLineEdit *, 8> *, QString> boxes[] = {
            {&txt_ChipValue, row.value}, {&txt_ChipColour, row.colour}, {&txt_ChipCount, row.count}};
        for (int c = 0; c < 3; ++c) {
            auto *b = new QLineEdit(boxes[c].second, w);
            b->setAccessibleName(QStringLiteral("Chip %1 %2").arg(r + 1).arg(heads[c].toLower()));
            b->setMaximumWidth(c == 1 ? 2 * digits : digits);
            connect(b, &QLineEdit::textChanged, this, &frm_MoreOptions::checkChips);
            (*boxes[c].first)[size_t(r)] = b;
            chipGrid->addWidget(b, r + 1, c + 1);
        }
    }
    columns->addLayout(chipGrid);
    columns->addSpacing(16);

    auto *planGrid = new QGridLayout;
    int row = 0;
    for (const PlanBox &p : PlanBoxes) {
        auto *b = new QLineEdit(texts.value(QLatin1String(p.key)), w);
        const QString caption = QLatin1String(p.caption);
        b->setAccessibleName(caption.chopped(1));
        b->setPlaceholderText(QLatin1String(p.placeholder));
        // Wide enough for its placeholder to be read whole.
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->placeholderText()) + 16);
        b->setMaximumWidth(std::max(digits, b->minimumWidth()));
        connect(b, &QLineEdit::textChanged, this, &frm_MoreOptions::checkChips);
        this->*p.box = b;
        auto *l = new QLabel(caption, w);
        l->setBuddy(b);
        planGrid->addWidget(l, row, 0);
        planGrid->addWidget(b, row++, 1);
    }
    planGrid->setRowStretch(row, 1);
    columns->addLayout(planGrid);
    columns->addStretch();
    page->addLayout(columns);

    chk_RoundToChips = new QCheckBox(QStringLiteral("Round the automatic structure to the chips"), w);
    chk_RoundToChips->setChecked(texts.value(RoundKey) == QLatin1String("1"));
    page->addWidget(chk_RoundToChips);
    lbl_ChipsSay = new StatusLine(w);
    lbl_ChipsSay->setWordWrap(true);
    page->addWidget(lbl_ChipsSay);
    cmd_PrintSheet = new QPushButton(QStringLiteral("Print the night's sheet…"), w);
    cmd_PrintSheet->setAutoDefault(false);
    cmd_PrintSheet->setAccessibleDescription(
        QStringLiteral("Keeps the sheet in the \"sheets\" folder beside the program and opens it in the browser"));
    connect(cmd_PrintSheet, &QPushButton::clicked, this, &frm_MoreOptions::sheetAsked);
    auto *printRow = new QHBoxLayout;
    printRow->addWidget(cmd_PrintSheet);
    printRow->addStretch();
    page->addLayout(printRow);
    page->addStretch();
    checkChips();
}

plan::PlanTexts frm_MoreOptions::planTexts() const
{
    plan::PlanTexts texts;
    std::vector<chips::ChipRow> rows;
    bool typed = false;
    for (size_t r = 0; r < txt_ChipValue.size(); ++r) {
        rows.push_back({txt_ChipValue[r]->text().trimmed(), txt_ChipColour[r]->text().trimmed(),
                        txt_ChipCount[r]->text().trimmed()});
        typed = typed || !rows.back().value.isEmpty() || !rows.back().colour.isEmpty() || !rows.back().count.isEmpty();
    }
    if (typed) {
        if (const std::optional<chips::ChipCase> box = chips::parseRows(rows, nullptr)) {
            if (!box->empty())
                texts.insert(ChipsKey, chips::caseText(*box));
        } else {
            // Kept as typed, to be put right: a text that is no case, so no chip case plays.
            QStringList joined;
            for (const chips::ChipRow &r : rows)
                if (!r.value.isEmpty() || !r.colour.isEmpty() || !r.count.isEmpty())
                    joined << r.value + QLatin1Char('/') + r.colour + QLatin1Char('/') + r.count;
            texts.insert(ChipsKey, joined.join(QLatin1Char(';')));
        }
    }
    if (chk_RoundToChips->isChecked())
        texts.insert(RoundKey, QStringLiteral("1"));
    for (const PlanBox &p : PlanBoxes)
        if (const QString t = (this->*p.box)->text().trimmed(); !t.isEmpty())
            texts.insert(QLatin1String(p.key), t);
    return texts;
}

plan::Night frm_MoreOptions::night() const
{
    plan::Night n = windowNight ? windowNight() : plan::Night{};
    n.repeat = chk_RepeatBreak->isChecked();
    n.count.reset();
    const tournament::SetupTexts count = tournamentTexts();
    if (tournament::switchedOn(count, tournament::CountKey))
        n.count = tournament::parseSetup(count, nullptr);
    n.setup = plan::parsePlanSetup(planTexts(), nullptr).value_or(plan::PlanSetup{});
    return n;
}

void frm_MoreOptions::checkChips()
{
    if (!lbl_ChipsSay)
        return;
    std::vector<chips::ChipRow> rows;
    for (size_t r = 0; r < txt_ChipValue.size(); ++r)
        rows.push_back({txt_ChipValue[r]->text(), txt_ChipColour[r]->text(), txt_ChipCount[r]->text()});
    // Every box in error says so itself (a screen reader reads it with the box), and the page
    // lists them all.
    std::vector<chips::RowProblem> chipProblems;
    std::vector<plan::Problem> planProblems;
    chips::parseRows(rows, nullptr, &chipProblems);
    const std::optional<plan::PlanSetup> setup = plan::parsePlanSetup(planTexts(), nullptr, &planProblems);
    std::vector<std::pair<QLineEdit *, QString>> wrong;
    for (const chips::RowProblem &p : chipProblems) {
        const std::array<QLineEdit *, 8> *column[] = {&txt_ChipValue, &txt_ChipColour, &txt_ChipCount};
        wrong.emplace_back(p.row >= 0 ? (*column[p.column])[size_t(p.row)] : nullptr, p.text);
    }
    for (const plan::Problem &p : planProblems) {
        const auto box = std::find_if(std::begin(PlanBoxes), std::end(PlanBoxes),
                                      [&](const PlanBox &b) { return p.key == QLatin1String(b.key); });
        // The chip case's own problem is the rows', said above.
        if (box != std::end(PlanBoxes))
            wrong.emplace_back(this->*box->box, p.text);
        else if (chipProblems.empty())
            wrong.emplace_back(nullptr, p.text);
    }
    std::vector<QLineEdit *> boxes(txt_ChipValue.begin(), txt_ChipValue.end());
    boxes.insert(boxes.end(), txt_ChipColour.begin(), txt_ChipColour.end());
    boxes.insert(boxes.end(), txt_ChipCount.begin(), txt_ChipCount.end());
    for (const PlanBox &p : PlanBoxes)
        boxes.push_back(this->*p.box);
    for (QLineEdit *box : boxes) {
        QStringList says;
        for (const auto &[at, text] : wrong)
            if (at == box)
                says << text;
        if (box->accessibleDescription() != says.join(QLatin1Char(' ')))
            box->setAccessibleDescription(says.join(QLatin1Char(' ')));
    }
    const bool readable = wrong.empty() && setup;
    cmd_PrintSheet->setEnabled(readable && setup->on());
    if (!readable) {
        QStringList says;
        for (const auto &[at, text] : wrong)
            says << text;
        lbl_ChipsSay->setText(says.join(QLatin1Char('\n')));
        return;
    }
    if (!setup->on()) {
        lbl_ChipsSay->setText(QStringLiteral("No chips: the clock plays as without a chip case."));
        return;
    }
    const plan::Night n = night();
    QStringList says = plan::stackLines(n);
    if (says.isEmpty())
        says << QStringLiteral("Type the starting stack, or the buy-in's chips on \"Players & prizes\", for a "
                               "stack made of these chips.");
    says << chips::planNotes(chips::planChips(n.setup.chips, plan::structureOf(n)), n.setup.chips);
    lbl_ChipsSay->setText(says.join(QLatin1Char('\n')));
}
