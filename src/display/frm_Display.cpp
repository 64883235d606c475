#include "display/frm_Display.h"

#include "clock/Game.h"
#include "platform/Colour.h"
#include "platform/Platform.h"
#include "text/TextNumber.h"
#include "tournament/Standings.h"

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
    case Qt::Key_Backspace: return Backspace;
    case Qt::Key_A: return A;
    case Qt::Key_B: return B;
    case Qt::Key_E: return E;
    case Qt::Key_H: return H;
    case Qt::Key_L: return L;
    case Qt::Key_N: return N;
    case Qt::Key_R: return R;
    case Qt::Key_Z: return Z;
    case Qt::Key_F1: return F1;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Enter;
    case Qt::Key_D: return D;
    case Qt::Key_F: return F;
    case Qt::Key_K: return K;
    case Qt::Key_O: return O;
    case Qt::Key_M: return M;
    case Qt::Key_S: return S;
    case Qt::Key_T: return T;
    case Qt::Key_C: return C;
    case Qt::Key_X: return X;
    default: return qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9 ? Digit0 + (qtKey - Qt::Key_0) : 0;
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

frm_Display::frm_Display(Game &game, platform::Cursor &cursor)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), paused(game.paused),
      breakWasRunning(game.breakWasRunning), game_(game), cursor_(cursor)
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
    lbl_Band = displayLabel(this, 15.75, false, Qt::AlignHCenter);
    lbl_Band->setCaption(QString());
    lbl_Band->setAccessibleName(QStringLiteral("Players and prizes"));
    lbl_Band->hide();
    lbl_Chips = displayLabel(this, ChipPoints, true, Qt::AlignHCenter);
    lbl_Chips->setCaption(QString());
    lbl_Chips->setWordWrap(true);
    lbl_Chips->hide();
    lbl_Notice = displayLabel(this, 20.25, true, Qt::AlignHCenter);
    lbl_Notice->setCaption(QString());
    lbl_Notice->setWordWrap(true);
    lbl_Notice->setAutoFillBackground(true);
    lbl_Notice->hide();
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, lbl_Notice, &QWidget::hide);
    connect(&game, &Game::notice, this, &frm_Display::showNotice);
    for (DisplayLabel **l : {&lbl_Seat, &lbl_Results}) {
        *l = displayLabel(this, 20.25, true, Qt::AlignHCenter);
        (*l)->setCaption(QString());
        (*l)->setWordWrap(true);
        (*l)->setAutoFillBackground(true);
        (*l)->hide();
    }
    lbl_Seat->setAccessibleName(QStringLiteral("Seats"));
    lbl_Results->setAccessibleName(QStringLiteral("Results"));
    seatTimer_.setSingleShot(true);
    connect(&seatTimer_, &QTimer::timeout, lbl_Seat, &QWidget::hide);
    connect(&game, &Game::seatCall, this, &frm_Display::showSeatCall);
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
    const std::pair<QLabel *, double> others[] = {{lbl_Paused, 72},
                                                  {lbl_Band, 15.75},
                                                  {lbl_Notice, 20.25},
                                                  {lbl_Seat, SeatPoints},
                                                  {lbl_Results, ResultsPoints},
                                                  {lbl_Chips, ChipPoints}};
    for (const auto &[label, points] : others) {
        QFont f = label->font();
        f.setPointSizeF(points * scale);
        label->setFont(f);
    }
    lbl_Notice->setMargin(qRound(8 * scale));
    lbl_Seat->setMargin(qRound(16 * scale));
    lbl_Results->setMargin(qRound(16 * scale));
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
    placeBottom();
}

