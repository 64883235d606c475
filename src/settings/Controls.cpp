#include "settings/Controls.h"

#include "platform/Colour.h"

#include <QAccessibleWidget>
#include <QComboBox>

#include <QKeyEvent>
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
    // Like every other button: Enter on it presses it, not "Start the game!".
    setAutoDefault(true);
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
    setForegroundRole(QPalette::Link); // the theme's link colour: blue in light themes, readable in dark ones
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(text);
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: emit clicked(); return;
    default: QLabel::keyPressEvent(event);
    }
}

void LinkLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter p(this);
    QPen pen(palette().color(QPalette::Link));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

namespace {

class AccessibleGroup : public QAccessibleWidget {
public:
    explicit AccessibleGroup(Frame *frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override
    {
        QString title = static_cast<Frame *>(widget())->title();
        if (t == QAccessible::Name && !title.isEmpty())
            return title;
        return QAccessibleWidget::text(t);
    }
};

class AccessibleLink : public QAccessibleWidget {
public:
    explicit AccessibleLink(LinkLabel *link) : QAccessibleWidget(link, QAccessible::Link) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<LinkLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            emit static_cast<LinkLabel *>(widget())->clicked();
    }
};

class AccessibleStatus : public QAccessibleWidget {
public:
    explicit AccessibleStatus(StatusLine *line) : QAccessibleWidget(line, QAccessible::StatusBar) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<StatusLine *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

// A drop-down box keeps its name when it holds a value (Qt reads its value as its name on
// Linux, so "Voice" would become "English (Great Britain)", a box typed in "5"); the value
// stays its value.
class NamedComboBox : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<QComboBox *>(widget());
        if (t == QAccessible::Name && !box->accessibleName().isEmpty())
            return box->accessibleName();
        if (t == QAccessible::Name || t == QAccessible::Value)
            return box->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction() || action == pressAction())
            static_cast<QComboBox *>(widget())->showPopup();
    }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("QComboBox"))
        return new NamedComboBox(static_cast<QComboBox *>(object));
    if (className == QLatin1String("StatusLine"))
        return new AccessibleStatus(static_cast<StatusLine *>(object));
    if (className == QLatin1String("Frame"))
        return new AccessibleGroup(static_cast<Frame *>(object));
    if (className == QLatin1String("LinkLabel"))
        return new AccessibleLink(static_cast<LinkLabel *>(object));
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(accessibleFor);
    installed = true;
}
