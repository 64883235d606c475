#include "settings/frm_Chiplark.h"

#include "blinds/AutoBlinds.h"
#include "blinds/SavedStructures.h"
#include "display/frm_Display.h"
#include "platform/OffThread.h"
#include "platform/RegularFile.h"
#include "platform/SeasonStore.h"
#include "settings/Contrast.h"
#include "settings/ReadableStyle.h"
#include "text/IntCheck.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>

const QString frm_Chiplark::LinkText = QStringLiteral("Chiplark manual");
const QString frm_Chiplark::NoticeText = QStringLiteral("\u00A9 The Chiplark team");

frm_Chiplark::frm_Chiplark(const platform::Services &services, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      services_(services)
{
    installAccessibleRoles(); // before any control exists, so each gets its role
    useReadableStyle();       // ... and its indicators drawn readable in a dark theme
    // A small dialog font, so every caption fits the control drawn for it.
    QFont dialogFont;
    dialogFont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    dialogFont.setPixelSize(10);
    setFont(dialogFont);

    setWindowTitle(QStringLiteral("Chiplark!") + QStringLiteral(" - ") + QStringLiteral("version 1.0"));
    setFixedSize(601, 550); // 9015 x 8250 twips
    setSizeGripEnabled(false);

    CD1.colour = services_.colourDialog;
    CD1.file = services_.fileDialog;

    // Qt lays every new text box and rich label out once in the application's font before
    // they take the window's. With the window's font as the application's until the first
    // paint, start-up loads no font this window does not show (loading the desktop's default
    // face costs a tenth of the start-up).
    applicationFont_ = QApplication::font();
    QApplication::setFont(dialogFont);
    buildLayout();
    cmd_Start->setDefault(true);
    setTabOrder();
    nameControlsForScreenReaders();
    // The rules first: a control's own handler finds the game under its new value.
    connectRules();
    connectHandlers();
    connectGame();
    keepLinkReadable();
    Form_Load();
    // Once the window is up: a game a dead program left running.
    QTimer::singleShot(0, this, [this] { offerResume(); });
}

// The manual's link in the theme's link colour, made lighter (or darker) only where the
// theme's colour is too faint against the window.
void frm_Chiplark::keepLinkReadable()
{
    const QPalette own = palette();
    QPalette link = Label15->palette();
    const QColor readable = withContrast(own.color(QPalette::Link), own.color(QPalette::Window),
                                         ReadableStyle::LinkRatio * ReadableStyle::Margin);
    if (link.color(QPalette::Link) == readable)
        return;
    link.setColor(QPalette::Link, readable);
    Label15->setPalette(link);
}

void frm_Chiplark::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        keepLinkReadable();
}

frm_Chiplark::~frm_Chiplark()
{
    restoreApplicationFont();
    stillBehindDisplay(false);
}

void frm_Chiplark::restoreApplicationFont()
{
    if (!applicationFont_)
        return;
    QApplication::setFont(*applicationFont_);
    applicationFont_.reset();
}

template <size_t N>
static void connectGroup(frm_Chiplark *w, std::array<QRadioButton *, N> &group, void (frm_Chiplark::*handler)(int))
{
    for (size_t i = 0; i < N; ++i)
        QObject::connect(group[i], &QRadioButton::toggled, w, [w, handler, i](bool on) {
            if (on)
                (w->*handler)(int(i));
        });
}

