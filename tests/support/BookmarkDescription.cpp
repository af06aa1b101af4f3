#include "support/BookmarkDescription.h"

namespace korvalo::test {

std::string describe(const BookmarkList& entries, int indent) {
    std::string out;
    for (const BookmarkNode& node : entries) {
        out += std::string(size_t(indent), ' ');
        switch (node.kind) {
        case BookmarkNode::Folder:
            out += "[" + node.caption.toStdString() + "]\n";
            out += describe(node.children, indent + 2);
            break;
        case BookmarkNode::Bookmark:
            out += node.caption.toStdString() + " -> " + node.address.toStdString() + "\n";
            break;
        case BookmarkNode::Separator:
            out += node.caption.toStdString() + "\n";
            break;
        }
    }
    return out;
}

} // namespace korvalo::test
