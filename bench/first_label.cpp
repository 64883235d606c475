// The floor for start-up: the least a Qt program does to show a window with one line of
// text, in the settings window's font. Linked with Qt Widgets alone.
#include <QApplication>
#include <QFont>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Chiplark! - version 1.0"));
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setPixelSize(10);
    label.setFont(font);
    label.show();
    return app.exec();
}
