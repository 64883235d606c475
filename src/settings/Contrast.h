#pragma once
// Colours that stay readable on the window's background, whatever the desktop's theme: the
// contrast ratio of two colours as the web's accessibility guidelines define it, and a colour
// moved towards white or black just far enough to reach a ratio.

#include <QColor>

// (L1 + 0.05) / (L2 + 0.05) of the lighter and the darker relative luminance: 1 to 21.
double contrastRatio(const QColor &a, const QColor &b);

// The colour itself when it already has the ratio against the background; otherwise the
// nearest mix of it with white (on a dark background) or black (on a light one) that has it.
QColor withContrast(const QColor &colour, const QColor &background, double ratio);

// A background whose relative luminance is below the middle grey's.
bool isDark(const QColor &background);
