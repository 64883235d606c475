// Where every control of the settings window sits, what it says and how it starts.
// Positions and sizes are written in twips (15 to the pixel at 96 dpi), as drawn.

#include "settings/frm_Chiplark.h"

#include <QAbstractItemView>

namespace {

int px(int twips)
{
    return qRound(twips / 15.0);
}

template <class W>
W *put(W *w, int left, int top, int width, int height)
{
    w->setGeometry(px(left), px(top), px(width), px(height));
    return w;
}

// Drop-down lists keep the toolkit's own height.
QComboBox *putCombo(QComboBox *w, int left, int top, int width)
{
    w->setGeometry(px(left), px(top), px(width), w->sizeHint().height());
    return w;
}

Frame *frame(const QString &caption, QWidget *parent)
{
    return new Frame(caption, parent);
}

QLineEdit *textBox(const QString &text, QWidget *parent, bool enabled = true)
{
    // The text after the box exists: a text given to the constructor is laid out in the
    // application's default font first, which costs loading a font the window never shows.
    auto *t = new QLineEdit(parent);
    t->setText(text);
    t->setEnabled(enabled);
    return t;
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setAutoDefault(true);
    return b;
}

QLabel *label(const QString &caption, QWidget *parent, Qt::Alignment align = Qt::AlignLeft)
{
    auto *l = new QLabel(caption, parent);
    l->setAlignment(align | Qt::AlignTop);
    return l;
}

QRadioButton *option(const QString &caption, QWidget *parent, bool selected = false)
{
    auto *o = new QRadioButton(caption, parent);
    o->setChecked(selected);
    return o;
}

} // namespace