void frm_Display::placeBottom()
{
    const int W = width();
    const int H = height();
    const int line = lbl_Band->fontMetrics().lineSpacing();
    const int bandHeight = 2 * line + line / 2;
    lbl_Band->setGeometry(0, H - bandHeight, W, bandHeight);
    int bottom = lbl_Band->isVisibleTo(this) ? lbl_Band->y() : H;
    if (lbl_Chips->isVisibleTo(this)) {
        // Too wide for the screen: a line for each of its parts.
        QString shown = lbl_Chips->caption();
        if (lbl_Chips->fontMetrics().horizontalAdvance(shown) > W)
            shown.replace(QStringLiteral(" · "), QStringLiteral("\n"));
        if (lbl_Chips->text() != shown)
            lbl_Chips->setText(shown);
        const int chipsHeight = lbl_Chips->heightForWidth(W);
        lbl_Chips->setGeometry(0, bottom - chipsHeight, W, chipsHeight);
        bottom = lbl_Chips->y();
    }
    // Centred in the space between the ante and the band (or the screen's bottom), and never
    // over the ante.
    const int below = lbl_ante->y() + lbl_ante->height();
    int pausedHeight = lbl_ante->height();
    // Above the band it shrinks to the room there is, so the two never overlap.
    double fit = 1.0;
    if (bottom < H && bottom - below < pausedHeight && pausedHeight > 0) {
        fit = std::max(0.3, (bottom - below) / double(pausedHeight));
        pausedHeight = qRound(pausedHeight * fit);
    }
    QFont pausedFont = lbl_Paused->font();
    pausedFont.setPointSizeF(72 * scale_ * fit);
    if (pausedFont != lbl_Paused->font())
        lbl_Paused->setFont(pausedFont);
    lbl_Paused->setGeometry(0, below + std::max(0, (bottom - below - pausedHeight) / 2), W, pausedHeight);
    // The notice sits on the band, as wide as its longest line (up to nine tenths of the screen).
    int longest = 0;
    for (const QString &l : lbl_Notice->text().split(QLatin1Char('\n')))
        longest = std::max(longest, lbl_Notice->fontMetrics().horizontalAdvance(l));
    const int width = std::min(W * 9 / 10, longest + 2 * lbl_Notice->margin() + line / 2);
    const int height = lbl_Notice->heightForWidth(width);
    lbl_Notice->setGeometry((W - width) / 2, std::max(0, bottom - height - line / 2), width, height);
    placeSeats();
    // The results between the title and the notice over the band.
    placeBox(lbl_Results, ResultsPoints, lbl_title->height(), lbl_Notice->isVisible() ? lbl_Notice->y() : bottom, true);
}

void frm_Display::placeBox(DisplayLabel *label, double points, int top, int bottom, bool fullWidth)
{
    if (label->text().isEmpty())
        return;
    // At its own size when it fits between top and bottom, smaller when it does not.
    QFont f = label->font();
    for (double size = points * scale_;; size *= 0.9) {
        f.setPointSizeF(size);
        label->setFont(f);
        int longest = 0;
        for (const QString &l : label->text().split(QLatin1Char('\n')))
            longest = std::max(longest, label->fontMetrics().horizontalAdvance(l));
        const int w = std::min(width() * 9 / 10, longest + 2 * label->margin() + label->fontMetrics().height());
        const int h = label->heightForWidth(w);
        if (h <= bottom - top || size < 6) {
            if (fullWidth)
                label->setGeometry(0, top, width(), bottom - top);
            else
                label->setGeometry((width() - w) / 2, std::max(top, (top + bottom - h) / 2), w,
                                   std::min(h, bottom - top));
            return;
        }
    }
}

void frm_Display::placeSeats()
{
    // Above the notice, so that a question asked meanwhile never covers the seats.
    const int bottom = lbl_Notice->isVisible() ? std::min(height() * 19 / 20, lbl_Notice->y()) : height() * 19 / 20;
    placeBox(lbl_Seat, SeatPoints, height() / 20, std::max(height() / 20 + 1, bottom));
}

void frm_Display::showSeatCall(const QString &text, int ms)
{
    // The results, once up, stay in front; an empty text takes the seats down.
    if (lbl_Results->isVisible())
        return;
    if (text.isEmpty()) {
        seatTimer_.stop();
        lbl_Seat->hide();
        return;
    }
    lbl_Seat->setCaption(text);
    placeSeats();
    lbl_Seat->show();
    lbl_Seat->raise();
    if (ms > 0)
        seatTimer_.start(ms);
    else
        seatTimer_.stop();
}