void frm_Chiplark::connectHandlers()
{
    if (services_.publisher) {
        services_.publisher->setAddressFile(
            QDir(services_.files->programFolder()).filePath(QStringLiteral("chiplark-page.ini")));
    }
    connectGroup(this, opt_Blinds, &frm_Chiplark::opt_Blinds_Click);
    connectGroup(this, opt_AutoIncrease, &frm_Chiplark::opt_AutoIncrease_Click);
    connectGroup(this, opt_Ante, &frm_Chiplark::opt_Ante_Click);
    connectGroup(this, opt_AnteRaise, &frm_Chiplark::opt_AnteRaise_Click);
    connectGroup(this, opt_Break, &frm_Chiplark::opt_Break_Click);
    connectGroup(this, opt_currency, &frm_Chiplark::opt_currency_Click);
    connect(txt_currency, &QLineEdit::textChanged, this, [this] { txt_currency_Change(); });

    keyPress_ = {
        {txt_ante, &frm_Chiplark::txt_ante_KeyPress},
        {txt_AnteFactor, &frm_Chiplark::txt_AnteFactor_KeyPress},
        {txt_AnteRound, &frm_Chiplark::txt_AnteRound_KeyPress},
        {txt_AutoRounds, &frm_Chiplark::txt_AutoRounds_KeyPress},
        {txt_AutoTime, &frm_Chiplark::txt_AutoTime_KeyPress},
        {txt_Big, &frm_Chiplark::txt_Big_KeyPress},
        {txt_blindFactor, &frm_Chiplark::txt_blindFactor_KeyPress},
        {txt_BlindPercentage, &frm_Chiplark::txt_BlindPercentage_KeyPress},
        {txt_BlindValue, &frm_Chiplark::txt_BlindValue_KeyPress},
        {txt_Break, &frm_Chiplark::txt_Break_KeyPress},
        {txt_breakTime, &frm_Chiplark::txt_breakTime_KeyPress},
        {txt_Small, &frm_Chiplark::txt_Small_KeyPress},
    };
    for (QObject *box : keyPress_.keys())
        box->installEventFilter(this);

    connect(cmd_BlindAdd, &QPushButton::clicked, this, [this] { cmd_BlindAdd_Click(); });
    connect(cmd_BlindRem, &QPushButton::clicked, this, [this] { cmd_BlindRem_Click(); });
    connect(cmd_BlindUp, &QPushButton::clicked, this, [this] { cmd_BlindUp_Click(); });
    connect(cmd_BlindDown, &QPushButton::clicked, this, [this] { cmd_BlindDown_Click(); });
    connect(cmd_Clear, &QPushButton::clicked, this, [this] { cmd_Clear_Click(); });
    connect(cmd_BlindSave, &QPushButton::clicked, this, [this] { cmd_BlindSave_Click(); });
    connect(cmb_BlindLoad, &QComboBox::activated, this, [this] { cmb_BlindLoad_Click(); });
    cmb_BlindLoad->installEventFilter(this);

    connect(cmd_back, &QPushButton::clicked, this, [this] { cmd_back_Click(); });
    connect(cmd_fore, &QPushButton::clicked, this, [this] { cmd_fore_Click(); });
    connect(cmd_ante, &QPushButton::clicked, this, [this] { cmd_ante_Click(); });
    connect(cmd_Title, &QPushButton::clicked, this, [this] { cmd_Title_Click(); });
    connect(cmd_browse, &QPushButton::clicked, this, [this] { cmd_browse_Click(); });
    connect(chk_playWav, &QCheckBox::stateChanged, this, [this] { chk_playWav_Click(); });
    connect(Check1, &QCheckBox::stateChanged, this, [this] { Check1_Click(); });
    connect(cmd_Voice, &QPushButton::clicked, this, [this] { cmd_Voice_Click(); });
    connect(cmd_wavtest, &QPushButton::clicked, this, [this] { cmd_wavtest_Click(); });
    connect(Label15, &LinkLabel::clicked, this, [this] { Label15_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmd_Exit, &QPushButton::clicked, this, [this] { cmd_Exit_Click(); });
    connect(cmd_Screens, &QPushButton::clicked, this, [this] { cmd_Screens_Click(); });
    connect(cmd_Start, &QPushButton::clicked, this, [this] { cmd_Start_Click(); });
    // A timer's second, and those it missed while the event loop was held, as long as its
    // countdown still runs.
    connect(tmr_rounds, &QTimer::timeout, this, [this] {
        const int due = runner.dueTicks(tmr_rounds);
        tmr_rounds_Timer();
        for (int n = due; n > 1 && game.running() == Game::Countdown::Rounds; --n)
            tmr_rounds_Timer();
    });
    connect(tmr_break, &QTimer::timeout, this, [this] {
        const int due = runner.dueTicks(tmr_break);
        tmr_break_Timer();
        for (int n = due; n > 1 && game.running() == Game::Countdown::Break; --n)
            tmr_break_Timer();
    });
}

// The typed character of a numeric box goes through its KeyPress handler; a key the
// handler cancels types nothing. Keys that type no character, and the keys that move the
// focus or press the default and cancel buttons, are left alone.
void frm_Chiplark::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    if (iconSet_)
        return;
    iconSet_ = true;
    // The icon once the window is on the screen: reading an image loads Qt's image-format
    // plugins, which the first paint need not wait for. Only the sizes a title bar or a task
    // switcher shows.
    QTimer::singleShot(0, this, [this] {
        restoreApplicationFont();
        if (moreOptions.serveOnNetwork)
            startServing();
        Q_INIT_RESOURCE(chiplark);
        QIcon icon;
        for (int size : {16, 32, 48})
            icon.addPixmap(QPixmap(QStringLiteral(":/icon-%1.png").arg(size), "PNG"));
        setWindowIcon(icon);
    });
}