void frm_Chiplark::buildLayout()
{
    // Top level.
    fme_title = put(frame(QStringLiteral("Game Title"), this), 120, 0, 8775, 615);
    fme_Blinds = put(frame(QStringLiteral("Blind Settings"), this), 120, 720, 6015, 5175);
    fme_Ante = put(frame(QStringLiteral("Ante Settings"), this), 6240, 720, 2655, 3855);
    fme_Break = put(frame(QStringLiteral("Break"), this), 6240, 4680, 2655, 1215);
    fme_Options = put(frame(QStringLiteral("Options"), this), 120, 6000, 7215, 2175);
    cmd_Start = put(button(QStringLiteral("Start the game!"), this), 7440, 6480, 1455, 495);
    cmd_Exit = put(button(QStringLiteral("Exit"), this), 7440, 7080, 1455, 495);
    Label14 = put(label(NoticeText, this, Qt::AlignHCenter), 7390, 7680, 1575, 255);
    Label15 = put(new LinkLabel(LinkText, this), 7370, 7920, 1695, 255);
    Label15->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // Beside the design's controls: where else the clock is shown.
    cmd_Screens = put(button(QStringLiteral("More options…"), this), 7440, 6000, 1455, 375);
    cmd_Screens->setToolTip(
        QStringLiteral("Phones and TVs, the players' display, breaks that repeat, players and prizes"));

    tmr_rounds = new QTimer(this);
    tmr_break = new QTimer(this);
    for (QTimer *t : {tmr_rounds, tmr_break}) {
        t->setInterval(1000);
        t->setTimerType(Qt::PreciseTimer);
    }

    // Game title.
    txt_Title = put(textBox(QStringLiteral("My Chiplark! Hold'em tournament - 1500 chips - $25 buy in"), fme_title),
                    120, 240, 8535, 285);

    // Blind settings: the custom structure above, the automatic structure below.
    opt_Blinds[0] =
        put(option(QStringLiteral("Use the following custom blind structure:"), fme_Blinds, true), 120, 360, 3975, 255);
    cmb_BlindLoad = putCombo(new QComboBox(fme_Blinds), 240, 720, 4575);
    lst_Blinds = put(new BlindListBox(lst_Small, lst_Big, lst_Time, fme_Blinds), 240, 1080, 4575, 2010);
    cmd_BlindAdd = put(button(QStringLiteral("Add"), fme_Blinds), 4920, 1080, 975, 375);
    cmd_BlindRem = put(button(QStringLiteral("Remove"), fme_Blinds), 4920, 1560, 975, 375);
    cmd_BlindUp = put(button(QStringLiteral("Up"), fme_Blinds), 4920, 2040, 975, 375);
    cmd_BlindDown = put(button(QStringLiteral("Down"), fme_Blinds), 4920, 2520, 975, 375);
    cmd_BlindSave = put(button(QStringLiteral("Save"), fme_Blinds), 4920, 3000, 975, 375);
    cmd_Clear = put(button(QStringLiteral("Clear List"), fme_Blinds), 240, 3120, 4575, 375);
    opt_Blinds[1] = put(option(QStringLiteral("Use an automatic blind structure:"), fme_Blinds), 120, 3600, 3975, 255);
    Label1 = put(label(QStringLiteral("Small Blind:"), fme_Blinds), 360, 3960, 1575, 255);
    txt_Small = put(textBox(QStringLiteral("25"), fme_Blinds, false), 1200, 3920, 735, 285);
    Label2 = put(label(QStringLiteral("Big Blind:"), fme_Blinds), 360, 4245, 1575, 255);
    txt_Big = put(textBox(QStringLiteral("50"), fme_Blinds, false), 1200, 4200, 735, 285);
    Label3 = put(label(QStringLiteral("For"), fme_Blinds), 360, 4560, 375, 255);
    txt_AutoRounds = put(textBox(QStringLiteral("15"), fme_Blinds, false), 720, 4520, 375, 285);
    Label4 = put(label(QStringLiteral("rounds."), fme_Blinds), 1200, 4560, 975, 255);
    Label6 = put(label(QStringLiteral("at"), fme_Blinds), 360, 4840, 375, 255);
    txt_AutoTime = put(textBox(QStringLiteral("20"), fme_Blinds, false), 720, 4800, 375, 285);
    Label7 = put(label(QStringLiteral("mins per round"), fme_Blinds), 1200, 4840, 1215, 255);
    Frame1 = put(frame(QString(), fme_Blinds), 2520, 3840, 2655, 1215);
    Command1 = put(new WrapButton(QStringLiteral("Show Me"), fme_Blinds), 5280, 3960, 615, 1095);
    Command1->setAutoDefault(true);

    opt_AutoIncrease[0] = put(option(QStringLiteral("Increase by a factor of"), Frame1, true), 120, 255, 1935, 255);
    txt_blindFactor = put(textBox(QStringLiteral("2"), Frame1, false), 2160, 240, 375, 285);
    opt_AutoIncrease[1] = put(option(QStringLiteral("Increase by the value of"), Frame1), 120, 545, 2055, 255);
    txt_BlindValue = put(textBox(QStringLiteral("15"), Frame1, false), 2160, 525, 375, 285);
    opt_AutoIncrease[2] = put(option(QStringLiteral("Increase by percentage"), Frame1), 120, 805, 2055, 255);
    txt_BlindPercentage = put(textBox(QStringLiteral("15"), Frame1, false), 2160, 805, 375, 285);
    for (QRadioButton *o : opt_AutoIncrease)
        o->setEnabled(false);

    // Ante settings.
    opt_Ante[0] = put(option(QStringLiteral("Do not have an ante"), fme_Ante, true), 120, 360, 2415, 255);
    opt_Ante[1] = put(option(QStringLiteral("Automatic ante:"), fme_Ante), 120, 720, 2415, 255);
    Label10 = put(label(QStringLiteral("Amount"), fme_Ante), 120, 1080, 855, 255);
    txt_ante = put(textBox(QStringLiteral("100"), fme_Ante, false), 1200, 1040, 375, 285);
    Label13 = put(label(QStringLiteral("Start on round"), fme_Ante), 120, 1365, 1095, 255);
    txt_AnteRound = put(textBox(QStringLiteral("10"), fme_Ante, false), 1200, 1320, 375, 285);
    fme_AnteAmt = put(frame(QString(), fme_Ante), 120, 1680, 2415, 1095);
    opt_AnteRaise[0] = put(option(QStringLiteral("Keep amount constant"), fme_AnteAmt, true), 120, 240, 2175, 255);
    opt_AnteRaise[1] = put(option(QStringLiteral("Increase by a factor of"), fme_AnteAmt), 120, 600, 2175, 255);
    txt_AnteFactor = put(textBox(QStringLiteral("2"), fme_AnteAmt, false), 2040, 600, 255, 285);

    // Break.
    opt_Break[0] = put(option(QStringLiteral("Break every:"), fme_Break, true), 120, 240, 1215, 255);
    txt_Break = put(textBox(QStringLiteral("10"), fme_Break), 1320, 240, 375, 285);
    lbl_break = put(label(QStringLiteral("rounds"), fme_Break), 1800, 260, 735, 255);
    Label8 = put(label(QStringLiteral("for:"), fme_Break, Qt::AlignRight), 840, 600, 460, 255);
    txt_breakTime = put(textBox(QStringLiteral("5"), fme_Break), 1320, 560, 375, 285);
    Label9 = put(label(QStringLiteral("mins."), fme_Break), 1800, 600, 465, 255);
    opt_Break[1] = put(option(QStringLiteral("Do not stop for breaks"), fme_Break), 120, 840, 1935, 255);

    // Options: currency and speech on the left, colours and sound on the right.
    fme_frame = put(frame(QString(), fme_Options), 120, 240, 3015, 855);
    fme_Colour = put(frame(QString(), fme_Options), 3360, 240, 3735, 855);
    Check1 = put(new CheckBox(QStringLiteral("Announce blinds via Speech Engine"), fme_Options), 120, 1200, 3015, 255);
    Label5 = put(label(QStringLiteral("Voice:"), fme_Options), 120, 1485, 1215, 255);
    cmb_voices = putCombo(new QComboBox(fme_Options), 720, 1440, 2415);
    cmb_voices->setEnabled(false);
    // A speech server offers a hundred voices and more: a list of a readable height.
    cmb_voices->setMaxVisibleItems(16);
    cmb_voices->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cmd_Voice = put(button(QStringLiteral("Customise Voices"), fme_Options), 120, 1800, 3015, 255);
    cmd_Voice->setEnabled(false);
    chk_playWav = put(new CheckBox(QStringLiteral("Play .wav file before round changes/breaks"), fme_Options), 3360,
                      1200, 3735, 255);
    txt_wavpath = put(textBox(QString(), fme_Options, false), 3360, 1440, 2895, 285);
    cmd_browse = put(button(QStringLiteral("Browse"), fme_Options), 6360, 1440, 735, 255);
    cmd_browse->setEnabled(false);
    cmd_wavtest = put(button(QStringLiteral("Test"), fme_Options), 3360, 1800, 2895, 255);
    cmd_wavtest->setEnabled(false);

    opt_currency[0] = put(option(QStringLiteral("Use the following currency:"), fme_frame, true), 240, 240, 2295, 255);
    txt_currency = put(textBox(QString(QChar(0x00A3)), fme_frame), 2520, 240, 255, 285);
    opt_currency[1] = put(option(QStringLiteral("Don't show a currency symbol"), fme_frame), 240, 480, 2415, 255);

    cmd_back = put(new ColourButton(0, fme_Colour), 120, 200, 255, 255);
    Label11 = put(label(QStringLiteral("Background Colour"), fme_Colour), 480, 220, 1455, 255);
    cmd_fore = put(new ColourButton(65280, fme_Colour), 120, 520, 255, 255);
    Label12 = put(label(QStringLiteral("Main Text Colour"), fme_Colour), 480, 560, 1455, 255);
    cmd_ante = put(new ColourButton(16777215, fme_Colour), 2040, 200, 255, 255);
    Label16 = put(label(QStringLiteral("Ante Text Colour"), fme_Colour), 2400, 225, 1215, 255);
    cmd_Title = put(new ColourButton(33023, fme_Colour), 2040, 520, 255, 255);
    Label17 = put(label(QStringLiteral("Title Text Colour"), fme_Colour), 2400, 555, 1215, 255);
}

