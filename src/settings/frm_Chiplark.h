#pragma once
// The settings window: the program's start-up window. It owns the blind schedule, the
// state of a running game, the phrases, the two game timers and the display window.

#include "announce/Phrases.h"
#include "blinds/BlindListBox.h"
#include "blinds/BlindSchedule.h"
#include "clock/Game.h"
#include "plan/Night.h"
#include "plan/PlanSetup.h"
#include "platform/LatestFileWriter.h"
#include "platform/NightFiles.h"
#include "platform/Platform.h"
#include "runner/GameRunner.h"
#include "settings/Controls.h"
#include "settings/frm_MoreOptions.h"
#include "tournament/Ledger.h"
#include "tournament/SavedGame.h"
#include "tournament/SetupTexts.h"

#include <functional>
#include <memory>
#include <optional>

#include <QComboBox>
#include <QDialog>
#include <QFont>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTimer>

#include <array>

// The common dialog: one component for both the colour picker and the file-open dialog.
struct CommonDialog {
    platform::ColourDialog *colour = nullptr;
    platform::FileDialog *file = nullptr;
};

class frm_Display;

class frm_Chiplark : public QDialog {
    Q_OBJECT
public:
    // An Escape on this window this soon after the game was left is not taken.
    static constexpr qint64 EscapeGraceMs = 1000;
    explicit frm_Chiplark(const platform::Services &services, QWidget *parent = nullptr);
    ~frm_Chiplark() override;

    // --- Controls, by their names -------------------------------------------------------
    Frame *fme_title;
    QLineEdit *txt_Title;

    Frame *fme_Blinds;
    std::array<QRadioButton *, 2> opt_Blinds;
    QComboBox *cmb_BlindLoad;
    BlindColumn lst_Small;
    BlindColumn lst_Big;
    BlindColumn lst_Time;
    BlindListBox *lst_Blinds;
    QPushButton *cmd_BlindAdd;
    QPushButton *cmd_BlindRem;
    QPushButton *cmd_BlindUp;
    QPushButton *cmd_BlindDown;
    QPushButton *cmd_BlindSave;
    QPushButton *cmd_Clear;
    QLabel *Label1;
    QLineEdit *txt_Small;
    QLabel *Label2;
    QLineEdit *txt_Big;
    QLabel *Label3;
    QLineEdit *txt_AutoRounds;
    QLabel *Label4;
    QLabel *Label6;
    QLineEdit *txt_AutoTime;
    QLabel *Label7;
    Frame *Frame1;
    std::array<QRadioButton *, 3> opt_AutoIncrease;
    QLineEdit *txt_blindFactor;
    QLineEdit *txt_BlindValue;
    QLineEdit *txt_BlindPercentage;
    QPushButton *Command1;

    Frame *fme_Ante;
    std::array<QRadioButton *, 2> opt_Ante;
    QLabel *Label10;
    QLineEdit *txt_ante;
    QLabel *Label13;
    QLineEdit *txt_AnteRound;
    Frame *fme_AnteAmt;
    std::array<QRadioButton *, 2> opt_AnteRaise;
    QLineEdit *txt_AnteFactor;

    Frame *fme_Break;
    std::array<QRadioButton *, 2> opt_Break;
    QLineEdit *txt_Break;
    QLabel *lbl_break;
    QLabel *Label8;
    QLineEdit *txt_breakTime;
    QLabel *Label9;

    Frame *fme_Options;
    Frame *fme_frame;
    std::array<QRadioButton *, 2> opt_currency;
    QLineEdit *txt_currency;
    Frame *fme_Colour;
    ColourButton *cmd_back;
    QLabel *Label11;
    ColourButton *cmd_fore;
    QLabel *Label12;
    ColourButton *cmd_ante;
    QLabel *Label16;
    ColourButton *cmd_Title;
    QLabel *Label17;
    CheckBox *Check1;
    QLabel *Label5;
    QComboBox *cmb_voices;
    QPushButton *cmd_Voice;
    CheckBox *chk_playWav;
    QLineEdit *txt_wavpath;
    QPushButton *cmd_browse;
    QPushButton *cmd_wavtest;

