// "More options…", page "Season": the league tonight goes to, its points and the rule that
// makes its standings, the names merged across nights, and an earlier night added from its
// results. The season is read and written away from this thread; the page edits a copy.

#include "platform/OffThread.h"
#include "platform/RegularFile.h"
#include "platform/SeasonStore.h"
#include "season/SeasonNight.h"
#include "settings/Controls.h"
#include "settings/frm_MoreOptions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// Results files are small: a thousand places fit well under this.
constexpr qint64 ResultsBytes = 1024 * 1024;

} // namespace

void frm_MoreOptions::buildSeasonPage()
{
    auto *w = new QWidget(tabs);
    tabs->addTab(w, QStringLiteral("Season"));
    w->setAccessibleName(QStringLiteral("Season"));
    auto *page = new QVBoxLayout(w);
    auto *intro = new QLabel(QStringLiteral("A season keeps the nights played with names in one file in the "
                                            "\"seasons\" folder beside the program: copy it to move the league. At "
                                            "the end of a night the display asks to add it; the standings are "
                                            "written beside the file as a page to print and a CSV."),
                             w);
    intro->setWordWrap(true);
    page->addWidget(intro);

    auto *grid = new QGridLayout;
    int row = 0;
    const auto caption = [&](const QString &text, QWidget *buddy, int r, int column) {
        auto *l = new QLabel(text, w);
        l->setBuddy(buddy);
        grid->addWidget(l, r, column);
    };
    const auto box = [&](const QString &name, const QString &placeholder) {
        auto *b = new QLineEdit(w);
        b->setAccessibleName(name);
        b->setPlaceholderText(placeholder);
        connect(b, &QLineEdit::textEdited, this, &frm_MoreOptions::seasonEdited);
        return b;
    };
    cmb_Season = new QComboBox(w);
    cmb_Season->setEditable(true);
    cmb_Season->setInsertPolicy(QComboBox::NoInsert);
    cmb_Season->setAccessibleName(QStringLiteral("Season"));
    cmb_Season->lineEdit()->setAccessibleName(QStringLiteral("Season"));
    cmb_Season->lineEdit()->setPlaceholderText(QStringLiteral("none"));
    caption(QStringLiteral("&Season:"), cmb_Season, row, 0);
    grid->addWidget(cmb_Season, row++, 1, 1, 3);

    cmb_Points = new QComboBox(w);
    cmb_Points->addItems({QStringLiteral("Field − place + 1"), QStringLiteral("A table by place"),
                          QStringLiteral("Field and finish: scale × √(field ÷ place)")});
    cmb_Points->setAccessibleName(QStringLiteral("Points"));
    caption(QStringLiteral("&Points:"), cmb_Points, row, 0);
    grid->addWidget(cmb_Points, row++, 1, 1, 3);
    txt_PointsTable = box(QStringLiteral("Points by place, from the first"), QStringLiteral("10, 7, 5, 3, 2, 1"));
    caption(QStringLiteral("&Table:"), txt_PointsTable, row, 0);
    grid->addWidget(txt_PointsTable, row, 1);
    txt_Floor = box(QStringLiteral("Points below the table"), QStringLiteral("0"));
    caption(QStringLiteral("be&low it:"), txt_Floor, row, 2);
    grid->addWidget(txt_Floor, row++, 3);
    txt_Scale = box(QStringLiteral("Scale"), QStringLiteral("10"));
    caption(QStringLiteral("Sc&ale:"), txt_Scale, row++, 0);
    grid->addWidget(txt_Scale, row - 1, 1);
    txt_Attend = box(QStringLiteral("Points for playing a night"), QStringLiteral("0"));
    caption(QStringLiteral("For pla&ying:"), txt_Attend, row, 0);
    grid->addWidget(txt_Attend, row, 1);
    txt_PerKnockout = box(QStringLiteral("Points per knock-out"), QStringLiteral("0"));
    caption(QStringLiteral("per &knock-out:"), txt_PerKnockout, row, 2);
    grid->addWidget(txt_PerKnockout, row++, 3);
    lbl_Formula = new QLabel(w);
    lbl_Formula->setWordWrap(true);
    grid->addWidget(lbl_Formula, row++, 1, 1, 3);
    lbl_Preview = new QLabel(w);
    lbl_Preview->setWordWrap(true);
    grid->addWidget(lbl_Preview, row++, 1, 1, 3);

    cmb_Rule = new QComboBox(w);
    cmb_Rule->addItems({QStringLiteral("Total of all nights"), QStringLiteral("Best N nights"),
                        QStringLiteral("Average, with a minimum of nights")});
    cmb_Rule->setAccessibleName(QStringLiteral("Season rule"));
    caption(QStringLiteral("&Rule:"), cmb_Rule, row, 0);
    grid->addWidget(cmb_Rule, row++, 1, 1, 3);
    txt_Best = box(QStringLiteral("Best nights that count"), QStringLiteral("4"));
    caption(QStringLiteral("&Best:"), txt_Best, row, 0);
    grid->addWidget(txt_Best, row, 1);
    txt_MinNights = box(QStringLiteral("Nights needed for an average"), QStringLiteral("3"));
    caption(QStringLiteral("&minimum nights:"), txt_MinNights, row, 2);
    grid->addWidget(txt_MinNights, row++, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    page->addLayout(grid);

    tbl_Standings = new QTreeWidget(w);
    tbl_Standings->setAccessibleName(QStringLiteral("Standings"));
    tbl_Standings->setRootIsDecorated(false);
    tbl_Standings->setHeaderLabels({QStringLiteral("Rank"), QStringLiteral("Name"), QStringLiteral("Nights"),
                                    QStringLiteral("Total"), QStringLiteral("Best"), QStringLiteral("Average"),
                                    QStringLiteral("Wins"), QStringLiteral("Cashes"), QStringLiteral("Winnings")});
    tbl_Standings->setMinimumHeight(120);
    page->addWidget(tbl_Standings, 1);

    auto *merge = new QHBoxLayout;
    cmb_MergeFrom = new QComboBox(w);
    cmb_MergeFrom->setAccessibleName(QStringLiteral("Merge this name"));
    cmb_MergeInto = new QComboBox(w);
    cmb_MergeInto->setAccessibleName(QStringLiteral("into this name"));
    auto *mergeCaption = new QLabel(QStringLiteral("Mer&ge:"), w);
    mergeCaption->setBuddy(cmb_MergeFrom);
    merge->addWidget(mergeCaption);
    merge->addWidget(cmb_MergeFrom, 1);
    auto *into = new QLabel(QStringLiteral("i&nto"), w);
    into->setBuddy(cmb_MergeInto);
    merge->addWidget(into);
    merge->addWidget(cmb_MergeInto, 1);
    cmd_Merge = new QPushButton(QStringLiteral("Merge"), w);
    cmd_UndoMerge = new QPushButton(QStringLiteral("&Undo merge"), w);
    merge->addWidget(cmd_Merge);
    merge->addWidget(cmd_UndoMerge);
    page->addLayout(merge);

    // Enter in a box of this page never merges or opens a file: these act only when pressed.
    for (QPushButton *b : {cmd_Merge, cmd_UndoMerge})
        b->setAutoDefault(false);
    auto *more = new QHBoxLayout;
    cmd_AddResults = new QPushButton(QStringLiteral("A&dd a night from results…"), w);
    cmd_AddResults->setAutoDefault(false);
    more->addWidget(cmd_AddResults);
    more->addStretch();
    page->addLayout(more);
    chk_SeasonOnPage = new QCheckBox(QStringLiteral("Show the standings on the TV page in the br&eaks"), w);
    page->addWidget(chk_SeasonOnPage);
    lbl_SeasonSays = new StatusLine(w);
    lbl_SeasonSays->setWordWrap(true);
    page->addWidget(lbl_SeasonSays);

    connect(cmb_Season->lineEdit(), &QLineEdit::editingFinished, this, &frm_MoreOptions::loadSeason);
    connect(cmb_Season, QOverload<int>::of(&QComboBox::activated), this, [this] { loadSeason(); });
    connect(cmb_Points, QOverload<int>::of(&QComboBox::activated), this, &frm_MoreOptions::seasonEdited);
    connect(cmb_Rule, QOverload<int>::of(&QComboBox::activated), this, &frm_MoreOptions::seasonEdited);
    connect(cmd_Merge, &QPushButton::clicked, this, &frm_MoreOptions::cmd_Merge_Click);
    connect(cmd_UndoMerge, &QPushButton::clicked, this, &frm_MoreOptions::cmd_UndoMerge_Click);
    connect(cmd_AddResults, &QPushButton::clicked, this, &frm_MoreOptions::cmd_AddResults_Click);
    showSeason();
}

void frm_MoreOptions::openSeasons(const QString &folder, const QString &name, bool onPage, qint64 field)
{
    seasonsFolder_ = folder;
    previewField_ = field > 1 ? field : 10;
    chk_SeasonOnPage->setChecked(onPage);
    cmb_Season->setEditText(name);
    // Read once the dialog is up: the folder may be slow, and the dialog shows meanwhile.
    QTimer::singleShot(0, this, [this] {
        QStringList names;
        platform::runOffThread([&] { names = platform::seasonNames(seasonsFolder_); });
        const QString typed = cmb_Season->currentText();
        cmb_Season->clear();
        cmb_Season->addItems(names);
        cmb_Season->setEditText(typed);
        loadSeason();
    });
}

QString frm_MoreOptions::seasonName() const
{
    return cmb_Season ? cmb_Season->currentText().trimmed() : QString();
}

bool frm_MoreOptions::seasonOnPage() const
{
    return chk_SeasonOnPage && chk_SeasonOnPage->isChecked();
}

std::optional<season::Season> frm_MoreOptions::changedSeason() const
{
    if (!season_ || season_->file() == seasonRead_)
        return std::nullopt;
    return season_;
}

// The season named in the box, read again when the name changes: a new one when it has no
// file yet, none when its file does not read (said, and never written).
void frm_MoreOptions::loadSeason()
{
    const QString name = seasonName();
    if (name == seasonLoaded_ && (season_ || name.isEmpty()))
        return;
    seasonLoaded_ = name;
    season_.reset();
    seasonRead_.clear();
    lbl_SeasonSays->clear();
    if (!name.isEmpty()) {
        platform::SeasonRead read;
        platform::runOffThread([&] { read = platform::readSeason(seasonsFolder_, name); });
        season_ = read.season;
        if (season_ && read.state == platform::FileState::Regular)
            seasonRead_ = season_->file();
        lbl_SeasonSays->setText(read.state == platform::FileState::Missing
                                    ? QStringLiteral("A new season: its file is made when its first night is added.")
                                    : read.why);
    }
    showSeason();
}

// The boxes from the season, then the standings it makes.
void frm_MoreOptions::showSeason()
{
    showingSeason_ = true;
    const bool on = season_.has_value();
    for (QWidget *c : std::initializer_list<QWidget *>{
             cmb_Points, txt_PointsTable, txt_Floor, txt_Scale, txt_Attend, txt_PerKnockout, cmb_Rule, txt_Best,
             txt_MinNights, tbl_Standings, cmb_MergeFrom, cmb_MergeInto, cmd_Merge, cmd_UndoMerge, cmd_AddResults})
        c->setEnabled(on);
    tbl_Standings->clear();
    cmb_MergeFrom->clear();
    cmb_MergeInto->clear();
    lbl_Formula->clear();
    lbl_Preview->clear();
    if (season_) {
        const season::Points &p = season_->points;
        const season::Rule &r = season_->rule;
        cmb_Points->setCurrentIndex(p.kind == season::Points::Kind::Linear  ? 0
                                    : p.kind == season::Points::Kind::Table ? 1
                                                                            : 2);
        const auto set = [](QLineEdit *b, const QString &text) {
            if (!b->hasFocus())
                b->setText(text);
        };
        set(txt_PointsTable, season::pointsTableText(p.table));
        set(txt_Floor, season::pointsText(p.floor));
        set(txt_Scale, season::pointsText(p.scale));
        set(txt_Attend, season::pointsText(p.attend));
        set(txt_PerKnockout, season::pointsText(p.knockout));
        cmb_Rule->setCurrentIndex(int(r.kind));
        set(txt_Best, QString::number(r.best));
        set(txt_MinNights, QString::number(r.minNights));
        txt_PointsTable->setEnabled(p.kind == season::Points::Kind::Table);
        txt_Floor->setEnabled(p.kind == season::Points::Kind::Table);
        txt_Scale->setEnabled(p.kind == season::Points::Kind::Field);
        txt_Best->setEnabled(r.kind == season::Rule::Kind::Best);
        txt_MinNights->setEnabled(r.kind == season::Rule::Kind::Average);
        lbl_Formula->setText(p.formula() + QStringLiteral(" · ") + r.text());
        lbl_Preview->setText(season::previewText(p, previewField_));
        const std::vector<season::Standing> standings = season_->standings();
        QStringList names;
        for (const season::Standing &s : standings) {
            const auto points = [](qint64 v) { return season::pointsText(v); };
            tbl_Standings->addTopLevelItem(new QTreeWidgetItem(
                {QString::number(s.rank), s.name, QString::number(s.nights), points(s.total), points(s.best),
                 points(s.average), QString::number(s.wins), QString::number(s.cashes), QString::number(s.winnings)}));
            names << s.name;
        }
        for (int c = 0; c < tbl_Standings->columnCount(); ++c)
            tbl_Standings->resizeColumnToContents(c);
        // Every spelling met, so that one can be merged into another.
        QStringList spellings;
        for (const season::Line &l : season_->lines())
            if (!spellings.contains(l.name) && season_->player(l.name) == l.name)
                spellings << l.name;
        spellings.sort(Qt::CaseInsensitive);
        cmb_MergeFrom->addItems(spellings);
        cmb_MergeInto->addItems(spellings);
        if (spellings.size() > 1)
            cmb_MergeInto->setCurrentIndex(1);
        cmd_Merge->setEnabled(spellings.size() > 1);
        cmd_UndoMerge->setEnabled(!season_->merges().empty());
    }
    showingSeason_ = false;
}

// A box changed: the season takes it when it reads, and the box says so when it does not.
void frm_MoreOptions::seasonEdited()
{
    if (!season_ || showingSeason_)
        return;
    season::Season next = *season_;
    static const season::Points::Kind kinds[] = {season::Points::Kind::Linear, season::Points::Kind::Table,
                                                 season::Points::Kind::Field};
    next.points.kind = kinds[std::clamp(cmb_Points->currentIndex(), 0, 2)];
    next.rule.kind = season::Rule::Kind(std::clamp(cmb_Rule->currentIndex(), 0, 2));
    QStringList wrong;
    const auto points = [&](QLineEdit *b, qint64 &into) {
        const QString text = b->text().trimmed();
        const std::optional<qint64> v = text.isEmpty() ? std::optional<qint64>(0) : season::parsePoints(text);
        if (v)
            into = *v;
        else
            wrong << QStringLiteral("\"%1\" must be a number of points such as 10 or 2.5.").arg(b->accessibleName());
    };
    if (const std::optional<std::vector<qint64>> table = season::parsePointsTable(txt_PointsTable->text()))
        next.points.table = *table;
    else
        wrong << QStringLiteral("\"Table\" must be points by place between commas, such as 10, 7, 5.");
    points(txt_Floor, next.points.floor);
    points(txt_Scale, next.points.scale);
    points(txt_Attend, next.points.attend);
    points(txt_PerKnockout, next.points.knockout);
    const auto nights = [&](QLineEdit *b, int &into) {
        bool ok = false;
        const int n = b->text().trimmed().toInt(&ok);
        if (ok && n >= 1 && n <= 1000)
            into = n;
        else
            wrong << QStringLiteral("\"%1\" must be a whole number from 1 to 1,000.").arg(b->accessibleName());
    };
    nights(txt_Best, next.rule.best);
    nights(txt_MinNights, next.rule.minNights);
    season_ = next;
    showSeason();
    lbl_SeasonSays->setText(wrong.join(QLatin1Char('\n')));
}

void frm_MoreOptions::cmd_Merge_Click()
{
    if (!season_)
        return;
    const QString from = cmb_MergeFrom->currentText(), into = cmb_MergeInto->currentText();
    const std::optional<QString> refused = season_->merge(from, into);
    showSeason();
    lbl_SeasonSays->setText(refused ? *refused : QStringLiteral("%1 now counts as %2.").arg(from, into));
}

void frm_MoreOptions::cmd_UndoMerge_Click()
{
    if (!season_ || season_->merges().empty())
        return;
    const season::Merge last = season_->merges().back();
    season_->undoMerge();
    showSeason();
    lbl_SeasonSays->setText(QStringLiteral("Undone: %1 is a player of their own again.").arg(last.from));
}

// A night from one of the results files this program wrote, added as it was played.
void frm_MoreOptions::cmd_AddResults_Click()
{
    if (!season_ || !chooseResults)
        return;
    const std::optional<QString> path = chooseResults();
    if (!path)
        return;
    platform::FileContents file;
    platform::runOffThread([&] { file = platform::readRegularFile(*path, ResultsBytes, false); });
    QString why;
    const std::optional<std::vector<season::Line>> night =
        file.state == platform::FileState::Regular ? season::linesFromResults(file.bytes, &why) : std::nullopt;
    if (!night) {
        lbl_SeasonSays->setText(
            QStringLiteral("%1 is not results this program can add: %2")
                .arg(QDir::toNativeSeparators(*path), why.isEmpty() ? QStringLiteral("it cannot be read.") : why));
        return;
    }
    const std::optional<QString> refused = season_->addNight(*night);
    showSeason();
    lbl_SeasonSays->setText(
        refused ? *refused
                : QStringLiteral("The night of %1 is added: %2 players.").arg(night->front().date).arg(night->size()));
}
