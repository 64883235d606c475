#pragma once
// The players' display: a borderless window over the whole screen showing the title, the
// round, the countdown, the game timer, the blinds and the ante. It computes nothing; it
// renders the clock's DisplayState. The organiser's keys on it leave, skip and pause the game.

#include "clock/DisplayState.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <array>

class frm_Chiplark;

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

// The key codes the display acts on, from a toolkit key; 0 for every other key.
namespace DisplayKey {
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Pause = 19;
constexpr int P = 80;
// While the game counts players: Entry, re-eNtry, Rebuy, Add-on, Bust, Lock payouts, Help
// (or F1), and Backspace or Ctrl+Z for Undo.
constexpr int Backspace = 8;
constexpr int A = 65;
constexpr int B = 66;
constexpr int E = 69;
constexpr int H = 72;
constexpr int L = 76;
constexpr int N = 78;
constexpr int R = 82;
constexpr int Z = 90;
constexpr int F1 = 112;
// The Shift argument's bits.
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;
int fromQt(int qtKey);
} // namespace DisplayKey

class frm_Display : public QWidget {
    Q_OBJECT
public:
    frm_Display(frm_Chiplark &owner, platform::Cursor &cursor);

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
    DisplayLabel *lbl_Notice;
    // Shows a notice for ms milliseconds; 0: until the next one, or the next key.
    void showNotice(const QString &text, int ms);
    static const QString KeysHelp;

    // Pause state; it outlives a game, but every start clears it.
    bool paused = false;
    bool breakWasRunning = false;
    // The game was left (Escape or the close key) less than this long ago, and no game has
    // been started since.
    bool leftWithin(qint64 ms) const { return !isVisible() && left_.isValid() && !left_.hasExpired(ms); }

    void Form_KeyDown(int KeyCode, int Shift);
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
    void render(const DisplayState &state);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    frm_Chiplark &owner_;
    struct Design {
        DisplayLabel *label;
        QRect twips;   // position and size in the design's window
        double points; // type size
    };
    void applyScale(double scale);
    // The band, PAUSED and the notice, from the bottom of the screen up.
    void placeBottom();
    // A key of the count; false for a key that is none.
    bool countingKey(int KeyCode, int Shift);
    std::array<Design, 6> design_{};
    double scale_ = 0;
    // The colours last rendered (blue*65536 + green*256 + red); none yet.
    std::array<qint32, 4> colours_{-1, -1, -1, -1};
    platform::Cursor &cursor_;
    QElapsedTimer left_;
    QTimer noticeTimer_;
    // A rebuy or re-entry that asked to be confirmed: its key, pressed again soon, records it.
    int pendingKey_ = 0;
    QElapsedTimer pendingSince_;
};