    QPushButton *cmd_Start;
    QPushButton *cmd_Exit;
    QLabel *Label14;
    LinkLabel *Label15;
    // "More options…" and the options it sets (kept in the settings file's [Screens], and
    // the repeated break in [Breaks], each only once turned on).
    QPushButton *cmd_Screens;
    MoreOptions moreOptions;
    void cmd_Screens_Click();
    // The dialog's options as they change: the display, when up, follows at once.
    void moreOptionsChanged(const MoreOptions &options);
    // The page on the network, as the options say; a phone's control, under the rules of the
    // display's keys.
    void startServing();
    // Players and prizes: the setup as typed in the dialog (kept in the settings file's
    // [Tournament], each key only once it is not empty).
    tournament::SetupTexts tournamentTexts;
    // The chip case and the plan as typed on "More options…" ([Plan], each key only once it is
    // not empty).
    plan::PlanTexts planTexts;
    // The season the nights go to and whether the page shows it in the breaks ([Season] Name
    // and OnPage, each only once it is not empty).
    QHash<QString, QString> seasonTexts;
    static const QStringList SeasonKeys;
    void keepSeason(const frm_MoreOptions &dialog);
    // The season tonight goes to, handed to the game with its standings as they stand.
    void handSeason();
    // With a chip case, beside the list: each round's time of day, "✗" on a round the chips
    // cannot make; under the window: how long the night runs, when it ends and what the chips
    // say. Made at the first chip case; the window is as before without one.
    QListView *lst_Plan = nullptr;
    QLabel *lbl_Plan = nullptr;
    // The night as the controls make it now.
    plan::Night night() const;
    // The plan shown again (soon, once for many changes; planNow at once).
    void planChanged();
    void planNow();
    // The night's sheet kept in "sheets" beside the program, then opened in the browser.
    void printSheet(const plan::Night &night);
    platform::NightFilesWriter &sheetWriter();
    // The clock by hand: Back restarts the level or break in play (within its first seconds,
    // the level before); a minute more or less on the countdown.
    void backLevel();
    void shiftCountdown(qint64 seconds);
    // The game in progress, kept in a file beside the settings while it runs.
    QString gameFilePath() const { return runner.gameFilePath(); }
    // The thread that writes it: finish() waits until the file is as last asked (at exit, and
    // for a test that reads it).
    platform::LatestFileWriter &keptWriter() { return runner.keptWriter(); }
    // A file kept, or not kept and why: on the display during a game, else (a failure only) in
    // a message.
    void tellHost(const QString &line, bool failed, int ms = 0);
    // At start: a game a dead program left running is offered to be taken up again.
    void offerResume();
    // A game that counts players, left with Escape: kept on disk and offered by "Resume the
    // game" until a new game is started (made at the first such game, shown only then).
    QPushButton *cmd_Resume = nullptr;
    void cmd_Resume_Click();
    const std::optional<tournament::SavedGame> &leftGame() const { return leftGame_; }
    CommonDialog CD1;
    QTimer *tmr_rounds;
    QTimer *tmr_break;

    // --- Window state ---------------------------------------------------------------------
    // The game in play, under the rules the window hands it, and the runner that carries it to
    // the display, the page, the speech and the files; its figures, its count and what the
    // players see.
    GameRunner runner;
    Game &game = runner.game;
    GameState &gameState = game.state;
    std::optional<tournament::Ledger> &ledger = game.ledger;
    const DisplayState &displayState = game.view();
    Phrases phrases;
    // Set by the Up and Down arrow keys in the saved-structure box.
    bool arrowKeyPressed = false;

    // --- Procedures and handlers ------------------------------------------------------------
    void Form_Load();
    void Form_Unload();
    void loadSettings();
    void saveSettings();
    // Where the settings file lives: beside the executable.
    QString settingsPath() const;
    bool FileExistsonDisk(const QString &path) const;

