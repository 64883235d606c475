#include "display/frm_Screens.h"

#include "platform/Platform.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

frm_Screens::frm_Screens(const ScreenOptions &options, platform::ClockPublisher *publisher, QWidget *parent)
    : QDialog(parent), publisher_(publisher)
{
    setWindowTitle(QStringLiteral("Phone & TV"));
    auto *layout = new QVBoxLayout(this);

    chk_Serve = new QCheckBox(QStringLiteral("Show the clock on phones and TVs on this network"), this);
    chk_Serve->setChecked(options.serveOnNetwork && publisher_ && publisher_->running());
    chk_Serve->setEnabled(publisher_ != nullptr);
    layout->addWidget(chk_Serve);
    lbl_Address = new QLabel(this);
    lbl_Address->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lbl_Address->setWordWrap(true);
    lbl_Address->setIndent(20);
    layout->addWidget(lbl_Address);
    lbl_QR = new QLabel(this);
    lbl_QR->setAlignment(Qt::AlignHCenter);
    lbl_QR->setAccessibleName(QStringLiteral("The address as a QR code"));
    layout->addWidget(lbl_QR);
    lbl_PIN = new QLabel(this);
    lbl_PIN->setWordWrap(true);
    lbl_PIN->setIndent(20);
    layout->addWidget(lbl_PIN);

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
    connect(chk_Serve, &QCheckBox::clicked, this, [this] { chk_Serve_Click(); });
    setMinimumWidth(420);
    showAddress();
}

void frm_Screens::chk_Serve_Click()
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
    } else {
        publisher_->stop();
    }
    showAddress();
}

void frm_Screens::showAddress()
{
    const bool on = publisher_ && publisher_->running();
    lbl_Address->setVisible(on);
    lbl_QR->setVisible(on);
    lbl_PIN->setVisible(on);
    if (!on) {
        adjustSize();
        return;
    }
    lbl_Address->setText(QStringLiteral("Open this address on a phone or a TV on the same network, or scan the "
                                        "code:\n")
                         + publisher_->address());
    const QImage code = publisher_->qrCode();
    lbl_QR->setPixmap(QPixmap::fromImage(code.scaled(code.width() * 5, code.height() * 5)));
    lbl_PIN->setText(QStringLiteral("Control PIN: %1\nA phone that enters it can pause and resume the game and "
                                    "move to the next level. Anyone with the address can watch.")
                         .arg(publisher_->pin()));
    adjustSize();
}

ScreenOptions frm_Screens::options() const
{
    ScreenOptions o;
    o.serveOnNetwork = chk_Serve->isChecked();
    o.scaleDisplay = chk_Scale->isChecked();
    return o;
}
