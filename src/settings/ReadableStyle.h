#pragma once
// The desktop's own style, with the outline of check boxes and radio buttons drawn again where
// a dark theme leaves it too faint to find (at least 3:1 against the window). In a light
// theme nothing is drawn differently.

#include <QProxyStyle>

class ReadableStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Wraps the style of that name (the application's own when empty).
    explicit ReadableStyle(const QString &key);
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;

    // The ratios kept against the window: indicators, and the link's text.
    static constexpr double IndicatorRatio = 3.0;
    static constexpr double LinkRatio = 4.5;
    // What is asked of a colour, so that it still holds once painted in 8 bits.
    static constexpr double Margin = 1.05;
};

// Makes the application's style a ReadableStyle, once.
void useReadableStyle();