    // Rebuilds the visible list from the three columns and the currency setting.
    void regenList();
    // Replaces the schedule with the automatic structure; false, with a message shown and
    // the schedule untouched, when the boxes cannot make one.
    bool buildAutoBlinds();
    // The automatic structure rounded to the chips, when the chip case asks for it.
    void roundAutoBlinds();
    void Command1_Click();

    // The game.
    void cmd_Start_Click();
    // The rules as the controls stand, handed to the game (with the list's selection) at the
    // start and whenever a control it plays by changes.
    GameRules gameRules() const;
    void handRules();
    AnteRule anteRule() const;
    plan::PlanSetup planSetup() const;
    // A kept game's settings and levels back into the controls, before it is taken up again.
    void restoreGame(const tournament::SavedGame &game);
    void tmr_rounds_Timer();
    void tmr_break_Timer();
    void advanceRound();
    void stopCountdowns();
    // While a game runs or stands paused the screen is kept on.
    void keepScreenOn(bool on);
    void stillBehindDisplay(bool still);
    // The players' display; none before the first start.
    frm_Display *displayWindow() const;

signals:
    // Once for every tick, level change, display key and start while a display exists.
    void displayStateChanged(const DisplayState &state);

public:
    // Custom list editing.
    void cmd_BlindAdd_Click();
    void cmd_BlindRem_Click();
    void cmd_BlindUp_Click();
    void cmd_BlindDown_Click();
    void cmd_Clear_Click();

    // Saved structures.
    void cmd_BlindSave_Click();
    void cmb_BlindLoad_KeyDown(int KeyCode, int Shift);
    void cmb_BlindLoad_Click();
    void cmb_BlindLoad_LostFocus();
    // Fills the load box with the saved structures' names; failures are passed over.
    void listSavedStructures();

    void opt_Blinds_Click(int index);
    void opt_AutoIncrease_Click(int index);
    void opt_Ante_Click(int index);
    void opt_AnteRaise_Click(int index);
    void opt_Break_Click(int index);
    void opt_currency_Click(int index);
    void txt_currency_Change();
    void enableAutoSection();
    void disableAutoSection();
    void enableCustomSection();
    void disableCustomSection();

    void txt_ante_KeyPress(qint16 &KeyAscii);
    void txt_AnteFactor_KeyPress(qint16 &KeyAscii);
    void txt_AnteRound_KeyPress(qint16 &KeyAscii);
    void txt_AutoRounds_KeyPress(qint16 &KeyAscii);
    void txt_AutoTime_KeyPress(qint16 &KeyAscii);
    void txt_Big_KeyPress(qint16 &KeyAscii);
    void txt_blindFactor_KeyPress(qint16 &KeyAscii);
    void txt_BlindPercentage_KeyPress(qint16 &KeyAscii);
    void txt_BlindValue_KeyPress(qint16 &KeyAscii);
    void txt_Break_KeyPress(qint16 &KeyAscii);
    void txt_breakTime_KeyPress(qint16 &KeyAscii);
    void txt_Small_KeyPress(qint16 &KeyAscii);

    void cmd_back_Click();
    void cmd_fore_Click();
    void cmd_ante_Click();
    void cmd_Title_Click();
    void cmd_browse_Click();
    void chk_playWav_Click();
    void Check1_Click();
    // Fills the voices list from the engine (create, default voice, list); the failure
    // message and a cleared box when there is no engine.
    void listVoices();
    void cmd_Voice_Click();
    void cmd_wavtest_Click();
    void Label15_Click();
    void cmd_Exit_Click();

    // Selects an option as a click would, running its handler even when it was selected.
    template <size_t N>
    void selectOption(std::array<QRadioButton *, N> &group, int index);

    // Text of the link label and the address it opens.
    static const QString LinkText;
    static const QString NoticeText;

protected:
    void reject() override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildLayout();
    void restoreApplicationFont();
    void keepLinkReadable();
    void setTabOrder();
    void nameControlsForScreenReaders();
    void connectHandlers();

