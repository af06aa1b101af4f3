// The Netscape bookmarks reader over any bytes: the tree is sound, the lines
// come in file order, and decoding the character references changes the
// texts only as decodeHtmlEntities does, never the shape of the tree.

#include "BookmarkChecks.h"

#include "browser/NetscapeBookmarks.h"

#include <QStringDecoder>

using namespace korvalo;

namespace {

void checkDecoded(const BookmarkList& written, const BookmarkList& decoded, int& lastLine) {
    FUZZ_CHECK(written.size() == decoded.size());
    for (size_t i = 0; i < written.size(); ++i) {
        const BookmarkNode& w = written[i];
        const BookmarkNode& d = decoded[i];
        FUZZ_CHECK(w.kind == d.kind && w.line == d.line);
        FUZZ_CHECK(w.line > lastLine);
        lastLine = w.line;
        // As written, a caption ends at the tag after it.
        FUZZ_CHECK(w.kind == BookmarkNode::Separator || !w.caption.contains(u'<'));
        FUZZ_CHECK(!w.address.contains(u' ') && !w.address.contains(u'>'));
        FUZZ_CHECK(d.caption == decodeHtmlEntities(w.caption));
        FUZZ_CHECK(d.address == decodeHtmlEntities(w.address));
        FUZZ_CHECK(d.caption.size() <= w.caption.size());
        checkDecoded(w.children, d.children, lastLine);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto written = ParseNetscapeBookmarks(bytes, HtmlText::AsWritten);
    const auto decoded = ParseNetscapeBookmarks(bytes, HtmlText::Decoded);
    FUZZ_CHECK(written.has_value() == decoded.has_value());
    if (written) {
        fuzz::checkTree(*written, false, fuzz::Source::Lines);
        int lastLine = 0;
        checkDecoded(*written, *decoded, lastLine);
    }

    // Character references alone: text without '&' stays as it is, and
    // decoding never lengthens a text.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    const QString plain = decodeHtmlEntities(text);
    FUZZ_CHECK(plain.size() <= text.size());
    if (!text.contains(u'&'))
        FUZZ_CHECK(plain == text);
    return 0;
}
