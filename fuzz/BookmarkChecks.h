#pragma once

// What every bookmark reader's tree must be, whatever it was read from.

#include "FuzzSupport.h"

#include "browser/BookmarkTree.h"

#include <QList>
#include <QString>

#include <algorithm>

namespace korvalo::fuzz {

struct TreeShape {
    size_t entries = 0;
    int depth = 0; // folder levels, the outermost list being 1
};

enum class Source {
    Lines,  // read line by line: no text can hold a line break
    Values, // JSON or database values, which may hold anything
};

// Folders alone hold entries, separators read "-", bookmarks carry their
// address; with shortened, no caption is longer than a menu shows.
inline void checkTree(const BookmarkList& entries, bool shortened, Source source, TreeShape& shape,
                      int depth = 1) {
    FUZZ_CHECK(depth <= kMaxBookmarkDepth + 1);
    shape.depth = std::max(shape.depth, depth);
    for (const BookmarkNode& node : entries) {
        ++shape.entries;
        if (source == Source::Lines)
            FUZZ_CHECK(!node.caption.contains(u'\n') && !node.address.contains(u'\n'));
        if (shortened)
            FUZZ_CHECK(node.caption.toUcs4().size() <= 45);
        switch (node.kind) {
        case BookmarkNode::Folder:
            FUZZ_CHECK(node.address.isEmpty());
            checkTree(node.children, shortened, source, shape, depth + 1);
            break;
        case BookmarkNode::Separator:
            FUZZ_CHECK(node.caption == QStringLiteral("-") && node.children.empty());
            break;
        case BookmarkNode::Bookmark:
            FUZZ_CHECK(node.children.empty());
            break;
        }
    }
    FUZZ_CHECK(shape.entries <= kMaxBookmarkEntries);
}

inline TreeShape checkTree(const BookmarkList& entries, bool shortened, Source source) {
    TreeShape shape;
    checkTree(entries, shortened, source, shape);
    return shape;
}

} // namespace korvalo::fuzz
