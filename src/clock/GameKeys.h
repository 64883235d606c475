#pragma once
// The organiser's keys on the players' display, as key codes; every other key is 0.

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
constexpr int C = 67;
constexpr int E = 69;
constexpr int H = 72;
constexpr int L = 76;
constexpr int N = 78;
constexpr int R = 82;
constexpr int Z = 90;
constexpr int F1 = 112;
// With more than one table: the digits and Enter name a seat, M confirms a move and X refuses
// it, D redraws the final table's seats, S seats the names typed, T shows every table's seats
// until the next key, C prints the table cards.
constexpr int Enter = 13;
constexpr int Digit0 = 48;
constexpr int Digit9 = 57;
constexpr int D = 68;
constexpr int M = 77;
constexpr int S = 83;
constexpr int T = 84;
constexpr int X = 88;
// With seats: K types the chip counts seat by seat, O offers a deal (F and an amount: kept to
// play for).
constexpr int F = 70;
constexpr int K = 75;
constexpr int O = 79;
// The Shift argument's bits.
constexpr int ShiftMask = 1;
constexpr int CtrlMask = 2;
constexpr int AltMask = 4;
} // namespace DisplayKey
