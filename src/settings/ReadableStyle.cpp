#include "settings/ReadableStyle.h"

#include "settings/Contrast.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOption>

ReadableStyle::ReadableStyle(const QString &key) : QProxyStyle(key) {}

void ReadableStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_IndicatorCheckBox && element != PE_IndicatorRadioButton)
        return;
    const QColor window = option->palette.color(QPalette::Window);
    // Disabled controls keep the theme's dim look; so does every control in a light theme.
    if (!isDark(window) || !(option->state & State_Enabled))
        return;
    const QColor outline = withContrast(option->palette.color(QPalette::Mid), window, IndicatorRatio * Margin);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(outline, 1.5));
    painter->setBrush(Qt::NoBrush);
    const QRectF r = QRectF(option->rect).adjusted(1, 1, -1, -1);
    if (element == PE_IndicatorRadioButton)
        painter->drawEllipse(r);
    else
        painter->drawRoundedRect(r, 1.5, 1.5);
    painter->restore();
}

void useReadableStyle()
{
    if (qobject_cast<ReadableStyle *>(QApplication::style()))
        return;
    QApplication::setStyle(new ReadableStyle(QApplication::style()->name()));
}