bool frm_Chiplark::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cmb_BlindLoad) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down)
                cmb_BlindLoad_KeyDown(key == Qt::Key_Up ? 38 : 40, 0);
        } else if (event->type() == QEvent::FocusOut) {
            // Opening its own list or leaving the window is not leaving the box. The list's
            // first opening moves the focus into it with no popup reason, so the list itself
            // is asked too.
            const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
            const QWidget *list = cmb_BlindLoad->view();
            const QWidget *now = QApplication::focusWidget();
            const bool intoOwnList = list->window()->isVisible() || (now && (now == list || list->isAncestorOf(now)));
            if (why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason && !intoOwnList)
                cmb_BlindLoad_LostFocus();
        }
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto handler = keyPress_.value(watched);
    auto *key = static_cast<QKeyEvent *>(event);
    if (!handler || key->text().isEmpty())
        return QDialog::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Delete: return QDialog::eventFilter(watched, event);
    default: break;
    }
    const char16_t code = key->text().at(0).unicode();
    qint16 KeyAscii = qint16(std::min<int>(code, 32767));
    (this->*handler)(KeyAscii);
    return KeyAscii == 0;
}

void frm_Chiplark::Form_Load()
{
    arrowKeyPressed = false;
    phrases = defaultPhrases();
    // Temporary files of a save that was interrupted go first.
    platform::removeStaleTemporaries(services_.files->programFolder());
    platform::removeStaleTemporaries(savedStructuresFolder(services_.files->programFolder()));
    if (FileExistsonDisk(settingsPath()))
        loadSettings();
    else if (platform::somethingAt(settingsPath()))
        settingsFileKept_ = true; // a folder, a FIFO, a device, a dangling link: never replaced
    listSavedStructures();
}

void frm_Chiplark::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    // The page's server goes first: nothing it holds (its connections' descriptors among
    // them) can stand in the way of the save.
    if (services_.publisher)
        services_.publisher->stop();
    saveSettings();
    // A night with its players counted stays on disk, left or still up, and is offered at the
    // next start.
    if (game.ledger && game.inPlay())
        leftGame_ = runner.kept();
    stopCountdowns();
    if (leftGame_ && !runner.unreadableGameFile) {
        runner.write(*leftGame_);
        services_.messageBox->show(tournament::keptAtExit(*leftGame_), QStringLiteral("Chiplark"),
                                   platform::Icon::Information, platform::Buttons::Ok);
    } else {
        runner.forget();
    }
    // The program may end as soon as this returns: the game's file is put right first.
    runner.keptWriter().finish();
    keepScreenOn(false);
    runner.screen = nullptr;
    display_.reset();
}

QString frm_Chiplark::settingsPath() const
{
    return QDir(services_.files->programFolder()).filePath(QStringLiteral("chiplark.ini"));
}

bool frm_Chiplark::FileExistsonDisk(const QString &path) const
{
    return services_.files->fileExists(path);
}

void frm_Chiplark::regenList()
{
    gameState.currencySymbol = opt_currency[0]->isChecked() ? txt_currency->text() : QString();
    lst_Blinds->render(gameState.currencySymbol);
    scheduleShortened();
    planChanged();
    handRules();
}

// A game whose level lies beyond a list shortened meanwhile goes on as after its last level.
void frm_Chiplark::scheduleShortened()
{
    if (gameState.currentRound > lst_Big.listCount())
        gameState.currentRound = lst_Big.listCount();
}

bool frm_Chiplark::buildAutoBlinds()
{
    AutoBlindInputs in;
    in.small = txt_Small->text();
    in.big = txt_Big->text();
    in.rounds = txt_AutoRounds->text();
    in.minutes = txt_AutoTime->text();
    in.rule = IncreaseRule::None;
    for (int i = 0; i < 3; ++i)
        if (opt_AutoIncrease[size_t(i)]->isChecked()) {
            in.rule = IncreaseRule(i);
            break;
        }
    in.factor = txt_blindFactor->text();
    in.value = txt_BlindValue->text();
    in.percentage = txt_BlindPercentage->text();

    AutoBlindResult rows = buildAutoRows(in);
    if (!rows.ok) {
        services_.messageBox->show(rows.error, QStringLiteral("Error"), platform::Icon::Warning, platform::Buttons::Ok);
        return false;
    }
    lst_Blinds->clear();
    lst_Big.setItems(std::move(rows.big));
    lst_Small.setItems(std::move(rows.small));
    lst_Time.setItems(std::move(rows.time));
    roundAutoBlinds();
    return true;
}

