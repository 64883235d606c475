// The settings window with a chip case: each round's time of day beside the blind list, a mark
// on the rounds the chips cannot make, the night's length and end under the window, the
// automatic structure rounded to the chips, and the night's sheet.

#include "clock/LevelMoves.h"
#include "plan/Sheet.h"
#include "settings/frm_Chiplark.h"
#include "text/TextNumber.h"

#include <QDate>
#include <QDir>
#include <QScrollBar>
#include <QStringListModel>

namespace {

// Where the column goes and how much the window grows for it and for the label, in pixels.
constexpr int ColumnWidth = 58;
constexpr int Gap = 2;
constexpr int Wider = ColumnWidth + Gap;
constexpr int LeastLabelHeight = 44;

// When the night starts: at the time typed, tonight, else now.
QDateTime startsAt(const plan::PlanSetup &setup)
{
    return setup.startsAt ? plan::startOn(QDate::currentDate(), *setup.startsAt) : QDateTime::currentDateTime();
}

} // namespace

plan::Night frm_Chiplark::night() const
{
    plan::Night n;
    n.title = txt_Title->text();
    n.currency = opt_currency[0]->isChecked() ? txt_currency->text() : QString();
    const AnteRule ante = anteRule();
    const int rows = std::min({lst_Small.listCount(), lst_Big.listCount(), lst_Time.listCount()});
    n.levels.reserve(size_t(std::max(0, rows)));
    for (int i = 0; i < rows; ++i) {
        n.levels.push_back({lst_Small.list(i), lst_Big.list(i), anteForRound(ante, qint32(i + 1))});
        n.levelSeconds.push_back(std::max<qint64>(0, toInt32(lst_Time.list(i)).value_or(0)));
    }
    if (opt_Break[0]->isChecked()) {
        const WholeNumber every = toWhole(txt_Break->text(), Width::Int16);
        const WholeNumber minutes = toWhole(txt_breakTime->text(), Width::Int32);
        n.breakEvery = every.ok() && every.value > 0 ? every.value : 0;
        n.breakSeconds = minutes.ok() && minutes.value > 0 ? minutes.value * 60 : 0;
    }
    n.repeat = moreOptions.repeatBreak;
    if (tournament::switchedOn(tournamentTexts, tournament::CountKey))
        n.count = tournament::parseSetup(tournamentTexts, nullptr);
    n.setup = planSetup();
    return n;
}

void frm_Chiplark::buildPlanView()
{
    if (planSoon_)
        return;
    planSoon_ = new QTimer(this);
    planSoon_->setSingleShot(true);
    planSoon_->setInterval(0);
    connect(planSoon_, &QTimer::timeout, this, &frm_Chiplark::planNow);
    planClock_ = new QTimer(this);
    planClock_->setInterval(60 * 1000);
    connect(planClock_, &QTimer::timeout, this, &frm_Chiplark::planNow);

    // Whatever changes the night: the list, the breaks and the ante.
    QAbstractItemModel *list = lst_Blinds->model();
    connect(list, &QAbstractItemModel::modelReset, this, &frm_Chiplark::planChanged);
    connect(list, &QAbstractItemModel::rowsInserted, this, &frm_Chiplark::planChanged);
    connect(list, &QAbstractItemModel::rowsRemoved, this, &frm_Chiplark::planChanged);
    connect(list, &QAbstractItemModel::dataChanged, this, &frm_Chiplark::planChanged);
    for (QLineEdit *box : {txt_Break, txt_breakTime, txt_ante, txt_AnteRound, txt_AnteFactor, txt_currency, txt_Title})
        connect(box, &QLineEdit::textChanged, this, &frm_Chiplark::planChanged);
    for (QRadioButton *o : {opt_Break[0], opt_Ante[0], opt_AnteRaise[0], opt_currency[0]})
        connect(o, &QRadioButton::toggled, this, &frm_Chiplark::planChanged);
}

void frm_Chiplark::planChanged()
{
    if (!planSoon_) {
        // Nothing is made before the first chip case.
        if (!planSetup().on())
            return;
        buildPlanView();
    }
    planSoon_->start();
}

void frm_Chiplark::planNow()
{
    if (planSoon_)
        planSoon_->stop();
    const plan::Night n = night();
    const bool on = n.setup.on();
    if (!on && !planShown_)
        return;
    placePlanView(on);
    if (!on) {
        planClock_->stop();
        return;
    }
    const QDateTime starts = startsAt(n.setup);
    if (n.setup.startsAt)
        planClock_->stop();
    else if (!planClock_->isActive())
        planClock_->start();
    const plan::Plan p = plan::makePlan(plan::planInput(n, starts));
    const chips::ChipPlan chipPlan = chips::planChips(n.setup.chips, plan::structureOf(n));
    QStringList times;
    times.reserve(qsizetype(n.levels.size()));
    for (const plan::Row &row : p.rows) {
        if (row.level <= 0)
            continue;
        const bool mark =
            std::find(chipPlan.unmakeable.begin(), chipPlan.unmakeable.end(), row.level) != chipPlan.unmakeable.end();
        times << plan::timeOfDay(starts.addSecs(row.from)) + (mark ? QStringLiteral(" \u2717") : QString());
    }
    static_cast<QStringListModel *>(lst_Plan->model())->setStringList(times);
    lst_Plan->verticalScrollBar()->setValue(lst_Blinds->verticalScrollBar()->value());
    QStringList says{plan::planSummary(p)};
    says << chips::planNotes(chipPlan, n.setup.chips);
    lbl_Plan->setText(says.join(QLatin1Char('\n')));
    // The window grows down to hold every line of it.
    const int height = std::max(LeastLabelHeight, lbl_Plan->heightForWidth(lbl_Plan->width()));
    lbl_Plan->resize(lbl_Plan->width(), height);
    setFixedSize(601 + Wider, 550 + height + 4);
}

