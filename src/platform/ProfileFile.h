#pragma once
// A private-profile (INI) file, read and written the way the Windows profile functions
// do it: sections and keys found without regard to case, the first of a duplicate wins,
// every line that is not touched kept as it was.

#include <QString>
#include <optional>
#include <vector>

namespace platform {

class ProfileFile {
public:
    // A missing file gives an empty profile; one that cannot be read (not a regular file,
    // no permission, an I/O error, larger than the bound) gives none.
    static std::optional<ProfileFile> load(const QString &path, qint64 bound);
    static ProfileFile fromBytes(const QByteArray &bytes);
    // Whether anything stands at the path.
    static bool exists(const QString &path);

    // The value with blanks around it and one pair of enclosing quotes taken off;
    // no value when the section or key is missing.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Replaces the key's value in place, or adds the key at the end of its section,
    // or the section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;
    bool save(const QString &path, QString *why = nullptr) const;

private:
    struct Line {
        QString text;
        QString end; // "\r\n", "\n", "\r", or empty for a last line without one
    };
    std::vector<Line> lines_;
    bool utf8_ = false;
    bool bom_ = false;

    int findSection(const QString &section) const;
    int sectionEnd(int header) const;
};

} // namespace platform
