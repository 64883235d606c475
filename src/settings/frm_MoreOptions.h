#pragma once
// "More options…": options beyond the settings window, on its pages: where the clock is
// shown besides the players' display (phones and TVs), how the players' display looks,
// breaks that repeat, the count of players and prizes, the tables, the host's chip case
// with the night's plan, and the season. The options are the organiser's and kept with the settings; all are
// off unless turned on here.

#include "plan/Night.h"
#include "plan/PlanSetup.h"
#include "season/Season.h"
#include "tournament/SetupTexts.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QRadioButton;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class StatusLine;

namespace platform {
class ClockPublisher;
}

// The options of "More options…" that the settings window keeps: the page, the players'
// display and the break that repeats.
struct MoreOptions {
    bool serveOnNetwork = false; // the clock's page on the local network
    bool scaleDisplay = false;   // the players' display grows with the screen
    bool showPaused = false;     // the players' display says PAUSED while paused
    bool repeatBreak = false;    // a break after every N rounds, not after round N alone
};

class frm_MoreOptions : public QDialog {
    Q_OBJECT
public:
    // publisher: the page's server, started and stopped as the box is ticked; none: the box
    // cannot be ticked.
    frm_MoreOptions(const MoreOptions &options, platform::ClockPublisher *publisher, QWidget *parent,
                    const tournament::SetupTexts &tournament = {}, const plan::PlanTexts &planTexts = {});
    ~frm_MoreOptions() override;

    QTabWidget *tabs;
    QCheckBox *chk_Serve;
    QLabel *lbl_Address;
    QLineEdit *txt_Address;
    QLineEdit *txt_PIN;
    QLabel *lbl_QR;
    QLabel *lbl_PIN;
    QLabel *lbl_Others;
    // Control from a phone: the one-time link's code, shown on demand, and the phones given
    // control, taken back at once.
    QPushButton *cmd_ControlCode;
    QLabel *lbl_ControlQR;
    QLabel *lbl_Control;
    QPushButton *cmd_Revoke;
    QPushButton *cmd_NewAddress;
    QCheckBox *chk_Scale;
    QCheckBox *chk_Paused;
    QCheckBox *chk_RepeatBreak;
    // "Players & prizes": the setup of the count, each box under its settings key.
    QCheckBox *chk_Count;
    QLineEdit *txt_BuyIn;
    QLineEdit *txt_BuyInChips;
    QLineEdit *txt_Reentry;
    QLineEdit *txt_ReentryChips;
    QLineEdit *txt_Rebuy;
    QLineEdit *txt_RebuyChips;
    QLineEdit *txt_AddOn;
    QLineEdit *txt_AddOnChips;
    QLineEdit *txt_RebuyUntil;
    QLineEdit *txt_ReentryUntil; // empty: as the rebuys
    // Late registration: the last round of entries (empty: always), the chips a late stack is
    // short by for every round started after the first, and the payouts locked at the close.
    QLineEdit *txt_EntryUntil;
    QLineEdit *txt_LateLess;
    // Bounties: the part of each buy-in, the amount they are paid in, and progressive or fixed.
    QLineEdit *txt_Bounty;
    QLineEdit *txt_BountyUnit;
    QCheckBox *chk_Progressive;
    QCheckBox *chk_LockAtClose;
    QLineEdit *txt_Cut;
    std::array<QRadioButton *, 2> opt_Cut; // a percentage, a fixed amount
    QLineEdit *txt_Added;
    QLineEdit *txt_Guarantee;
    QComboBox *cmb_Rounding;
    QLineEdit *txt_Payouts;
    QCheckBox *chk_SpeakCount;
    StatusLine *lbl_SetupSays; // what cannot be read, or what the first entries will be paid
    // "Tables & names": the tables and their seats, the order they break in, and the players'
    // names in the order of their buy-ins.
    QLineEdit *txt_Tables;
    QLineEdit *txt_Seats;
    QLineEdit *txt_BreakOrder;
    QPlainTextEdit *txt_Names;
    QLabel *lbl_TablesSay = nullptr;
    // "Chips & plan": the chip case, eight rows of value, colour and count, and the night's plan.
    std::array<QLineEdit *, 8> txt_ChipValue{};
    std::array<QLineEdit *, 8> txt_ChipColour{};
    std::array<QLineEdit *, 8> txt_ChipCount{};
    QLineEdit *txt_Stack = nullptr;
    QLineEdit *txt_ExpectedPlayers = nullptr;
    QLineEdit *txt_ExpectedRebuys = nullptr;
    QLineEdit *txt_ExpectedReentries = nullptr;
    QLineEdit *txt_ExpectedAddOns = nullptr;
    QLineEdit *txt_StartsAt = nullptr;
    QCheckBox *chk_RoundToChips = nullptr;
    StatusLine *lbl_ChipsSay = nullptr; // what cannot be read, or the stack, the seats and the notes
    QPushButton *cmd_PrintSheet = nullptr;
    // The settings window's side of the night (levels, breaks, title, currency); the page adds
    // what its own boxes say. None: a night of no levels.
    std::function<plan::Night()> windowNight;
    // "Season": the season tonight goes to (empty: none), how a night is scored and which
    // nights count, the standings as they stand, names merged, an earlier night added from its
    // results, and the standings on the page in the breaks.
    QComboBox *cmb_Season = nullptr;
    QComboBox *cmb_Points = nullptr; // linear, a fixed table, field and finish
    QLineEdit *txt_PointsTable = nullptr;
    QLineEdit *txt_Floor = nullptr;
    QLineEdit *txt_Scale = nullptr;
    QLineEdit *txt_Attend = nullptr;
    QLineEdit *txt_PerKnockout = nullptr;
    QLabel *lbl_Formula = nullptr;
    QLabel *lbl_Preview = nullptr;
    QComboBox *cmb_Rule = nullptr; // total, best N, average
    QLineEdit *txt_Best = nullptr;
    QLineEdit *txt_MinNights = nullptr;
    QTreeWidget *tbl_Standings = nullptr;
    QComboBox *cmb_MergeFrom = nullptr;
    QComboBox *cmb_MergeInto = nullptr;
    QPushButton *cmd_Merge = nullptr;
    QPushButton *cmd_UndoMerge = nullptr;
    QPushButton *cmd_AddResults = nullptr;
    QCheckBox *chk_SeasonOnPage = nullptr;
    StatusLine *lbl_SeasonSays = nullptr;
    // The folder of the seasons and the one chosen ([Season] Name, OnPage), the field of the
    // preview, and the results file asked for by "Add a night from results…".
    void openSeasons(const QString &folder, const QString &name, bool onPage, qint64 field);
    std::function<std::optional<QString>()> chooseResults;
    QString seasonName() const;
    bool seasonOnPage() const;
    // The season as edited here, when it was read and has changed: to be written.
    std::optional<season::Season> changedSeason() const;