    void pickColour(ColourButton *swatch);
    void scheduleShortened();
    bool checkStartValues();
    bool checkRoundLengths();
    // What the game says, spoken, played, kept and shown.
    void connectGame();
    void connectRules();
    void createDisplay();
    // The display, laid out and shown for the game in play.
    void showDisplayForGame();
    // With players counted, the setup as typed; false, with a message, when it cannot be read.
    bool countingSetup(std::optional<tournament::Setup> &setup);
    void resumeGame(const tournament::SavedGame &kept);
    // The counted game as it was left, kept on disk; none again once it is dropped or resumed.
    void keepLeftGame(const tournament::SavedGame &kept);
    void dropLeftGame();
    // A kept game goes only when the host says so; false: no new game.
    bool newGameDropsLeftGame();
    void showResume(bool on);
    void hideCursorForGame();
    // The settings, from the file or a kept game, into the controls; and as they stand, with
    // the speech box and the voice that only a kept game holds.
    void applySettings(const std::function<QString(const QString &, const char *)> &get, bool fromFile);
    std::vector<std::array<QString, 3>> settingValues();
    void restoreSettings(const std::vector<std::array<QString, 3>> &values);
    void selectRestoredVoice();
    // Asks one step of Add until a number comes or the box is cancelled.
    std::optional<QString> askNumber(const QString &prompt, const QString &title, const QString &refusal,
                                     qint64 largest, const QString &tooLarge);
    int selectedRow(const char *action);
    // Takes row i out of the three columns and puts it back at position to.
    void moveRow(int from, int to);
    void showMessage(const QString &text, const QString &title, platform::Icon icon);
    void applyIncreaseRule();

    platform::Services services_;
    std::unique_ptr<frm_Display> display_;
    bool iconSet_ = false;
    bool scaleKeyInFile_ = false;  // the settings file names the display scaling
    bool pausedKeyInFile_ = false; // ... PAUSED on the display
    bool repeatKeyInFile_ = false; // ... the break repeated
    // The options beyond the 32 keys, each with its key and whether the file named it.
    struct OptionKey {
        const QString &section;
        const char *key;
        bool *on;
        bool *inFile;
    };
    std::array<OptionKey, 4> optionKeys();
    std::optional<OptionKey> optionKey(const QString &section, const QString &key);
    bool serveKeyInFile_ = false; // ... or the page on the network
    QSet<QString> tournamentKeysInFile_;
    QSet<QString> planKeysInFile_;
    QSet<QString> seasonKeysInFile_;
    // The plan's column and label, and the window's controls where they stood without them.
    void buildPlanView();
    void placePlanView(bool on);
    std::vector<std::pair<QWidget *, QRect>> placedWithoutPlan_;
    bool planShown_ = false;
    QTimer *planSoon_ = nullptr;
    QTimer *planClock_ = nullptr; // a plan that starts now moves on with the clock
    std::unique_ptr<platform::NightFilesWriter> sheetWriter_;
    std::optional<tournament::SavedGame> leftGame_;
    // The start and exit buttons where they stand without "Resume the game".
    std::vector<std::pair<QWidget *, QRect>> placedWithoutResume_;
    std::optional<QFont> applicationFont_; // the application's own, until the first paint
    bool unloaded_ = false;
    // The settings file could not be read at start: it is kept as it is, never written.
    bool settingsFileKept_ = false;
    // Ticks of the speech box given while the engine was still starting.
    int voicesWaiting_ = 0;
    // The caret's blink time to give back once the display has gone.
    std::optional<int> flashTimeBehindDisplay_;
    QHash<QObject *, void (frm_Chiplark::*)(qint16 &)> keyPress_;
    // A resumed game's voice, chosen once the voices are listed.
    QString voiceToRestore_;
};

template <size_t N>
void frm_Chiplark::selectOption(std::array<QRadioButton *, N> &group, int index)
{
    if (!group[size_t(index)]->isChecked()) {
        group[size_t(index)]->setChecked(true); // its handler runs from the toggle
        return;
    }
    emit group[size_t(index)]->toggled(true);
}
