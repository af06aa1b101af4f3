#include "browser/OperaHotList.h"

namespace korvalo {

namespace {

// Hands out the lines of a text one at a time, trimmed.
class LineReader {
public:
    explicit LineReader(QByteArrayView text)
        : text_(text) {}

    std::optional<QByteArrayView> next() {
        if (pos_ >= text_.size())
            return std::nullopt;
        qsizetype end = text_.indexOf('\n', pos_);
        if (end < 0)
            end = text_.size();
        const QByteArrayView line = text_.sliced(pos_, end - pos_).trimmed();
        pos_ = end + 1;
        return line;
    }

    // The next line that begins with prefix (lower-case ASCII), letter case
    // ignored; nullopt at the end of the text.
    std::optional<QByteArrayView> nextStartingWith(QByteArrayView prefix) {
        while (const auto line = next()) {
            if (startsWith(*line, prefix))
                return line;
        }
        return std::nullopt;
    }

    static bool startsWith(QByteArrayView line, QByteArrayView prefix) {
        return line.size() >= prefix.size() &&
               line.first(prefix.size()).compare(prefix, Qt::CaseInsensitive) == 0;
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

// The text after the first '='; a line without one gives itself whole.
QString valueOf(QByteArrayView line) {
    return decodeBookmarkText(line.sliced(line.indexOf('=') + 1));
}

} // namespace

std::optional<BookmarkList> ParseOperaHotList(QByteArrayView hotList) {
    BookmarkList top;
    // As in the Netscape reader: only the innermost list grows.
    std::vector<BookmarkList*> levels{&top};
    EntryBudget budget;
    LineReader lines(hotList);
    while (const auto line = lines.next()) {
        if (line->startsWith('-')) {
            if (levels.size() == 1)
                break;
            levels.pop_back();
            continue;
        }
        if (!line->startsWith('#'))
            continue;
        BookmarkList& level = *levels.back();
        if (LineReader::startsWith(*line, "#folder")) {
            const auto name = lines.nextStartingWith("name");
            if (!name)
                break;
            if (!budget.take() || levels.size() > size_t(kMaxBookmarkDepth))
                return std::nullopt;
            level.push_back(BookmarkNode::folder(ShortenCaption(valueOf(*name))));
            levels.push_back(&level.back().children);
        } else if (LineReader::startsWith(*line, "#url")) {
            const auto name = lines.nextStartingWith("name");
            const auto url = name ? lines.nextStartingWith("url") : std::nullopt;
            if (!url)
                break;
            if (!budget.take())
                return std::nullopt;
            level.push_back(BookmarkNode::bookmark(ShortenCaption(valueOf(*name)), valueOf(*url)));
        }
    }
    return top;
}

} // namespace korvalo
