#pragma once
// The players' display: a borderless window over the whole screen showing the title, the
// round, the countdown, the game timer, the blinds and the ante. It computes nothing; it
// renders the game's DisplayState, and reports the organiser's keys to the game.

#include "clock/DisplayState.h"
#include "clock/GameKeys.h"
#include "runner/GameRunner.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <array>

class Game;

namespace platform {
class Cursor;
}

// A display label. Its caption is the text as the clock writes it (line breaks as CR LF).
class DisplayLabel : public QLabel {
    Q_OBJECT
public:
    // A label shows its design text until the game writes it.
    DisplayLabel(const QString &text, QWidget *parent) : QLabel(parent) { setCaption(text); }
    QString caption() const { return caption_; }
    void setCaption(const QString &text);

private:
    QString caption_;
};

// The key code the display reports for a toolkit key; 0 for every other key.
namespace DisplayKey {
int fromQt(int qtKey);
} // namespace DisplayKey

class frm_Display : public QWidget, public GameScreen {
    Q_OBJECT
public:
    frm_Display(Game &game, platform::Cursor &cursor);

    DisplayLabel *lbl_title;
    DisplayLabel *lbl_currentRound;
    DisplayLabel *lbl_nextRound;
    DisplayLabel *lbl_elapsed;
    DisplayLabel *lbl_Blinds;
    DisplayLabel *lbl_ante;
    // "PAUSED" below the ante, in the title's colour, while paused and showPaused is on.
    DisplayLabel *lbl_Paused;
    bool showPaused = false;
    // While the game counts players: the band at the bottom (the count, the average stack,
    // the pool and the payouts), and a notice above it after each of the host's keys, which
    // leaves by itself.
    DisplayLabel *lbl_Band;
    // With a chip case: its line over the band, larger (the colour-up, the add-on, the next
    // break), counted or not; a line for each part where the screen is too narrow.
    DisplayLabel *lbl_Chips;
    DisplayLabel *lbl_Notice;
    // Shows a notice for ms milliseconds; 0: until the next one, or the next key.
    void showNotice(const QString &text, int ms);
    // With more than one table: a seat drawn, or a table's players dealt, large across the
    // middle for ms milliseconds; and once one player is left, the places over the display.
    DisplayLabel *lbl_Seat;
    DisplayLabel *lbl_Results;
    void showSeatCall(const QString &text, int ms);
    // The seats' box between the title and the notice.
    void placeSeats();

    // Pause state, the game's; it outlives a game, but every start clears it.
    bool &paused;
    bool &breakWasRunning;
    // The game was left (Escape or the close key) less than this long ago, and no game has
    // been started since.
    bool leftWithin(qint64 ms) const { return !isVisible() && left_.isValid() && !left_.hasExpired(ms); }

    void Form_KeyDown(int KeyCode, int Shift);
    // The game was left for good: the display goes, and the mouse comes back.
    void gameLeft();
    void Form_LostFocus();

    // Places the window over the whole of the given screen area.
    void layOut(const QRect &screen);
    // Off: the design's sizes on any screen. On: the fonts and positions grow with the
    // screen by scaleFor() (from the next layOut).
    bool scaleToScreen = false;
    // The design's window, 11010 x 8520 twips.
    static constexpr int DesignWidth = 734;
    static constexpr int DesignHeight = 568;
    // min(width / 734, height / 568), never below 1.
    static double scaleFor(const QSize &screen);
    // The factor the labels are laid out with now.
    double scale() const { return scale_; }
    void setColours(qint32 background, qint32 main, qint32 ante, qint32 title);
    // Shows the state's texts, their visibility and its colours.
    void render(const DisplayState &state) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    Game &game_;
    struct Design {
        DisplayLabel *label;
        QRect twips;   // position and size in the design's window
        double points; // type size
    };
    void applyScale(double scale);
    // The band, PAUSED and the notice, from the bottom of the screen up.
    void placeBottom();
    std::array<Design, 6> design_{};
    double scale_ = 0;
    // The colours last rendered (blue*65536 + green*256 + red); none yet.
    std::array<qint32, 4> colours_{-1, -1, -1, -1};
    platform::Cursor &cursor_;
    QElapsedTimer left_;
    QTimer noticeTimer_;
    QTimer seatTimer_;
    // Centres a boxed label between top and bottom, as wide as its longest line, its type at
    // `points` (scaled) or smaller until it fits.
    // Full width, it covers the screen between top and bottom.
    void placeBox(DisplayLabel *label, double points, int top, int bottom, bool fullWidth = false);
    static constexpr double SeatPoints = 40;
    static constexpr double ChipPoints = 22.5;
    static constexpr double ResultsPoints = 20.25;
};
