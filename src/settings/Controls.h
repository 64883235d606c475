#pragma once
// Small controls of the settings window that the toolkit does not have as such.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

// A check box valued 0 (clear), 1 (ticked) or 2 (greyed); it counts as ticked only at 1.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString &caption, QWidget *parent = nullptr);
    int value() const;
    // Setting the value from code runs the click handler, as a click would.
    void setValue(int value);
};

// A square button without caption that shows its colour as its face.
class ColourButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColourButton(qint32 colour, QWidget *parent = nullptr);
    qint32 colour() const { return colour_; }
    void setColour(qint32 colour);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint32 colour_ = 0;
};

// A frame around a group of controls, drawn the classic way: a thin border whose top
// edge runs through the middle of the caption. Children are placed from its top-left.
class Frame : public QWidget {
    Q_OBJECT
public:
    explicit Frame(const QString &caption, QWidget *parent = nullptr);
    QString title() const { return caption_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption_;
};

// A button whose caption wraps onto more lines when the button is narrow and tall.
class WrapButton : public QPushButton {
    Q_OBJECT
public:
    explicit WrapButton(const QString &caption, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A label that behaves as a link: in the theme's link colour, underlined, clicked with the
// mouse or, once it has the focus, with Enter or Space.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString &text, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// A line of text that tells how things stand, such as what is wrong with what was typed: a
// screen reader reads it as a status bar named by its text, and hears of each new text as a new
// name (an alert would never reach it: the Linux bridge drops alerts).
class StatusLine : public QLabel {
    Q_OBJECT
public:
    explicit StatusLine(QWidget *parent = nullptr) : QLabel(parent) {}
};

// Screen readers see a frame as a group with its caption, the link label as a link and the
// status line as a status bar.
void installAccessibleRoles();
