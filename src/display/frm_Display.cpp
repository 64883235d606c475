#include "display/frm_Display.h"

#include "platform/Colour.h"
#include "platform/Platform.h"
#include "settings/TextNumber.h"
#include "settings/frm_Chiplark.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <algorithm>

void DisplayLabel::setCaption(const QString &text)
{
    caption_ = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
}

int DisplayKey::fromQt(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Escape: return Escape;
    case Qt::Key_Space: return Space;
    case Qt::Key_Pause: return Pause;
    case Qt::Key_P: return P;
    default: return 0;
    }
}

namespace {

int px(int twips)
{
    return qRound(twips / 15.0);
}

DisplayLabel *displayLabel(QWidget *parent, double points, bool bold, Qt::Alignment align)
{
    auto *l = new DisplayLabel(QStringLiteral("Label1"), parent);
    QFont f;
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Helvetica")});
    f.setPointSizeF(points);
    f.setBold(bold);
    l->setFont(f);
    l->setAlignment(align | Qt::AlignTop);
    return l;
}

} // namespace

frm_Display::frm_Display(frm_Chiplark &owner, platform::Cursor &cursor)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), owner_(owner), cursor_(cursor)
{
    setWindowTitle(QStringLiteral("Chiplark display"));
    setAccessibleName(QStringLiteral("Chiplark display"));
    resize(px(11010), px(8520));
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    lbl_title = displayLabel(this, 24, false, Qt::AlignHCenter);
    lbl_currentRound = displayLabel(this, 24, false, Qt::AlignLeft);
    lbl_nextRound = displayLabel(this, 20.25, false, Qt::AlignLeft);
    lbl_elapsed = displayLabel(this, 20.25, false, Qt::AlignLeft);
    lbl_Blinds = displayLabel(this, 86.25, true, Qt::AlignHCenter);
    lbl_ante = displayLabel(this, 72, false, Qt::AlignHCenter);
    design_ = {{{lbl_title, {120, 0, 10695, 615}, 24},
                {lbl_currentRound, {120, 600, 10695, 615}, 24},
                {lbl_nextRound, {120, 1320, 10695, 1095}, 20.25},
                {lbl_elapsed, {120, 2520, 8775, 615}, 20.25},
                {lbl_Blinds, {120, 2880, 10815, 1935}, 86.25},
                {lbl_ante, {2760, 4680, 5415, 1455}, 72}}};
    // Not one of the design's labels: it takes the free space under the ante, at the ante's
    // size, and moves nothing.
    lbl_Paused = displayLabel(this, 72, true, Qt::AlignHCenter);
    lbl_Paused->setCaption(QStringLiteral("PAUSED"));
    lbl_Paused->hide();
    applyScale(1.0);
}

double frm_Display::scaleFor(const QSize &screen)
{
    const double s = std::min(screen.width() / double(DesignWidth), screen.height() / double(DesignHeight));
    return std::max(1.0, s);
}

void frm_Display::applyScale(double scale)
{
    scale_ = scale;
    for (const Design &d : design_) {
        d.label->setGeometry(qRound(d.twips.x() * scale / 15.0), qRound(d.twips.y() * scale / 15.0),
                             qRound(d.twips.width() * scale / 15.0), qRound(d.twips.height() * scale / 15.0));
        QFont f = d.label->font();
        f.setPointSizeF(d.points * scale);
        d.label->setFont(f);
    }
    QFont f = lbl_Paused->font();
    f.setPointSizeF(72 * scale);
    lbl_Paused->setFont(f);
}