void frm_Chiplark::setTabOrder()
{
    QWidget *order[] = {
        txt_Title,
        opt_Blinds[0],
        cmb_BlindLoad,
        lst_Blinds,
        cmd_Clear,
        cmd_BlindAdd,
        cmd_BlindRem,
        cmd_BlindUp,
        cmd_BlindDown,
        cmd_BlindSave,
        opt_Blinds[1],
        txt_Small,
        txt_Big,
        txt_AutoRounds,
        txt_AutoTime,
        opt_AutoIncrease[0],
        txt_blindFactor,
        opt_AutoIncrease[1],
        txt_BlindValue,
        opt_AutoIncrease[2],
        txt_BlindPercentage,
        Command1,
        opt_Ante[0],
        opt_Ante[1],
        txt_ante,
        txt_AnteRound,
        opt_AnteRaise[0],
        opt_AnteRaise[1],
        txt_AnteFactor,
        opt_Break[0],
        txt_Break,
        txt_breakTime,
        opt_Break[1],
        opt_currency[0],
        txt_currency,
        opt_currency[1],
        cmd_back,
        cmd_fore,
        cmd_ante,
        cmd_Title,
        Check1,
        cmb_voices,
        cmd_Voice,
        chk_playWav,
        txt_wavpath,
        cmd_browse,
        cmd_wavtest,
        cmd_Start,
        cmd_Exit,
        Label15, // the manual link
        cmd_Screens,
    };
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        QWidget::setTabOrder(order[i], order[i + 1]);
    txt_Title->setFocus();
}

