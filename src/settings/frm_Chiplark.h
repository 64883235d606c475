#pragma once
// The settings window: the program's start-up window. It owns the blind schedule, the
// state of a running game, the phrases, the two game timers and the display window.

#include "blinds/BlindListBox.h"
#include "blinds/BlindSchedule.h"
#include "clock/GameState.h"
#include "platform/Platform.h"
#include "settings/Controls.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <array>

// The common dialog: one component for both the colour picker and the file-open dialog.
struct CommonDialog {
    platform::ColourDialog *colour = nullptr;
    platform::FileDialog *file = nullptr;
};

class frm_Chiplark : public QDialog {
    Q_OBJECT
public:
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
    CommonDialog CD1;
    QTimer *tmr_rounds;
    QTimer *tmr_break;

    // --- Window state ---------------------------------------------------------------------
    GameState gameState;
    Phrases phrases;

    // --- Procedures and handlers ------------------------------------------------------------
    // Rebuilds the visible list from the three columns and the currency setting.
    void regenList();
    void opt_currency_Click(int index);
    void txt_currency_Change();
    void cmd_Exit_Click();

    // Text of the link label and the address it opens.
    static const QString LinkText;
    static const QString NoticeText;

protected:
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    void setTabOrder();
    void connectHandlers();

    platform::Services services_;
};
