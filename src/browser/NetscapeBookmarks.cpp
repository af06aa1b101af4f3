#include "browser/NetscapeBookmarks.h"

namespace korvalo {

namespace {

// The text from the first '>' at or after from up to the next '<' (or the
// end of the line); nullopt when there is no '>'.
std::optional<QByteArrayView> textAfterTag(QByteArrayView line, qsizetype from) {
    const qsizetype open = line.indexOf('>', from);
    if (open < 0)
        return std::nullopt;
    qsizetype close = line.indexOf('<', open + 1);
    if (close < 0)
        close = line.size();
    return line.sliced(open + 1, close - open - 1);
}

struct Link {
    QByteArrayView address;
    QByteArrayView caption;
};

std::optional<Link> parseLink(QByteArrayView line) {
    qsizetype pos = line.indexOf("HREF") + 4;
    char quote = 0;
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"' || c == '\'')
            quote = c;
        else if (c != ' ' && c != '=')
            break;
    }
    const qsizetype start = pos;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '>' &&
           (quote == 0 || line[pos] != quote))
        ++pos;
    const auto caption = textAfterTag(line, start);
    if (!caption)
        return std::nullopt;
    return Link{line.sliced(start, pos - start), *caption};
}

} // namespace

std::optional<BookmarkList> ParseNetscapeBookmarks(QByteArrayView html, HtmlText text) {
    const auto decode = [text](QByteArrayView bytes) {
        QString s = decodeBookmarkText(bytes);
        return text == HtmlText::Decoded ? decodeHtmlEntities(s) : s;
    };
    BookmarkList top;
    // The folders being read, innermost last. Only the innermost list grows,
    // so the pointers to the outer ones stay valid.
    std::vector<BookmarkList*> levels{&top};
    EntryBudget budget;
    int lineNumber = 0;
    qsizetype pos = 0;
    while (pos < html.size()) {
        qsizetype end = html.indexOf('\n', pos);
        if (end < 0)
            end = html.size();
        QByteArrayView line = html.sliced(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (line.endsWith('\r'))
            line.chop(1);

        BookmarkList& level = *levels.back();
        if (const qsizetype h = line.indexOf("<H3"); h >= 0) {
            const auto caption = textAfterTag(line, h + 2);
            if (!caption)
                continue;
            if (!budget.take() || levels.size() > size_t(kMaxBookmarkDepth))
                return std::nullopt;
            level.push_back(BookmarkNode::folder(decode(*caption)));
            level.back().line = lineNumber;
            levels.push_back(&level.back().children);
        } else if (line.contains("</DL")) {
            if (levels.size() == 1)
                break; // the end of the outermost list ends the file's bookmarks
            levels.pop_back();
        } else if (line.contains("<HR")) {
            if (!budget.take())
                return std::nullopt;
            level.push_back(BookmarkNode::separator());
            level.back().line = lineNumber;
        } else if (line.contains("<A ") && line.contains("HREF")) {
            const auto link = parseLink(line);
            if (!link)
                continue;
            if (!budget.take())
                return std::nullopt;
            level.push_back(BookmarkNode::bookmark(decode(link->caption), decode(link->address)));
            level.back().line = lineNumber;
        }
    }
    return top;
}

} // namespace korvalo