    QDialogButtonBox *cmd_Close;

    // The options as the dialog shows them now.
    MoreOptions options() const;
    // The count's setup as the boxes hold it: a switch off and a box left empty are not there.
    tournament::SetupTexts tournamentTexts() const;
    // The names as typed, one a line, blank lines left out.
    QStringList names() const;
    void setNames(const QStringList &names);
    // The chip case and the plan as the boxes hold them: empty boxes left out.
    plan::PlanTexts planTexts() const;
    // The night as the window and the boxes of every page now make it.
    plan::Night night() const;
    // Says again what the chips make (after windowNight is set).
    void checkChips();

signals:
    // An option that acts at once was changed (the display's scaling, PAUSED, the breaks).
    void optionsChanged();
    // "Print the night's sheet…" was pressed.
    void sheetAsked();

private:
    QLabel *watchCaption_ = nullptr;   // "Watch", over the address's code
    QLabel *controlCaption_ = nullptr; // over the control link's code
    void chk_Serve_Click();
    void cmd_NewAddress_Click();
    void cmd_ControlCode_Click();
    void cmd_Revoke_Click();
    void showControl();
    void announceAddress();
    void showAddress();
    void fitContents();
    void buildTournamentPage(const tournament::SetupTexts &texts);
    void buildTablesPage(const tournament::SetupTexts &texts);
    void buildChipsPage(const plan::PlanTexts &texts);
    void buildSeasonPage();
    void loadSeason();
    void showSeason();
    void seasonEdited();
    void cmd_Merge_Click();
    void cmd_UndoMerge_Click();
    void cmd_AddResults_Click();
    QString seasonsFolder_;
    QString seasonLoaded_;
    qint64 previewField_ = 10;
    std::optional<season::Season> season_; // none: no season chosen, or its file does not read
    QByteArray seasonRead_;                // the season's file as read, to tell a change
    bool showingSeason_ = false;
    void checkSetup();
    // Every box in error says so itself; the texts of those on the page of `fields`, in order.
    QStringList describeProblems(const std::vector<tournament::SetupProblem> &problems, const QWidget *fields);
    void done(int result) override;

    platform::ClockPublisher *publisher_;
    QWidget *pinRow_ = nullptr;
    QWidget *controlRow_ = nullptr;
    QHash<QString, QLineEdit *> setupBoxes_;
    QWidget *setupFields_ = nullptr;
    QWidget *tablesFields_ = nullptr;
};
