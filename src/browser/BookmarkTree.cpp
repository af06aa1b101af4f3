#include "browser/BookmarkTree.h"

#include "data/Cp1256.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvalo {

namespace {

constexpr qsizetype kShortLength = 45;
constexpr qsizetype kKeptEachSide = 21;

void shortenLevel(BookmarkList& entries, int depth) {
    for (BookmarkNode& node : entries) {
        node.caption = ShortenCaption(node.caption);
        // The trees are depth-bounded when built; the check keeps this safe
        // for a tree built elsewhere.
        if (depth < kMaxBookmarkDepth)
            shortenLevel(node.children, depth + 1);
    }
}

std::optional<char32_t> namedEntity(QStringView name) {
    static constexpr struct {
        const char16_t* name;
        char32_t value;
    } kNames[] = {{u"amp", u'&'},  {u"lt", u'<'},    {u"gt", u'>'},
                  {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", 0xA0}};
    for (const auto& n : kNames) {
        if (name == QStringView(n.name))
            return n.value;
    }
    return std::nullopt;
}

std::optional<char32_t> numericEntity(QStringView digits) {
    int base = 10;
    if (digits.startsWith(u'x') || digits.startsWith(u'X')) {
        base = 16;
        digits = digits.sliced(1);
    }
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    bool ok = false;
    const uint value = digits.toUInt(&ok, base);
    if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return char32_t(value);
}

} // namespace

QString ShortenCaption(const QString& text) {
    if (text.size() <= kShortLength)
        return text;
    const QList<uint> points = text.toUcs4();
    if (points.size() <= kShortLength)
        return text;
    QList<uint> kept = points.first(kKeptEachSide);
    for (int i = 0; i < 3; ++i)
        kept.append(uint('.'));
    kept.append(points.last(kKeptEachSide));
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(kept.constData()), kept.size());
}

void shortenCaptions(BookmarkList& entries) {
    shortenLevel(entries, 0);
}

int MenuSizeLimit(int fullScreenHeight, int menuItemHeight) {
    if (fullScreenHeight <= 0 || menuItemHeight <= 0)
        return 0;
    const int limit = fullScreenHeight / menuItemHeight - 4;
    return limit < 3 ? 0 : limit;
}

std::vector<std::span<const BookmarkNode>> LayoutMenu(std::span<const BookmarkNode> entries,
                                                      int limit) {
    std::vector<std::span<const BookmarkNode>> pages;
    const size_t perPage = limit > 0 ? size_t(limit - 1) : entries.size();
    for (size_t from = 0; from < entries.size(); from += perPage)
        pages.push_back(entries.subspan(from, std::min(perPage, entries.size() - from)));
    return pages;
}

void sortDroppingDuplicates(BookmarkList& entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const BookmarkNode& a, const BookmarkNode& b) {
                         return a.caption.compare(b.caption, Qt::CaseInsensitive) < 0;
                     });
    const auto end = std::unique(entries.begin(), entries.end(),
                                 [](const BookmarkNode& a, const BookmarkNode& b) {
                                     return a.caption.compare(b.caption, Qt::CaseInsensitive) == 0;
                                 });
    entries.erase(end, entries.end());
}

QString decodeBookmarkText(QByteArrayView bytes) {
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1256::toUnicode(std::string_view(bytes.data(), size_t(bytes.size())));
}

QString decodeHtmlEntities(const QString& text) {
    qsizetype amp = text.indexOf(u'&');
    if (amp < 0)
        return text;
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (amp >= 0) {
        out += QStringView(text).sliced(from, amp - from);
        const qsizetype semi = text.indexOf(u';', amp + 1);
        // References are short; a far ';' belongs to something else.
        std::optional<char32_t> value;
        if (semi > amp + 1 && semi - amp <= 10) {
            const QStringView name = QStringView(text).sliced(amp + 1, semi - amp - 1);
            value = name.startsWith(u'#') ? numericEntity(name.sliced(1)) : namedEntity(name);
        }
        if (value) {
            out += QString::fromUcs4(&*value, 1);
            from = semi + 1;
        } else {
            out += u'&';
            from = amp + 1;
        }
        amp = text.indexOf(u'&', from);
    }
    out += QStringView(text).sliced(from);
    return out;
}

std::optional<QByteArray> readBookmarkFile(const QString& path, qint64 maxSize) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxSize) {
        ::close(fd);
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.st_size));
    qsizetype got = 0;
    // A file that grows while it is read is cut at the size it had.
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += n;
    }
    ::close(fd);
    bytes.truncate(got);
    return bytes;
}

} // namespace korvalo
