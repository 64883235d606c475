#pragma once
// "Phone & TV…": where the clock is shown besides the players' display. The options are the
// organiser's and kept with the settings; all are off unless turned on here.

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;

// The options of the dialog, as the settings window keeps them.
struct ScreenOptions {
    bool scaleDisplay = false; // the players' display grows with the screen
};

class frm_Screens : public QDialog {
    Q_OBJECT
public:
    frm_Screens(const ScreenOptions &options, QWidget *parent);

    QCheckBox *chk_Scale;
    QDialogButtonBox *cmd_Close;

    // The options as the dialog shows them now.
    ScreenOptions options() const;
};
