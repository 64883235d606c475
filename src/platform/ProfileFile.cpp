#include "platform/ProfileFile.h"

#include "platform/RegularFile.h"
#include "platform/TextFile.h"

#include <QFile>

namespace platform {

namespace {

bool sectionName(const QString &line, QString *name)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    *name = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
    return true;
}

// A "key=value" line; comments and lines without "=" are not.
bool keyValue(const QString &line, QString *key, QString *value)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return false;
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = t.left(eq).trimmed();
    if (key->isEmpty())
        return false;
    if (value) {
        QString v = t.mid(eq + 1).trimmed();
        if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

bool same(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<ProfileFile> ProfileFile::load(const QString &path, qint64 bound)
{
    const FileContents c = readRegularFile(path, bound, false);
    if (c.state == FileState::Unreadable)
        return std::nullopt;
    return fromBytes(c.bytes);
}

bool ProfileFile::exists(const QString &path)
{
    return somethingAt(path);
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile p;
    const DecodedText d = decodeText(bytes);
    p.utf8_ = d.utf8;
    p.bom_ = d.bom;
    const QString &s = d.text;
    qsizetype start = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        const bool crlf = c == QLatin1Char('\r') && i + 1 < s.size() && s[i + 1] == QLatin1Char('\n');
        p.lines_.push_back({s.mid(start, i - start), crlf ? QStringLiteral("\r\n") : QString(c)});
        if (crlf)
            ++i;
        start = i + 1;
    }
    if (start < s.size())
        p.lines_.push_back({s.mid(start), QString()});
    return p;
}

int ProfileFile::findSection(const QString &section) const
{
    QString name;
    for (size_t i = 0; i < lines_.size(); ++i)
        if (sectionName(lines_[i].text, &name) && same(name, section))
            return int(i);
    return -1;
}

// The line after the section's last line.
int ProfileFile::sectionEnd(int header) const
{
    QString name;
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !sectionName(lines_[i].text, &name))
        ++i;
    return int(i);
}

std::optional<QString> ProfileFile::value(const QString &section, const QString &key) const
{
    const int header = findSection(section);
    if (header < 0)
        return std::nullopt;
    const int end = sectionEnd(header);
    QString k, v;
    for (int i = header + 1; i < end; ++i)
        if (keyValue(lines_[i].text, &k, &v) && same(k, key))
            return v;
    return std::nullopt;
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString line = key + QLatin1Char('=') + value;
    const QString crlf = QStringLiteral("\r\n");
    const auto endLastLine = [&] {
        if (!lines_.empty() && lines_.back().end.isEmpty())
            lines_.back().end = crlf;
    };

    const int header = findSection(section);
    if (header < 0) {
        endLastLine();
        lines_.push_back({QLatin1Char('[') + section + QLatin1Char(']'), crlf});
        lines_.push_back({line, crlf});
        return;
    }
    const int end = sectionEnd(header);
    QString k;
    int lastFilled = header;
    for (int i = header + 1; i < end; ++i) {
        if (keyValue(lines_[i].text, &k, nullptr) && same(k, key)) {
            lines_[size_t(i)].text = line;
            return;
        }
        if (!lines_[size_t(i)].text.trimmed().isEmpty())
            lastFilled = i;
    }
    if (lines_[size_t(lastFilled)].end.isEmpty())
        lines_[size_t(lastFilled)].end = crlf;
    lines_.insert(lines_.begin() + lastFilled + 1, {line, crlf});
}

QByteArray ProfileFile::toBytes() const
{
    QString text;
    for (const Line &l : lines_)
        text += l.text + l.end;
    return encodeText(text, utf8_, bom_);
}

bool ProfileFile::save(const QString &path, QString *why) const
{
    return writeFileAtomically(path, toBytes(), {}, why);
}

} // namespace platform