// The column beside the list and the label under the window; the window grows to the right
// and down to hold them, and is given back its own size and places without them.
void frm_Chiplark::placePlanView(bool on)
{
    if (on == planShown_)
        return;
    if (!lst_Plan) {
        lst_Plan = new QListView(fme_Blinds);
        lst_Plan->setModel(new QStringListModel(lst_Plan));
        lst_Plan->setUniformItemSizes(true);
        lst_Plan->setSelectionMode(QAbstractItemView::NoSelection);
        lst_Plan->setEditTriggers(QAbstractItemView::NoEditTriggers);
        lst_Plan->setFocusPolicy(Qt::NoFocus);
        lst_Plan->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        lst_Plan->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        lst_Plan->setVerticalScrollMode(lst_Blinds->verticalScrollMode());
        lst_Plan->setAccessibleName(QStringLiteral("Time of day of each round"));
        // The two lists scroll as one.
        QScrollBar *blinds = lst_Blinds->verticalScrollBar();
        QScrollBar *times = lst_Plan->verticalScrollBar();
        connect(blinds, &QScrollBar::valueChanged, times, &QScrollBar::setValue);
        connect(times, &QScrollBar::valueChanged, blinds, &QScrollBar::setValue);
        lbl_Plan = new QLabel(this);
        lbl_Plan->setWordWrap(true);
        lbl_Plan->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        lbl_Plan->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    planShown_ = on;
    lst_Plan->setVisible(on);
    lbl_Plan->setVisible(on);
    if (!on) {
        for (const auto &[w, at] : placedWithoutPlan_)
            w->setGeometry(at);
        placedWithoutPlan_.clear();
        setFixedSize(601, 550);
        return;
    }
    // Right of the list inside the blinds' frame, and right of that frame in the window, every
    // control moves over by the column's width; the title and the frame stretch.
    const QRect list = lst_Blinds->geometry();
    const auto keep = [this](QWidget *w, const QRect &at) {
        placedWithoutPlan_.emplace_back(w, w->geometry());
        w->setGeometry(at);
    };
    for (QObject *o : fme_Blinds->children())
        if (auto *w = qobject_cast<QWidget *>(o);
            w && w != lst_Plan && w->isWindow() == false && w->geometry().left() >= list.right())
            keep(w, w->geometry().translated(Wider, 0));
    const int frameRight = fme_Blinds->geometry().right();
    for (QObject *o : children())
        if (auto *w = qobject_cast<QWidget *>(o);
            w && !w->isWindow() && w != lbl_Plan && w->geometry().left() > frameRight)
            keep(w, w->geometry().translated(Wider, 0));
    for (QWidget *w :
         {static_cast<QWidget *>(fme_Blinds), static_cast<QWidget *>(fme_title), static_cast<QWidget *>(txt_Title)})
        keep(w, w->geometry().adjusted(0, 0, Wider, 0));
    lst_Plan->setGeometry(list.right() + 1 + Gap, list.top(), ColumnWidth, list.height());
    setFixedSize(601 + Wider, 550 + LeastLabelHeight + 4);
    lbl_Plan->setGeometry(8, 550, width() - 16, LeastLabelHeight);
    lst_Plan->raise();
}

// With the automatic structure rounded to the chips: each small and big blind to the nearest
// amount the smallest chip in play at its level makes.
void frm_Chiplark::roundAutoBlinds()
{
    const plan::PlanSetup setup = planSetup();
    if (!setup.on() || !setup.roundToChips)
        return;
    std::vector<QString> small, big;
    for (int i = 0; i < lst_Small.listCount(); ++i)
        small.push_back(lst_Small.list(i));
    for (int i = 0; i < lst_Big.listCount(); ++i)
        big.push_back(lst_Big.list(i));
    chips::roundToChips(setup.chips, plan::structureOf(night()), small, big);
    lst_Small.setItems(QStringList(small.begin(), small.end()));
    lst_Big.setItems(QStringList(big.begin(), big.end()));
}

platform::NightFilesWriter &frm_Chiplark::sheetWriter()
{
    if (!sheetWriter_) {
        sheetWriter_ = std::make_unique<platform::NightFilesWriter>(
            QDir(services_.files->programFolder()).filePath(QStringLiteral("sheets")));
        connect(sheetWriter_.get(), &platform::NightFilesWriter::written, this,
                [this](const platform::NewFilesWritten &w) {
                    if (w.ok)
                        services_.shell->openAddress(w.paths.constFirst());
                    else
                        services_.messageBox->show(w.error, QStringLiteral("Chiplark"), platform::Icon::Warning,
                                                   platform::Buttons::Ok);
                });
    }
    return *sheetWriter_;
}

void frm_Chiplark::printSheet(const plan::Night &night)
{
    const QDateTime starts = startsAt(night.setup);
    sheetWriter().write(starts.date().toString(Qt::ISODate), plan::sheetHtml(night, starts));
}
