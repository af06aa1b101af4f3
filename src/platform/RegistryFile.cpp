#include "platform/RegistryFile.h"

#include "platform/AtomicFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <unistd.h>

namespace korvalo {

namespace {

const QByteArray kHeaderLine = QByteArrayLiteral("REGEDIT4");

// One line of a key, or a value that runs over continuation lines.
struct Entry {
    bool understood = false; // false: kept verbatim, invisible to the API
    QString name;
    RegValue value;
    QByteArray raw; // the line(s) as read; written back unless the value was rewritten
};

struct Section {
    QByteArray header; // the header line as read, written back as it was
    QString name;      // between the brackets; empty when the line is not UTF-8
    std::vector<Entry> entries;
};

struct Document {
    std::vector<QByteArray> preamble; // unknown lines before the first key
    std::vector<Section> sections;
};

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

std::optional<QString> decodeUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// "\Software\Default" and "Software\Default" are the same key; a path with
// an empty part or a line break cannot be written as a header.
std::optional<QString> normalizedKey(const QString& key) {
    qsizetype from = 0;
    while (from < key.size() && key[from] == u'\\')
        ++from;
    qsizetype to = key.size();
    while (to > from && key[to - 1] == u'\\')
        --to;
    const QString path = key.mid(from, to - from);
    if (path.isEmpty() || path.contains(QStringLiteral("\\\\")) || path.contains(u'\n') ||
        path.contains(u'\r') || path.contains(QChar(0)))
        return std::nullopt;
    return path;
}

std::optional<QString> fullKeyName(RegRoot root, const QString& key) {
    const auto path = normalizedKey(key);
    if (!path)
        return std::nullopt;
    return regRootName(root) + u'\\' + *path;
}

// Reads a quoted text starting at the quote at pos; pos ends after the
// closing quote. An unknown escape is kept as written, so a hand-written
// "C:\Program Files" still reads as meant.
std::optional<QString> readQuoted(const QString& s, qsizetype& pos) {
    QString out;
    ++pos;
    while (pos < s.size()) {
        const QChar c = s[pos++];
        if (c == u'"')
            return out;
        if (c != u'\\') {
            out += c;
            continue;
        }
        if (pos >= s.size())
            return std::nullopt;
        const QChar e = s[pos++];
        if (e == u'n')
            out += u'\n';
        else if (e == u'r')
            out += u'\r';
        else if (e == u'\\' || e == u'"')
            out += e;
        else {
            out += u'\\';
            out += e;
        }
    }
    return std::nullopt;
}

QString quoted(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"') {
            out += u'\\';
            out += c;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n"); // a raw line break would split the line
        } else if (c == u'\r') {
            out += QStringLiteral("\\r");
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

bool isHexDigit(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// A type prefix such as "hex" or "hex(2)" before the ':' of a value we carry.
bool isTypePrefix(QStringView prefix) {
    if (prefix.isEmpty())
        return false;
    for (const QChar c : prefix) {
        if (!c.isLetterOrNumber() && c != u'(' && c != u')' && c != u'_')
            return false;
    }
    return true;
}

std::optional<Entry> parseValueLine(const QString& line) {
    const QString s = line.trimmed();
    qsizetype pos = 0;
    Entry entry;
    entry.understood = true;
    if (s.startsWith(u'@')) {
        pos = 1;
    } else if (s.startsWith(u'"')) {
        auto name = readQuoted(s, pos);
        if (!name)
            return std::nullopt;
        entry.name = *name;
    } else {
        return std::nullopt;
    }
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    if (pos >= s.size() || s[pos] != u'=')
        return std::nullopt;
    ++pos;
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
    const QString data = s.mid(pos);

    if (data.startsWith(u'"')) {
        qsizetype p = 0;
        auto text = readQuoted(data, p);
        if (!text || !data.mid(p).trimmed().isEmpty())
            return std::nullopt;
        entry.value = RegValue::string(*text);
        return entry;
    }
    const auto colon = data.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QStringView type = QStringView(data).left(colon);
    if (type.compare(u"dword", Qt::CaseInsensitive) == 0) {
        const QString digits = data.mid(colon + 1).trimmed();
        if (digits.isEmpty() || digits.size() > 8 ||
            !std::all_of(digits.begin(), digits.end(), isHexDigit))
            return std::nullopt;
        entry.value = RegValue::number(digits.toUInt(nullptr, 16));
        return entry;
    }
    if (!isTypePrefix(type))
        return std::nullopt;
    entry.value = {RegValue::Other, data, 0};
    return entry;
}

// A continuation line of binary data: hex bytes separated by commas, perhaps
// ending in another backslash.
bool isHexDataLine(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty())
        return false;
    for (const char c : t) {
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex && c != ',' && c != ' ' && c != '\t' && c != '\\')
            return false;
    }
    return true;
}

std::vector<QByteArray> splitLines(const QByteArray& bytes) {
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    // A byte-order mark is not part of the first line.
    if (bytes.startsWith("\xEF\xBB\xBF"))
        start = 3;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QByteArray line = bytes.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void addEntry(Section& section, Entry entry) {
    // A value named twice: the later line wins, as when importing the file.
    if (entry.understood) {
        for (Entry& e : section.entries) {
            if (e.understood && sameName(e.name, entry.name)) {
                e = std::move(entry);
                return;
            }
        }
    }
    section.entries.push_back(std::move(entry));
}

Section* findSection(Document& doc, const QString& name) {
    for (Section& s : doc.sections) {
        if (!s.name.isEmpty() && sameName(s.name, name))
            return &s;
    }
    return nullptr;
}

const Section* findSection(const Document& doc, const QString& name) {
    return findSection(const_cast<Document&>(doc), name);
}

bool hasSubkeys(const Document& doc, const QString& name) {
    const QString prefix = name + u'\\';
    return std::any_of(doc.sections.begin(), doc.sections.end(), [&](const Section& s) {
        return s.name.startsWith(prefix, Qt::CaseInsensitive);
    });
}

Entry* findEntry(Section& section, const QString& name) {
    for (Entry& e : section.entries) {
        if (e.understood && sameName(e.name, name))
            return &e;
    }
    return nullptr;
}

Document parse(const QByteArray& bytes) {
    Document doc;
    Section* current = nullptr;
    const std::vector<QByteArray> lines = splitLines(bytes);
    bool headerSeen = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        const QByteArray trimmed = line.trimmed();
        if (trimmed.isEmpty())
            continue;
        if (!headerSeen && !current && doc.preamble.empty() && trimmed == kHeaderLine) {
            headerSeen = true;
            continue;
        }
        const auto text = decodeUtf8(line);
        if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
            QString name;
            if (text) {
                const QString t = text->trimmed();
                name = t.mid(1, t.size() - 2);
            }
            // A key written twice is one key, as when importing the file.
            current = name.isEmpty() ? nullptr : findSection(doc, name);
            if (!current) {
                doc.sections.push_back(Section{line, name, {}});
                current = &doc.sections.back();
            }
            continue;
        }
        if (!current) {
            doc.preamble.push_back(line);
            continue;
        }
        std::optional<Entry> entry = text ? parseValueLine(*text) : std::nullopt;
        if (!entry) {
            Entry raw;
            raw.raw = line;
            current->entries.push_back(std::move(raw));
            continue;
        }
        entry->raw = line;
        if (entry->value.type == RegValue::Other) {
            // Binary data runs on over lines that end in a backslash; only a
            // line of more hex data continues it, so a blank line or a key
            // header after a stray backslash still starts afresh.
            while (entry->raw.trimmed().endsWith('\\') && i + 1 < lines.size() &&
                   isHexDataLine(lines[i + 1])) {
                ++i;
                entry->raw += '\n';
                entry->raw += lines[i];
                entry->value.text += u'\n';
                entry->value.text += QString::fromUtf8(lines[i]);
            }
        }
        addEntry(*current, std::move(*entry));
    }
    return doc;
}

// Writes lines (one, or a value with its continuation lines) back as read:
// a line that ends in a carriage return of its own keeps it, since the
// reader takes one off every line.
void putLines(QByteArray& out, const QByteArray& lines) {
    for (const QByteArray& line : lines.split('\n')) {
        out += line;
        out += line.endsWith('\r') ? "\r\n" : "\n";
    }
}

QByteArray serialize(const Document& doc) {
    QByteArray out = kHeaderLine + '\n';
    for (const QByteArray& line : doc.preamble)
        putLines(out, line);
    for (const Section& section : doc.sections) {
        out += '\n';
        putLines(out, section.header);
        // A value left ending in a backslash was ended by a blank line, which
        // is not kept; one goes back where the next line would continue it.
        bool open = false;
        auto put = [&out, &open](const QByteArray& lines) {
            const qsizetype firstEnd = lines.indexOf('\n');
            if (open && isHexDataLine(firstEnd < 0 ? lines : lines.first(firstEnd)))
                out += '\n';
            putLines(out, lines);
            open = lines.mid(lines.lastIndexOf('\n') + 1).trimmed().endsWith('\\');
        };
        for (const Entry& e : section.entries) {
            if (!e.raw.isEmpty()) {
                put(e.raw);
                continue;
            }
            QString line = e.name.isEmpty() ? QStringLiteral("@") : quoted(e.name);
            line += u'=';
            switch (e.value.type) {
            case RegValue::String:
                line += quoted(e.value.text);
                break;
            case RegValue::Dword:
                line += QStringLiteral("dword:%1").arg(e.value.dword, 8, 16, QChar(u'0'));
                break;
            case RegValue::Other:
                line += e.value.text;
                break;
            }
            put(line.toUtf8());
        }
    }
    return out;
}

std::string nativePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

// The whole file, or an empty one when it does not exist; nullopt when it
// exists but cannot be read (a folder, no permission, an I/O error).
std::optional<QByteArray> readWholeFile(const QString& path) {
    const int fd = openRegularFile(nativePath(path), O_RDONLY);
    if (fd < 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    ::close(fd);
    return bytes;
}

std::optional<Document> load(const QString& path) {
    auto bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return parse(*bytes);
}

enum class Outcome { Refused, Unchanged, Changed };

// Re-reads the file under the lock, lets change() edit it and writes the
// result, so changes made by another copy since our last read survive.
bool changeFile(const QString& path, const std::function<Outcome(Document&)>& change) {
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    const std::string file = nativePath(path);
    FileLock lock(lockPathFor(file));
    if (!lock.locked())
        return false;
    auto doc = load(path);
    // A file we cannot read is never replaced: that would lose its keys.
    if (!doc)
        return false;
    switch (change(*doc)) {
    case Outcome::Refused:
        return false;
    case Outcome::Unchanged:
        return true;
    case Outcome::Changed:
        break;
    }
    const QByteArray bytes = serialize(*doc);
    return atomicReplace(file, std::string_view(bytes.constData(), size_t(bytes.size())));
}

Section& ensureSection(Document& doc, const QString& name) {
    if (Section* s = findSection(doc, name))
        return *s;
    doc.sections.push_back(Section{(u'[' + name + u']').toUtf8(), name, {}});
    return doc.sections.back();
}

bool storable(const QString& text) {
    return !text.contains(QChar(0));
}

// Values of other types are only carried along, never written through the API.
bool storable(const RegValue& value) {
    return value.type != RegValue::Other && storable(value.text);
}

bool setValue(const QString& path, RegRoot root, const QString& key, const QString& name,
              const RegValue& value) {
    const auto full = fullKeyName(root, key);
    if (!full || !storable(name) || !storable(value))
        return false;
    return changeFile(path, [&](Document& doc) {
        Section& section = ensureSection(doc, *full);
        if (Entry* e = findEntry(section, name)) {
            e->value = value;
            e->raw.clear();
        } else {
            Entry entry;
            entry.understood = true;
            entry.name = name;
            entry.value = value;
            section.entries.push_back(std::move(entry));
        }
        return Outcome::Changed;
    });
}

} // namespace

QString regRootName(RegRoot root) {
    switch (root) {
    case RegRoot::Users:
        return QStringLiteral("HKEY_USERS");
    case RegRoot::LocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case RegRoot::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    }
    return QString();
}

RegistryFile::RegistryFile(QString path)
    : path_(std::move(path)) {}

QString RegistryFile::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // The XDG rules say a relative path here is to be ignored as well.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/korvalo/registry.reg");
}

