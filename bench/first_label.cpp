// The floor: the least a Qt program does to show a window with one line of text, in the
// settings window's font. Linked with Qt Widgets alone. With "tick" it stands for a game:
// full screen, the line showing a count of seconds renewed once a second.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Chiplark! - version 1.0"));
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setPixelSize(10);
    label.setFont(font);
    QTimer tick;
    if (argc > 1 && QLatin1String(argv[1]) == QLatin1String("tick")) {
        int seconds = 0;
        QObject::connect(&tick, &QTimer::timeout, &label, [&] { label.setText(QString::number(++seconds)); });
        tick.start(1000);
        label.showFullScreen();
    } else {
        label.show();
    }
    return app.exec();
}
