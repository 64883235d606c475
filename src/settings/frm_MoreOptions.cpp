#include "settings/frm_MoreOptions.h"

#include "platform/Platform.h"
#include "settings/Controls.h"
#include "tournament/SavedGame.h"
#include "tournament/SetupTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

frm_MoreOptions::frm_MoreOptions(const ScreenOptions &options, platform::ClockPublisher *publisher, QWidget *parent,
                                 const tournament::SetupTexts &tournament, const plan::PlanTexts &planTexts)
    : QDialog(parent), publisher_(publisher)
{
    installAccessibleRoles(); // before any control exists, so each gets its role
    setWindowTitle(QStringLiteral("More options"));
    auto *layout = new QVBoxLayout(this);
    tabs = new QTabWidget(this);
    // Every page's name in sight: the dialog is as wide as its tabs.
    tabs->setUsesScrollButtons(false);
    layout->addWidget(tabs);
    const auto page = [this](const QString &name) {
        auto *w = new QWidget(tabs);
        tabs->addTab(w, name);
        w->setAccessibleName(QString(name).replace(QStringLiteral("&&"), QStringLiteral("&")));
        auto *l = new QVBoxLayout(w);
        return l;
    };
    const auto note = [this](QVBoxLayout *l, const QString &text) {
        auto *n = new QLabel(text, this);
        n->setWordWrap(true);
        n->setIndent(20);
        l->addWidget(n);
        return n;
    };

    QVBoxLayout *screens = page(QStringLiteral("Phone && TV"));
    chk_Serve = new QCheckBox(QStringLiteral("&Show the clock on phones and TVs on this network"), this);
    chk_Serve->setChecked(options.serveOnNetwork && publisher_ && publisher_->running());
    chk_Serve->setEnabled(publisher_ != nullptr);
    screens->addWidget(chk_Serve);
    lbl_Address = new QLabel(this);
    lbl_Address->setWordWrap(true);
    lbl_Address->setIndent(20);
    screens->addWidget(lbl_Address);
    // The address and the PIN as read-only text: Tab reaches them, a screen reader reads them
    // and the address can be copied.
    const auto field = [this](const QString &name) {
        auto *f = new QLineEdit(this);
        f->setReadOnly(true);
        f->setAccessibleName(name);
        return f;
    };
    txt_Address = field(QStringLiteral("Address"));
    auto *addressRow = new QHBoxLayout;
    addressRow->addSpacing(20);
    addressRow->addWidget(txt_Address);
    screens->addLayout(addressRow);
    lbl_QR = new QLabel(this);
    lbl_QR->setAlignment(Qt::AlignHCenter);
    lbl_QR->setAccessibleName(QStringLiteral("The address as a QR code"));
    screens->addWidget(lbl_QR);
    auto *pinCaption = new QLabel(QStringLiteral("Control &PIN:"), this);
    txt_PIN = field(QStringLiteral("Control PIN"));
    pinCaption->setBuddy(txt_PIN);
    txt_PIN->setMaximumWidth(txt_PIN->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 16);
    pinRow_ = new QWidget(this);
    auto *pinRow = new QHBoxLayout(pinRow_);
    pinRow->setContentsMargins(20, 0, 0, 0);
    pinRow->addWidget(pinCaption);
    pinRow->addWidget(txt_PIN);
    pinRow->addStretch();
    screens->addWidget(pinRow_);
    lbl_PIN = new QLabel(QStringLiteral("Anyone with the address can watch. To control the game from your phone "
                                        "(pause, levels, the count), scan \"Control from a phone\" below, or tap "
                                        "\"Host\" at the bottom of the page and enter the PIN. \"New address and "
                                        "PIN\" makes both new: pages open at the old address say so."),
                         this);
    lbl_PIN->setWordWrap(true);
    lbl_PIN->setIndent(20);
    screens->addWidget(lbl_PIN);
    controlRow_ = new QWidget(this);
    auto *controlRow = new QHBoxLayout(controlRow_);
    controlRow->setContentsMargins(20, 0, 0, 0);
    cmd_ControlCode = new QPushButton(QStringLiteral("&Control from a phone"), controlRow_);
    cmd_ControlCode->setAutoDefault(false);
    cmd_ControlCode->setCheckable(true);
    lbl_Control = new QLabel(controlRow_);
    lbl_Control->setWordWrap(true); // the cap, when reached, is said in a second line
    cmd_Revoke = new QPushButton(QStringLiteral("&Revoke all"), controlRow_);
    cmd_Revoke->setAutoDefault(false);
    cmd_Revoke->setAccessibleDescription(QStringLiteral("Takes control back from every phone"));
    controlRow->addWidget(cmd_ControlCode);
    controlRow->addWidget(lbl_Control);
    controlRow->addWidget(cmd_Revoke);
    controlRow->addStretch();
    screens->addWidget(controlRow_);
    // The one-time link, as a code for the host's phone alone: shown while the button is down,
    // and replaced as soon as a phone has used it.
    lbl_ControlQR = new QLabel(this);
    lbl_ControlQR->setAlignment(Qt::AlignHCenter);
    lbl_ControlQR->setAccessibleName(QStringLiteral("The control link as a QR code: scan it with your own phone"));
    screens->addWidget(lbl_ControlQR);
    lbl_Others = new QLabel(this);
    lbl_Others->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lbl_Others->setWordWrap(true);
    lbl_Others->setIndent(20);
    screens->addWidget(lbl_Others);
    cmd_NewAddress = new QPushButton(QStringLiteral("&New address and PIN"), this);
    cmd_NewAddress->setAutoDefault(false);
    auto *renewRow = new QHBoxLayout;
    renewRow->addSpacing(20);
    renewRow->addWidget(cmd_NewAddress);
    renewRow->addStretch();
    screens->addLayout(renewRow);
    screens->addStretch();

    const auto option = [this, &note](QVBoxLayout *l, const QString &caption, bool on, const QString &text) {
        auto *box = new QCheckBox(caption, this);
        box->setChecked(on);
        l->addWidget(box);
        note(l, text);
        return box;
    };
    QVBoxLayout *display = page(QStringLiteral("Players' display"));
    chk_Scale =
        option(display, QStringLiteral("Scale the players' display to the screen"), options.scaleDisplay,
               QStringLiteral("The display's text and spacing grow with the screen, keeping the layout's "
                              "proportions; a display already up changes at once. Off, the display uses the same "
                              "sizes on every screen."));
    chk_Paused = option(display, QStringLiteral("Show PAUSED on the players' display"), options.showPaused,
                        QStringLiteral("While the game is paused (P on the display, or from a phone), the display says "
                                       "PAUSED in large letters under the blinds."));
    display->addStretch();

    QVBoxLayout *breaks = page(QStringLiteral("Breaks"));
    chk_RepeatBreak =
        option(breaks, QStringLiteral("Repeat the break every N rounds"), options.repeatBreak,
               QStringLiteral("N is the number in \"Break every: N rounds\" in the settings window. Off, the game "
                              "stops for one break only, after round N. On, it stops after round N, 2N, 3N and so "
                              "on, each break as long as \"for: … mins.\" says, with the same warning, sound and "
                              "announcement."));
    note(breaks, QStringLiteral("The spoken break announcement says \"The game will resume in 5 minutes\" whatever "
                                "the break's length: if your break is not 5 minutes long, change the phrase with "
                                "\"Customise Voices\"."));
    breaks->addStretch();
    buildTournamentPage(tournament);
    buildTablesPage(tournament);
    buildChipsPage(planTexts);

    cmd_Close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(cmd_Close, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(cmd_Close);
    connect(chk_Serve, &QCheckBox::clicked, this, [this] { chk_Serve_Click(); });
    connect(cmd_NewAddress, &QPushButton::clicked, this, [this] { cmd_NewAddress_Click(); });
    connect(cmd_ControlCode, &QPushButton::clicked, this, [this] { cmd_ControlCode_Click(); });
    connect(cmd_Revoke, &QPushButton::clicked, this, [this] { cmd_Revoke_Click(); });
    if (publisher_)
        publisher_->setControlChanged([this] { showAddress(); });
    for (QCheckBox *box : {chk_Scale, chk_Paused, chk_RepeatBreak})
        connect(box, &QCheckBox::toggled, this, &frm_MoreOptions::optionsChanged);
    connect(chk_RepeatBreak, &QCheckBox::toggled, this, &frm_MoreOptions::checkChips);
    setMinimumWidth(460);
    showAddress();
}

frm_MoreOptions::~frm_MoreOptions()
{
    if (publisher_)
        publisher_->setControlChanged({});
}

// Turned on, the address takes the focus: a screen reader says it, then the PIN (its
// description) with it.
void frm_MoreOptions::announceAddress()
{
    txt_Address->setFocus(Qt::OtherFocusReason);
}

void frm_MoreOptions::chk_Serve_Click()
{
    if (!publisher_)
        return;
    if (chk_Serve->isChecked()) {
        QString why;
        if (!publisher_->start(&why)) {
            chk_Serve->setChecked(false);
            lbl_Address->setText(QStringLiteral("The clock cannot be shown on the network: ") + why);
            lbl_Address->show();
            return;
        }
        showAddress();
        announceAddress();
        return;
    }
    publisher_->stop();
    showAddress();
}

// The old address stops working at once: TVs and phones open the new one.
void frm_MoreOptions::cmd_NewAddress_Click()
{
    if (!publisher_)
        return;
    QString why;
    if (!publisher_->renewAddress(&why)) {
        chk_Serve->setChecked(publisher_->running());
        showAddress();
        lbl_Address->setText(QStringLiteral("The clock cannot be shown on the network: ") + why);
        lbl_Address->show();
        return;
    }
    showAddress();
    announceAddress();
}

void frm_MoreOptions::cmd_ControlCode_Click()
{
    showControl();
    if (cmd_ControlCode->isChecked())
        fitContents();
}

void frm_MoreOptions::cmd_Revoke_Click()
{
    if (publisher_)
        publisher_->revokeControl();
    showControl();
}

// How many phones have control, and the one-time code while it is asked for.
void frm_MoreOptions::showControl()
{
    const bool on = publisher_ && publisher_->running();
    controlRow_->setVisible(on);
    const int phones = on ? publisher_->phonesWithControl() : 0;
    lbl_Control->setText(phones < platform::ClockPublisher::MaxControlKeys
                             ? QStringLiteral("Phones with control: %1").arg(phones)
                             : QStringLiteral("Phones with control: %1, the most: a phone paired now takes the "
                                              "place of the one paired first")
                                   .arg(phones));
    cmd_Revoke->setEnabled(phones > 0);
    const bool shown = on && cmd_ControlCode->isChecked();
    lbl_ControlQR->setVisible(shown);
    if (!shown)
        return;
    const QImage code = publisher_->controlCode();
    const QPixmap pixels = QPixmap::fromImage(code.scaled(code.width() * 5, code.height() * 5));
    lbl_ControlQR->setPixmap(pixels);
    lbl_ControlQR->setMinimumSize(pixels.size());
}

void frm_MoreOptions::showAddress()
{
    const bool on = publisher_ && publisher_->running();
    for (QWidget *w : std::initializer_list<QWidget *>{lbl_Address, txt_Address, lbl_QR, pinRow_, lbl_PIN})
        w->setVisible(on);
    showControl();
    cmd_NewAddress->setVisible(on);
    const QStringList others = on ? publisher_->alsoReachable() : QStringList();
    lbl_Others->setVisible(!others.isEmpty());
    if (!on) {
        fitContents();
        return;
    }
    QString intro = QStringLiteral("Open this address on a phone or a TV on the same network, or scan the code. "
                                   "It stays the same from game to game:");
    if (publisher_->noNetwork())
        intro = QStringLiteral("No network was found: this address works on this computer only. Connect the "
                               "computer to the home network, then turn this option off and on again:");
    else if (publisher_->addressMoved())
        intro = QStringLiteral("The address has changed (its port was taken by another program): open this one "
                               "on the TVs and phones again, or scan the code:");
    if (const QString notKept = publisher_->addressNotKept(); !notKept.isEmpty())
        intro = notKept + QStringLiteral(" Until it is, this address may change at the next start:");
    lbl_Address->setText(intro);
    txt_Address->setText(publisher_->address());
    txt_Address->setAccessibleDescription(QStringLiteral("Control PIN %1").arg(publisher_->pin()));
    txt_Address->setCursorPosition(0);
    lbl_Others->setText(QStringLiteral("Also reachable at:\n") + others.join(QLatin1Char('\n')));
    const QImage code = publisher_->qrCode();
    const QPixmap shown = QPixmap::fromImage(code.scaled(code.width() * 5, code.height() * 5));
    lbl_QR->setPixmap(shown);
    lbl_QR->setMinimumSize(shown.size()); // a code cut short does not scan
    txt_PIN->setText(publisher_->pin());
    fitContents();
}

// The whole of the dialog: adjustSize() would stop at two thirds of the screen's height and
// squeeze the code.
void frm_MoreOptions::fitContents()
{
    // The pages' new contents count before the size is taken.
    for (QWidget *w = lbl_QR; w && w != this; w = w->parentWidget())
        w->updateGeometry();
    layout()->activate();
    resize(sizeHint().expandedTo(minimumSizeHint()));
}

ScreenOptions frm_MoreOptions::options() const
{
    ScreenOptions o;
    o.serveOnNetwork = chk_Serve->isChecked();
    o.scaleDisplay = chk_Scale->isChecked();
    o.showPaused = chk_Paused->isChecked();
    o.repeatBreak = chk_RepeatBreak->isChecked();
    return o;
}

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
    auto *namesCaption = new QLabel(QStringLiteral("Players' names, one a line, in the order they buy in (optional; "
                                                   "&with a game on, S on the display seats them all):"),
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
    // A blank line is a buy-in without a name; those after the last name go with none.
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

// Closed with a setup that leaves the prizes nothing, the host is asked first; No goes back to
// the house cut.
void frm_MoreOptions::done(int result)
{
    const std::optional<tournament::Setup> setup = tournament::parseSetup(tournamentTexts(), nullptr);
    const QString question = chk_Count->isChecked() && setup ? tournament::setupQuestion(*setup) : QString();
    if (!question.isEmpty()
        && QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes) {
        tabs->setCurrentWidget(chk_Count->parentWidget());
        txt_Cut->setFocus(Qt::OtherFocusReason);
        txt_Cut->selectAll();
        return;
    }
    QDialog::done(result);
}

tournament::SetupTexts frm_MoreOptions::tournamentTexts() const
{
    tournament::SetupTexts texts;
    for (auto it = setupBoxes_.begin(); it != setupBoxes_.end(); ++it)
        if (!it.value()->text().trimmed().isEmpty())
            texts.insert(it.key(), it.value()->text().trimmed());
    if (texts.value(QStringLiteral("Rounding")) == QLatin1String("1"))
        texts.remove(QStringLiteral("Rounding"));
    const std::pair<const QString &, bool> switches[] = {{tournament::CountKey, chk_Count->isChecked()},
                                                         {tournament::CutFixedKey, opt_Cut[1]->isChecked()},
                                                         {tournament::SpeakKey, chk_SpeakCount->isChecked()}};
    for (const auto &[key, on] : switches)
        if (on)
            texts.insert(key, QStringLiteral("1"));
    return texts;
}