bool RegistryFile::keyExists(RegRoot root, const QString& key) const {
    const auto full = fullKeyName(root, key);
    const auto doc = full ? load(path_) : std::nullopt;
    return doc && (findSection(*doc, *full) || hasSubkeys(*doc, *full));
}

bool RegistryFile::createKey(RegRoot root, const QString& key) {
    const auto full = fullKeyName(root, key);
    if (!full)
        return false;
    return changeFile(path_, [&](Document& doc) {
        if (findSection(doc, *full))
            return Outcome::Unchanged;
        ensureSection(doc, *full);
        return Outcome::Changed;
    });
}

std::optional<RegValue> RegistryFile::value(RegRoot root, const QString& key,
                                            const QString& name) const {
    const auto full = fullKeyName(root, key);
    auto doc = full ? load(path_) : std::nullopt;
    if (!doc)
        return std::nullopt;
    Section* section = findSection(*doc, *full);
    if (!section)
        return std::nullopt;
    const Entry* e = findEntry(*section, name);
    return e ? std::optional<RegValue>(e->value) : std::nullopt;
}

bool RegistryFile::setString(RegRoot root, const QString& key, const QString& name,
                             const QString& text) {
    return setValue(path_, root, key, name, RegValue::string(text));
}

bool RegistryFile::setDword(RegRoot root, const QString& key, const QString& name, uint32_t value) {
    return setValue(path_, root, key, name, RegValue::number(value));
}