// What a screen reader says for each control without a caption of its own: the label
// beside it, or what it is.
void frm_Chiplark::nameControlsForScreenReaders()
{
    installAccessibleRoles();
    const std::pair<QWidget *, QString> names[] = {
        {txt_Title, fme_title->title()},
        {cmb_BlindLoad, QStringLiteral("Saved blind structure")},
        {lst_Blinds, QStringLiteral("Blind structure")},
        {txt_Small, Label1->text()},
        {txt_Big, Label2->text()},
        {txt_AutoRounds, QStringLiteral("Number of rounds")},
        {txt_AutoTime, Label7->text()},
        {txt_blindFactor, opt_AutoIncrease[0]->text()},
        {txt_BlindValue, opt_AutoIncrease[1]->text()},
        {txt_BlindPercentage, opt_AutoIncrease[2]->text()},
        {txt_ante, QStringLiteral("Ante amount")},
        {txt_AnteRound, Label13->text()},
        {txt_AnteFactor, QStringLiteral("Ante increase factor")},
        {txt_Break, QStringLiteral("Break every (rounds)")},
        {txt_breakTime, QStringLiteral("Break for (mins.)")},
        {txt_currency, QStringLiteral("Currency symbol")},
        {cmd_back, Label11->text()},
        {cmd_fore, Label12->text()},
        {cmd_ante, Label16->text()},
        {cmd_Title, Label17->text()},
        {cmb_voices, Label5->text()},
        {txt_wavpath, QStringLiteral("Sound file")},
        // The frames without a caption.
        {Frame1, QStringLiteral("Blind increase")},
        {fme_AnteAmt, QStringLiteral("Ante increase")},
        {fme_frame, QStringLiteral("Currency")},
        {fme_Colour, QStringLiteral("Display colours")},
    };
    for (const auto &[control, name] : names)
        control->setAccessibleName(name);
    // The open list of a drop-down box is read under the box's name.
    for (QComboBox *box : {cmb_BlindLoad, cmb_voices})
        box->view()->setAccessibleName(box->accessibleName());
}
