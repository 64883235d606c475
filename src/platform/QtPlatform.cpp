#include "platform/QtPlatform.h"

#include "platform/Colour.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QTime>
#include <QUrl>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

namespace platform {

Answer QtMessageBox::show(const QString &text, const QString &title, Icon icon, Buttons buttons)
{
    QMessageBox box;
    box.setText(text);
    box.setWindowTitle(title);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Error: box.setIcon(QMessageBox::Critical); break;
    }
    if (buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return Answer::Ok;
}

std::optional<QString> QtInputBox::ask(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // Wide enough to show a long phrase whole, within the screen.
    const QFontMetrics metrics(box.font());
    const QScreen *screen = box.screen();
    const int wanted = metrics.horizontalAdvance(defaultText) + 8 * metrics.averageCharWidth() + 40;
    const int widest = screen ? screen->availableGeometry().width() * 9 / 10 : wanted;
    box.resize(std::max(box.sizeHint().width(), std::min(wanted, widest)), box.sizeHint().height());
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

std::optional<qint32> QtColourDialog::choose(qint32 colour)
{
    QColor picked = QColorDialog::getColor(toQColor(colour), QApplication::activeWindow());
    if (!picked.isValid())
        return std::nullopt;
    return fromQColor(picked);
}

// "Wav Files|*.wav" becomes "Wav Files (*.wav)".
static QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '))
                   + QLatin1Char(')');
    return out.join(QStringLiteral(";;"));
}

std::optional<QString> QtFileDialog::openFile(const QString &title, const QString &filter)
{
    QString name = QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), qtFilter(filter));
    if (name.isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(name);
}

int QtCursor::showCursor(bool show)
{
    count_ += show ? 1 : -1;
    apply();
    return count_;
}

void QtCursor::busy(bool on)
{
    busy_ = std::max(0, busy_ + (on ? 1 : -1));
    apply();
}

void QtCursor::apply()
{
    std::optional<Qt::CursorShape> wanted;
    if (count_ < 0)
        wanted = Qt::BlankCursor;
    else if (busy_ > 0)
        wanted = Qt::BusyCursor;
    if (wanted == shown_)
        return;
    if (!shown_)
        QGuiApplication::setOverrideCursor(QCursor(*wanted));
    else if (!wanted)
        QGuiApplication::restoreOverrideCursor();
    else
        QGuiApplication::changeOverrideCursor(QCursor(*wanted));
    shown_ = wanted;
}

bool QtShell::openAddress(const QString &address)
{
    QUrl url = QUrl::fromUserInput(address, QCoreApplication::applicationDirPath());
    return QDesktopServices::openUrl(url);
}

bool QtFiles::fileExists(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString QtFiles::programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

QString longTimeFormatWithoutZone(const QString &format)
{
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.trimmed();
}

QString hoursBeyondOneDay(const QString &format, int hours)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype run = 1;
        while (!quoted && i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            out += c;
        } else if (!quoted && (c == QLatin1Char('h') || c == QLatin1Char('H'))) {
            out += QStringLiteral("'%1'").arg(hours, int(run), 10, QLatin1Char('0'));
        } else if (!quoted
                   && (c == QLatin1Char('a') || c == QLatin1Char('A')
                       || (c == QLatin1Char('p') && i > 0 && format[i - 1].toLower() == QLatin1Char('a'))
                       || (c == QLatin1Char('P') && i > 0 && format[i - 1].toLower() == QLatin1Char('a')))) {
            // no morning or afternoon past one day
        } else {
            out += format.mid(i, run);
        }
        i += quoted && c != QLatin1Char('\'') ? 1 : run;
    }
    return out.simplified();
}

QString QtTimeFormat::longTime(int secondsAfterMidnight)
{
    static const QString format = longTimeFormatWithoutZone(QLocale::system().timeFormat(QLocale::LongFormat));
    const int s = std::max(0, secondsAfterMidnight);
    if (s < 24 * 3600)
        return QLocale::system().toString(QTime(0, 0).addSecs(s), format);
    // A game past one day: the hours go on counting in the same form.
    return QLocale::system().toString(QTime(0, s / 60 % 60, s % 60), hoursBeyondOneDay(format, s / 3600));
}

QtPlatform::QtPlatform()
    : speechModule_(QStringLiteral(CHIPLARK_SPEECH_MODULE)), soundModule_(QStringLiteral(CHIPLARK_SOUND_MODULE)),
      screenModule_(QStringLiteral(CHIPLARK_SCREEN_MODULE)), pageModule_(QStringLiteral(CHIPLARK_PAGE_MODULE))
{
    raiseOpenFileLimit();
    // The screen keeping is ready before the first game; speech, sound and the page wait
    // until the organiser asks for them.
    screenModule_.loadAfterFirstPaint();
}

// Connections from the network are each a descriptor: the program may open as many as the
// system lets it, not the shell's smaller default, so its own files always find one free.
void raiseOpenFileLimit()
{
#ifdef Q_OS_UNIX
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
#endif
}

Services QtPlatform::services()
{
    Services s;
    s.messageBox = &messageBox_;
    s.inputBox = &inputBox_;
    s.colourDialog = &colourDialog_;
    s.fileDialog = &fileDialog_;
    s.cursor = &cursor_;
    s.shell = &shell_;
    s.sound = &sound_;
    s.speech = &speech_;
    s.files = &files_;
    s.timeFormat = &timeFormat_;
    s.screenSaver = &screenSaver_;
    s.publisher = &publisher_;
    return s;
}

} // namespace platform