bool RegistryFile::deleteValue(RegRoot root, const QString& key, const QString& name) {
    const auto full = fullKeyName(root, key);
    if (!full)
        return false;
    return changeFile(path_, [&](Document& doc) {
        Section* section = findSection(doc, *full);
        if (!section)
            return Outcome::Refused;
        auto& entries = section->entries;
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
            return e.understood && sameName(e.name, name);
        });
        if (it == entries.end())
            return Outcome::Refused;
        entries.erase(it);
        return Outcome::Changed;
    });
}

bool RegistryFile::deleteKey(RegRoot root, const QString& key) {
    const auto full = fullKeyName(root, key);
    if (!full)
        return false;
    return changeFile(path_, [&](Document& doc) {
        if (hasSubkeys(doc, *full))
            return Outcome::Refused;
        auto& sections = doc.sections;
        const auto it = std::find_if(sections.begin(), sections.end(), [&](const Section& s) {
            return !s.name.isEmpty() && sameName(s.name, *full);
        });
        if (it == sections.end())
            return Outcome::Refused;
        sections.erase(it);
        return Outcome::Changed;
    });
}

QStringList RegistryFile::valueNames(RegRoot root, const QString& key) const {
    QStringList names;
    const auto full = fullKeyName(root, key);
    const auto doc = full ? load(path_) : std::nullopt;
    if (!doc)
        return names;
    if (const Section* section = findSection(*doc, *full)) {
        for (const Entry& e : section->entries) {
            if (e.understood)
                names << e.name;
        }
    }
    return names;
}

QStringList RegistryFile::subkeyNames(RegRoot root, const QString& key) const {
    QStringList names;
    const auto full = fullKeyName(root, key);
    const auto doc = full ? load(path_) : std::nullopt;
    if (!doc)
        return names;
    const QString prefix = *full + u'\\';
    for (const Section& s : doc->sections) {
        if (!s.name.startsWith(prefix, Qt::CaseInsensitive))
            continue;
        const QString name = s.name.mid(prefix.size()).section(u'\\', 0, 0);
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

bool RegistryFile::replaceValues(RegRoot root, const QString& key,
                                 const std::vector<std::pair<QString, RegValue>>& values) {
    const auto full = fullKeyName(root, key);
    if (!full)
        return false;
    for (const auto& [name, value] : values) {
        if (!storable(name) || !storable(value))
            return false;
    }
    return changeFile(path_, [&](Document& doc) {
        Section& section = ensureSection(doc, *full);
        section.entries.clear();
        for (const auto& [name, value] : values) {
            Entry entry;
            entry.understood = true;
            entry.name = name;
            entry.value = value;
            addEntry(section, std::move(entry));
        }
        return Outcome::Changed;
    });
}

} // namespace korvalo
