#include "settings/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(double c)
{
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

QColor mix(const QColor &from, const QColor &to, double t)
{
    const QColor a = from.toRgb(), b = to.toRgb();
    const auto at = [t](double x, double y) { return x + (y - x) * t; };
    return QColor::fromRgbF(float(at(a.redF(), b.redF())), float(at(a.greenF(), b.greenF())),
                            float(at(a.blueF(), b.blueF())), float(a.alphaF()));
}

} // namespace

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool isDark(const QColor &background)
{
    return luminance(background) < 0.18; // the middle grey, #777
}

QColor withContrast(const QColor &colour, const QColor &background, double ratio)
{
    if (contrastRatio(colour, background) >= ratio)
        return colour;
    const QColor end = isDark(background) ? QColor(Qt::white) : QColor(Qt::black);
    // The ratio grows steadily on the way to white (or black): the least mix that reaches it.
    double low = 0, high = 1;
    for (int i = 0; i < 20; ++i) {
        const double t = (low + high) / 2;
        (contrastRatio(mix(colour, end, t), background) >= ratio ? high : low) = t;
    }
    return mix(colour, end, high);
}
