#include "display/frm_Screens.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

frm_Screens::frm_Screens(const ScreenOptions &options, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Phone & TV"));
    auto *layout = new QVBoxLayout(this);

    chk_Scale = new QCheckBox(QStringLiteral("Scale the players' display to the screen"), this);
    chk_Scale->setChecked(options.scaleDisplay);
    layout->addWidget(chk_Scale);
    auto *scaleNote = new QLabel(QStringLiteral("The display's text and spacing grow with the screen, keeping the "
                                                "layout's proportions. Off, the display uses the same sizes on every "
                                                "screen."),
                                 this);
    scaleNote->setWordWrap(true);
    scaleNote->setIndent(20);
    layout->addWidget(scaleNote);

    cmd_Close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(cmd_Close, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(cmd_Close);
    setMinimumWidth(380);
}

ScreenOptions frm_Screens::options() const
{
    ScreenOptions o;
    o.scaleDisplay = chk_Scale->isChecked();
    return o;
}