void frm_Chiplark::Command1_Click()
{
    if (buildAutoBlinds())
        regenList();
}

void frm_Chiplark::opt_Blinds_Click(int index)
{
    if (index == 0) {
        disableAutoSection();
        enableCustomSection();
    } else {
        enableAutoSection();
        disableCustomSection();
    }
}

void frm_Chiplark::opt_AutoIncrease_Click(int)
{
    applyIncreaseRule();
}

// An increase box is usable only while the automatic structure and its own option are chosen.
void frm_Chiplark::applyIncreaseRule()
{
    const bool automatic = opt_Blinds[1]->isChecked();
    txt_blindFactor->setEnabled(automatic && opt_AutoIncrease[0]->isChecked());
    txt_BlindValue->setEnabled(automatic && opt_AutoIncrease[1]->isChecked());
    txt_BlindPercentage->setEnabled(automatic && opt_AutoIncrease[2]->isChecked());
}

void frm_Chiplark::enableAutoSection()
{
    for (QWidget *w : {static_cast<QWidget *>(txt_Small), static_cast<QWidget *>(txt_Big),
                       static_cast<QWidget *>(txt_AutoRounds), static_cast<QWidget *>(txt_AutoTime)})
        w->setEnabled(true);
    for (QRadioButton *o : opt_AutoIncrease)
        o->setEnabled(true);
    applyIncreaseRule();
}

void frm_Chiplark::disableAutoSection()
{
    for (QWidget *w :
         {txt_Small, txt_Big, txt_AutoRounds, txt_AutoTime, txt_blindFactor, txt_BlindValue, txt_BlindPercentage})
        w->setEnabled(false);
    for (QRadioButton *o : opt_AutoIncrease)
        o->setEnabled(false);
}

void frm_Chiplark::enableCustomSection()
{
    for (QWidget *w : std::initializer_list<QWidget *>{cmb_BlindLoad, lst_Blinds, cmd_BlindAdd, cmd_BlindRem,
                                                       cmd_BlindUp, cmd_BlindDown, cmd_BlindSave})
        w->setEnabled(true);
}

void frm_Chiplark::disableCustomSection()
{
    for (QWidget *w : std::initializer_list<QWidget *>{cmb_BlindLoad, lst_Blinds, cmd_BlindAdd, cmd_BlindRem,
                                                       cmd_BlindUp, cmd_BlindDown, cmd_BlindSave})
        w->setEnabled(false);
}

void frm_Chiplark::opt_Ante_Click(int index)
{
    // The inner frame takes its contents with it and gives them back as they were.
    txt_ante->setEnabled(index != 0);
    txt_AnteRound->setEnabled(index != 0);
    fme_AnteAmt->setEnabled(index != 0);
}

void frm_Chiplark::opt_AnteRaise_Click(int index)
{
    txt_AnteFactor->setEnabled(index != 0);
}

void frm_Chiplark::opt_Break_Click(int index)
{
    txt_Break->setEnabled(index == 0);
    txt_breakTime->setEnabled(index == 0);
}

void frm_Chiplark::opt_currency_Click(int index)
{
    txt_currency->setEnabled(index == 0);
    regenList();
}

void frm_Chiplark::txt_currency_Change()
{
    regenList();
}

void frm_Chiplark::txt_ante_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_AnteFactor_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_AnteRound_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_AutoRounds_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_AutoTime_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_Big_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_blindFactor_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_BlindPercentage_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_BlindValue_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_Break_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_breakTime_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}
void frm_Chiplark::txt_Small_KeyPress(qint16 &KeyAscii)
{
    IntCheck(KeyAscii);
}

// A cancelled dialog keeps the colour it was given.
void frm_Chiplark::pickColour(ColourButton *swatch)
{
    if (const std::optional<qint32> c = CD1.colour->choose(swatch->colour()))
        swatch->setColour(*c);
    handRules();
}

void frm_Chiplark::cmd_back_Click()
{
    pickColour(cmd_back);
}
void frm_Chiplark::cmd_fore_Click()
{
    pickColour(cmd_fore);
}
void frm_Chiplark::cmd_ante_Click()
{
    pickColour(cmd_ante);
}
void frm_Chiplark::cmd_Title_Click()
{
    pickColour(cmd_Title);
}

// A cancelled dialog leaves the box as it was.
void frm_Chiplark::cmd_browse_Click()
{
    if (const std::optional<QString> file =
            CD1.file->openFile(QStringLiteral("Browse for wav file"), QStringLiteral("Wav Files|*.wav")))
        txt_wavpath->setText(*file);
}

