#include "settings/frm_MoreOptions.h"

#include "platform/Platform.h"
#include "settings/Controls.h"

#include <QDialogButtonBox>

#include <QLineEdit>
#include <QMessageBox>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

frm_MoreOptions::frm_MoreOptions(const MoreOptions &options, platform::ClockPublisher *publisher, QWidget *parent,
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
    // Each code says what it is for: the one anyone may scan, and the host's own.
    const auto codeCaption = [this](const QString &text) {
        auto *c = new QLabel(text, this);
        c->setAlignment(Qt::AlignHCenter);
        QFont f = c->font();
        f.setBold(true);
        c->setFont(f);
        return c;
    };
    watchCaption_ = codeCaption(QStringLiteral("Watch"));
    screens->addWidget(watchCaption_);
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
    controlCaption_ = codeCaption(QStringLiteral("Control — your own phone only"));
    screens->addWidget(controlCaption_);
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
    buildSeasonPage();

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
    controlCaption_->setVisible(shown);
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
    for (QWidget *w :
         std::initializer_list<QWidget *>{lbl_Address, txt_Address, watchCaption_, lbl_QR, pinRow_, lbl_PIN})
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

MoreOptions frm_MoreOptions::options() const
{
    MoreOptions o;
    o.serveOnNetwork = chk_Serve->isChecked();
    o.scaleDisplay = chk_Scale->isChecked();
    o.showPaused = chk_Paused->isChecked();
    o.repeatBreak = chk_RepeatBreak->isChecked();
    return o;
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