void frm_Display::layOut(const QRect &screen)
{
    setGeometry(screen);
    // Scaled, every label grows by one factor from the design's window, so the layout
    // keeps its proportions; the rules below then place it as they do unscaled.
    const double scale = scaleToScreen ? scaleFor(screen.size()) : 1.0;
    if (scale != scale_)
        applyScale(scale);
    const int W = screen.width();
    const int H = screen.height();
    const int top = int(roundToWidth((H - lbl_Blinds->height()) / 2.0, Width::Int16).value_or(0));
    lbl_Blinds->setGeometry(0, top, W, lbl_Blinds->height());
    lbl_ante->setGeometry(0, lbl_Blinds->y() + lbl_Blinds->height(), W, lbl_ante->height());
    lbl_title->setGeometry(0, 0, W, lbl_title->height());
    // Centred in the space between the ante and the screen's bottom, and never over the ante.
    const int below = lbl_ante->y() + lbl_ante->height();
    const int pausedHeight = lbl_ante->height();
    lbl_Paused->setGeometry(0, below + std::max(0, (H - below - pausedHeight) / 2), W, pausedHeight);
}

void frm_Display::setColours(qint32 background, qint32 main, qint32 ante, qint32 title)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, platform::toQColor(background));
    setPalette(p);
    const auto colour = [](QLabel *l, qint32 c) {
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, platform::toQColor(c));
        l->setPalette(lp);
    };
    for (QLabel *l : {lbl_Blinds, lbl_currentRound, lbl_elapsed, lbl_nextRound})
        colour(l, main);
    colour(lbl_ante, ante);
    colour(lbl_title, title);
    colour(lbl_Paused, title);
}

void frm_Display::render(const DisplayState &state)
{
    const std::pair<DisplayLabel *, const DisplayText *> labels[] = {
        {lbl_title, &state.title},         {lbl_currentRound, &state.currentRound},
        {lbl_nextRound, &state.nextRound}, {lbl_elapsed, &state.elapsed},
        {lbl_Blinds, &state.blinds},       {lbl_ante, &state.ante}};
    for (const auto &[label, text] : labels) {
        if (label->caption() != text->text)
            label->setCaption(text->text);
        if (label->isVisibleTo(this) != text->visible)
            label->setVisible(text->visible);
    }
    const bool pausedShown = showPaused && state.paused;
    if (lbl_Paused->isVisibleTo(this) != pausedShown)
        lbl_Paused->setVisible(pausedShown);
    const std::array<qint32, 4> colours{state.backColour, state.textColour, state.anteColour, state.titleColour};
    if (colours != colours_) {
        colours_ = colours;
        setColours(state.backColour, state.textColour, state.anteColour, state.titleColour);
    }
}

void frm_Display::Form_KeyDown(int KeyCode, int)
{
    const frm_Chiplark::DisplayBatch batch(owner_);
    switch (KeyCode) {
    case DisplayKey::Escape:
        owner_.stopCountdowns();
        owner_.keepScreenOn(false);
        hide();
        left_.start();
        cursor_.showCursor(true);
        // Back to the settings window, ready for its keys.
        owner_.raise();
        owner_.activateWindow();
        break;
    case DisplayKey::Space: owner_.advanceRound(); break;
    case DisplayKey::Pause:
    case DisplayKey::P:
        if (!paused) {
            breakWasRunning = owner_.tmr_break->isActive();
            owner_.stopCountdowns();
            paused = true;
        } else {
            owner_.runCountdown(breakWasRunning ? owner_.tmr_break : owner_.tmr_rounds);
            paused = false;
        }
        break;
    default: break;
    }
}

void frm_Display::Form_LostFocus()
{
    cursor_.showCursor(true);
}

void frm_Display::keyPressEvent(QKeyEvent *event)
{
    Form_KeyDown(DisplayKey::fromQt(event->key()), int(event->modifiers()));
}

// The platform's close key leaves the game as Escape does; the window itself stays.
// A close asked by the program ending (not by the user) is let through.
void frm_Display::closeEvent(QCloseEvent *event)
{
    if (!event->spontaneous()) {
        event->accept();
        return;
    }
    event->ignore();
    if (isVisible())
        Form_KeyDown(DisplayKey::Escape, 0);
}

bool frm_Display::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && isVisible())
        Form_LostFocus();
    return QWidget::event(event);
}