void frm_Chiplark::chk_playWav_Click()
{
    const bool on = chk_playWav->value() == 1;
    txt_wavpath->setEnabled(on);
    cmd_wavtest->setEnabled(on);
    cmd_browse->setEnabled(on);
    if (on)
        services_.sound->prepare();
}

// Opens the manual that comes with the program.
void frm_Chiplark::cmd_Screens_Click()
{
    frm_MoreOptions dialog(moreOptions, services_.publisher, this, tournamentTexts, planTexts);
    dialog.setNames(game.names);
    dialog.windowNight = [this] { return night(); };
    dialog.checkChips();
    dialog.chooseResults = [this] {
        return services_.fileDialog->openFile(QStringLiteral("Add a night from results"),
                                              QStringLiteral("Results (*.csv)"));
    };
    dialog.openSeasons(platform::seasonsFolder(services_.files->programFolder()), seasonTexts.value("Name"),
                       seasonTexts.value("OnPage") == QLatin1String("1"), qint64(game.names.size()));
    connect(&dialog, &frm_MoreOptions::optionsChanged, this, [&dialog, this] { moreOptionsChanged(dialog.options()); });
    connect(&dialog, &frm_MoreOptions::sheetAsked, this, [&dialog, this] { printSheet(dialog.night()); });
    dialog.exec();
    moreOptionsChanged(dialog.options());
    tournamentTexts = dialog.tournamentTexts();
    planTexts = dialog.planTexts();
    keepSeason(dialog);
    planChanged();
    handRules();
    // A chip case set or changed during a game counts from now on.
    if (game.inPlay())
        game.refresh();
    // Names typed during a game go with its buy-ins at once.
    if (const QStringList names = dialog.names(); names != game.names) {
        if (game.inPlay() && game.ledger)
            game.command({GameCommand::Names, false, std::nullopt, {}, names});
        else
            game.names = names;
    }
    if (moreOptions.serveOnNetwork && services_.publisher)
        services_.publisher->publish(displayState);
}

// The season chosen kept with the settings; its points, rule, merges and nights added, in its
// own file, written whole away from this thread, and the host told where or why not.
void frm_Chiplark::keepSeason(const frm_MoreOptions &dialog)
{
    const auto keep = [this](const QString &key, const QString &value) {
        if (value.isEmpty())
            seasonTexts.remove(key);
        else
            seasonTexts.insert(key, value);
    };
    keep(QStringLiteral("Name"), dialog.seasonName());
    keep(QStringLiteral("OnPage"), dialog.seasonOnPage() ? QStringLiteral("1") : QString());
    const std::optional<season::Season> changed = dialog.changedSeason();
    if (!changed)
        return;
    platform::SeasonWritten w;
    const QString folder = platform::seasonsFolder(services_.files->programFolder());
    platform::runOffThread([&] { w = platform::writeSeason(folder, *changed, txt_currency->text()); });
    tellHost(w.ok ? QStringLiteral("The season '%1' is kept. ").arg(changed->name) + w.told : w.told, !w.ok);
}

void frm_Chiplark::moreOptionsChanged(const MoreOptions &options)
{
    moreOptions = options;
    planChanged();
    handRules();
    if (!display_)
        return;
    if (display_->showPaused != options.showPaused) {
        display_->showPaused = options.showPaused;
        display_->render(game.view());
    }
    if (display_->scaleToScreen == options.scaleDisplay)
        return;
    display_->scaleToScreen = options.scaleDisplay;
    if (display_->isVisible())
        display_->layOut(display_->geometry());
}

void frm_Chiplark::startServing()
{
    if (!services_.publisher)
        return;
    QString why;
    if (services_.publisher->start(&why))
        services_.publisher->publish(displayState);
    else
        qWarning("The clock is not shown on the network: %s", qPrintable(why));
}

void frm_Chiplark::Label15_Click()
{
    services_.shell->openAddress(QDir(services_.files->programFolder()).filePath(QStringLiteral("manual.html")));
}

void frm_Chiplark::cmd_Exit_Click()
{
    close();
}

// Escape presses the exit button; but an Escape within a second of leaving the game was
// meant for the display (a second press, or the key held), and the host keeps the program.
void frm_Chiplark::reject()
{
    if (display_ && display_->leftWithin(EscapeGraceMs))
        return;
    cmd_Exit_Click();
}

// Every way of closing the window ends here: the settings are saved and closing is never
// cancelled.
void frm_Chiplark::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}
