#pragma once
// "More options…": options beyond the settings window, on three pages: where the clock is
// shown besides the players' display (phones and TVs), how the players' display looks, and
// breaks that repeat. The options are the organiser's and kept with the settings; all are off
// unless turned on here.

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace platform {
class ClockPublisher;
}

// The options of the dialog, as the settings window keeps them.
struct ScreenOptions {
    bool serveOnNetwork = false; // the clock's page on the local network
    bool scaleDisplay = false;   // the players' display grows with the screen
    bool showPaused = false;     // the players' display says PAUSED while paused
    bool repeatBreak = false;    // a break after every N rounds, not after round N alone
};

class frm_Screens : public QDialog {
    Q_OBJECT
public:
    // publisher: the page's server, started and stopped as the box is ticked; none: the box
    // cannot be ticked.
    frm_Screens(const ScreenOptions &options, platform::ClockPublisher *publisher, QWidget *parent);

    QTabWidget *tabs;
    QCheckBox *chk_Serve;
    QLabel *lbl_Address;
    QLineEdit *txt_Address;
    QLineEdit *txt_PIN;
    QLabel *lbl_QR;
    QLabel *lbl_PIN;
    QLabel *lbl_Others;
    QPushButton *cmd_NewAddress;
    QCheckBox *chk_Scale;
    QCheckBox *chk_Paused;
    QCheckBox *chk_RepeatBreak;
    QDialogButtonBox *cmd_Close;

    // The options as the dialog shows them now.
    ScreenOptions options() const;

signals:
    // An option that acts at once was changed (the display's scaling, PAUSED, the breaks).
    void optionsChanged();

private:
    void chk_Serve_Click();
    void cmd_NewAddress_Click();
    void announceAddress();
    void showAddress();
    void fitContents();

    platform::ClockPublisher *publisher_;
    QWidget *pinRow_ = nullptr;
};
