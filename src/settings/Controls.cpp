#include "settings/Controls.h"

#include "platform/Colour.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

CheckBox::CheckBox(const QString &caption, QWidget *parent) : QCheckBox(caption, parent) {}

int CheckBox::value() const
{
    switch (checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void CheckBox::setValue(int value)
{
    if (value == 2)
        setTristate(true);
    setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

ColourButton::ColourButton(qint32 colour, QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setColour(colour);
}

void ColourButton::setColour(qint32 colour)
{
    colour_ = colour;
    update();
}

// The face is the colour itself, in a thin frame; a thicker one shows the focus.
void ColourButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), platform::toQColor(colour_));
    const bool focus = hasFocus();
    p.setPen(QPen(focus ? palette().color(QPalette::Highlight) : palette().color(QPalette::Dark), focus ? 2 : 1));
    p.drawRect(focus ? rect().adjusted(1, 1, -1, -1) : rect().adjusted(0, 0, -1, -1));
    if (isDown())
        p.fillRect(rect().adjusted(2, 2, -2, -2), QColor(0, 0, 0, 60));
}

Frame::Frame(const QString &caption, QWidget *parent) : QWidget(parent), caption_(caption) {}

void Frame::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QFontMetrics fm = fontMetrics();
    const int top = caption_.isEmpty() ? 0 : fm.height() / 2;
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(QRect(0, top, width() - 1, height() - 1 - top));
    if (caption_.isEmpty())
        return;
    const QRect textRect(6, 0, fm.horizontalAdvance(caption_) + 4, fm.height());
    p.fillRect(textRect, palette().color(QPalette::Window));
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect, Qt::AlignCenter, caption_);
}

WrapButton::WrapButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent) {}

void WrapButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

LinkLabel::LinkLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