void frm_Display::showNotice(const QString &text, int ms)
{
    lbl_Notice->setCaption(text);
    lbl_Notice->show();
    placeBottom();
    lbl_Notice->raise();
    if (lbl_Seat->isVisible())
        placeSeats();
    if (ms > 0)
        noticeTimer_.start(ms);
    else
        noticeTimer_.stop();
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
    for (QLabel *l : {lbl_Blinds, lbl_currentRound, lbl_elapsed, lbl_nextRound, lbl_Band, lbl_Chips})
        colour(l, main);
    // The notice and the seats stand out: the display's colours the other way round.
    for (QLabel *l : {static_cast<QLabel *>(lbl_Notice), static_cast<QLabel *>(lbl_Seat)}) {
        QPalette np = l->palette();
        np.setColor(QPalette::Window, platform::toQColor(main));
        np.setColor(QPalette::WindowText, platform::toQColor(background));
        l->setPalette(np);
    }
    QPalette rp = lbl_Results->palette();
    rp.setColor(QPalette::Window, platform::toQColor(background));
    rp.setColor(QPalette::WindowText, platform::toQColor(main));
    lbl_Results->setPalette(rp);
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
    // The count's band, under the chip case's own line when it has one.
    const bool chipLine = !state.chipLine.isEmpty();
    const QString band = state.counting ? state.band.lines() : QString();
    const bool bandShown = state.counting && (!chipLine || !band.isEmpty());
    const QString chips = chipLine ? state.chipLine : QString();
    if (lbl_Band->caption() != band)
        lbl_Band->setCaption(band);
    const bool chipsMoved = lbl_Chips->caption() != chips;
    if (chipsMoved)
        lbl_Chips->setCaption(chips);
    if (chipsMoved || lbl_Band->isVisibleTo(this) != bandShown || lbl_Chips->isVisibleTo(this) != chipLine) {
        lbl_Band->setVisible(bandShown);
        lbl_Chips->setVisible(chipLine);
        placeBottom();
    }
    const bool pausedShown = showPaused && state.paused;
    if (lbl_Paused->isVisibleTo(this) != pausedShown)
        lbl_Paused->setVisible(pausedShown);
    // The night's places, as many as the screen holds.
    QString results;
    if (!state.results.empty()) {
        // With a season, fewer places: its first standings go under them.
        const bool season = !state.season.rows.empty();
        const int Shown = season ? 10 : 16;
        QStringList lines{QStringLiteral("Results")};
        for (const tournament::Place &p : state.results) {
            if (lines.size() > Shown) {
                lines << QStringLiteral("and %1 more places on the page and in the results file")
                             .arg(qint64(state.results.size()) - Shown);
                break;
            }
            lines << tournament::placeLine(p, state.currency);
        }
        if (season) {
            lines << QString() << state.season.title;
            for (size_t i = 0; i < state.season.rows.size() && i < 5; ++i) {
                const auto &[rank, name, points, nights] = state.season.rows[i];
                lines << QStringLiteral("%1  %2  %3 points (%4 %5)")
                             .arg(rank, name, points, nights,
                                  nights == QLatin1String("1") ? QStringLiteral("night") : QStringLiteral("nights"));
            }
        }
        results = lines.join(QStringLiteral("\r\n"));
    }
    if (lbl_Results->caption() != results) {
        lbl_Results->setCaption(results);
        lbl_Results->setVisible(!results.isEmpty());
        if (!results.isEmpty())
            lbl_Seat->hide();
        placeBottom();
        lbl_Results->raise();
    }
    const std::array<qint32, 4> colours{state.backColour, state.textColour, state.anteColour, state.titleColour};
    if (colours != colours_) {
        colours_ = colours;
        setColours(state.backColour, state.textColour, state.anteColour, state.titleColour);
    }
}

void frm_Display::Form_KeyDown(int KeyCode, int Shift)
{
    game_.key(KeyCode, Shift);
}

void frm_Display::gameLeft()
{
    hide();
    lbl_Notice->hide();
    lbl_Seat->hide();
    left_.start();
    cursor_.showCursor(true);
}

void frm_Display::Form_LostFocus()
{
    cursor_.showCursor(true);
}

void frm_Display::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    const int shift = (m & Qt::ShiftModifier ? DisplayKey::ShiftMask : 0)
                      | (m & Qt::ControlModifier ? DisplayKey::CtrlMask : 0)
                      | (m & Qt::AltModifier ? DisplayKey::AltMask : 0);
    Form_KeyDown(DisplayKey::fromQt(event->key()), shift);
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
