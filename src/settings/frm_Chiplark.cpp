#include "settings/frm_Chiplark.h"

#include <QCloseEvent>

const QString frm_Chiplark::LinkText = QStringLiteral("Chiplark manual");
const QString frm_Chiplark::NoticeText = QStringLiteral("\u00A9 The Chiplark team");

frm_Chiplark::frm_Chiplark(const platform::Services &services, QWidget *parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      services_(services)
{
    // A small dialog font, so every caption fits the control drawn for it.
    QFont dialogFont;
    dialogFont.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                            QStringLiteral("Helvetica")});
    dialogFont.setPixelSize(10);
    setFont(dialogFont);

    setWindowTitle(QStringLiteral("Chiplark!") + QStringLiteral(" - ") + QStringLiteral("version 1.0"));
    setFixedSize(601, 550); // 9015 x 8250 twips
    setSizeGripEnabled(false);

    CD1.colour = services_.colourDialog;
    CD1.file = services_.fileDialog;

    buildLayout();
    cmd_Start->setDefault(true);
    setTabOrder();
    connectHandlers();
}

frm_Chiplark::~frm_Chiplark() = default;

void frm_Chiplark::connectHandlers()
{
    for (int i = 0; i < int(opt_currency.size()); ++i)
        connect(opt_currency[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                opt_currency_Click(i);
        });
    connect(txt_currency, &QLineEdit::textChanged, this, [this] { txt_currency_Change(); });
    connect(cmd_Exit, &QPushButton::clicked, this, [this] { cmd_Exit_Click(); });
}

void frm_Chiplark::regenList()
{
    gameState.currencySymbol = opt_currency[0]->isChecked() ? txt_currency->text() : QString();
    lst_Blinds->render(gameState.currencySymbol);
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

void frm_Chiplark::cmd_Exit_Click()
{
    close();
}

// Escape presses the exit button.
void frm_Chiplark::reject()
{
    cmd_Exit_Click();
}

// Every way of closing the window ends here; closing is never cancelled.
void frm_Chiplark::closeEvent(QCloseEvent *event)
{
    event->accept();
}
