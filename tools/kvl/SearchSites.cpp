#include "SearchSites.h"

#include "ExitStatus.h"

#include "data/Cp1256.h"
#include "data/RecordReader.h"
#include "data/Records.h"
#include "data/SiteRowBuffer.h"
#include "platform/PageBuffer.h"
#include "search/AddressOrder.h"
#include "search/SiteMatcher.h"

#include <QString>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <iostream>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvalo::kvl {

namespace {

// Each Windows-1256 byte as UTF-8: the output is most of the work when the
// query is common, so it is written without going through QString.
class Utf8Table {
public:
    Utf8Table() {
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QByteArray utf8 = Cp1256::toUnicode(std::string_view(&byte, 1)).toUtf8();
            uint32_t entry = uint32_t(utf8.size()) << 24;
            std::memcpy(&entry, utf8.constData(), size_t(utf8.size())); // at most three bytes
            entries_[size_t(b)] = entry;
        }
    }

    // At most three bytes for each byte of text, and up to sixteen that may
    // be written past the end.
    static size_t most(std::string_view text) { return 3 * text.size() + 16; }

    char* write(char* out, std::string_view text) const {
        const char* in = text.data();
        const char* const end = in + text.size();
        while (in < end) {
#if defined(__SSE2__)
            // Addresses are mostly ASCII, which stays as it is, sixteen
            // bytes at a time. The texts may be read past their end.
            const __m128i piece = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
            if (_mm_movemask_epi8(piece) == 0) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out), piece);
                const size_t n = std::min<size_t>(16, size_t(end - in));
                in += n;
                out += n;
                continue;
            }
#endif
            // Eight bytes at a time: their entries are looked up at once,
            // and only the adding of their lengths waits on the one before.
            const size_t n = std::min<size_t>(8, size_t(end - in));
            for (size_t i = 0; i < n; ++i) {
                const uint32_t entry = entries_[static_cast<unsigned char>(in[i])];
                std::memcpy(out, &entry, 4);
                out += entry >> 24;
            }
            in += n;
        }
        return out;
    }

private:
    // The bytes of each one's UTF-8, and their count in the highest byte.
    std::array<uint32_t, 256> entries_{};
};

int32_t storedInt(const uint8_t* at) {
    return static_cast<int32_t>(uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 |
                                uint32_t(at[3]) << 24);
}

} // namespace

bool isSearchCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "search")
        return false;
    return args.size() == 4 ? args[1] == "--address" : args.size() == 3 && args[1] != "--address";
}

int searchSites(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const bool address = args.size() == 4;
    const std::string& file = args.back();
    // The command line is UTF-8; a character Windows-1256 has no byte for
    // occurs in no record, so such a query finds nothing, as in the panel.
    const std::string query =
        Cp1256::fromUnicode(QString::fromStdString(args[args.size() - 2])).value_or("");

    RecordReader reader(kSiteRecordSize);
    if (!reader.open(file)) {
        err << "kvl: cannot open " << file << "\n";
        return kBadInput;
    }
    const SiteMatcher matcher(query, address ? SearchScope::Address : SearchScope::Description);
    SiteRowBuffer rows;
    // Each row's number is its place among the matches, which index these:
    // CategoryId, UserMark, SubCategoryId.
    using Numbers = std::array<int32_t, 3>;
    PageBuffer numberPages; // in pages of their own, as the rows' texts
    size_t found = 0;
    std::vector<uint32_t> hits;
    size_t count = 0;
    while (const uint8_t* block = reader.nextBlock(count)) {
        hits.clear();
        matcher.findIn(block, count, hits);
        if (!hits.empty() && found == 0) {
            // Room for every record: growing would copy what is there.
            rows.reserve(reader.recordsAtOpen());
            numberPages.reserve(reader.recordsAtOpen() * sizeof(Numbers), true);
        }
        for (uint32_t hit : hits) {
            const uint8_t* rec = block + size_t(hit) * kSiteRecordSize;
            if ((found + 1) * sizeof(Numbers) > numberPages.capacity())
                numberPages.reserve(2 * (found + 1) * sizeof(Numbers));
            rows.appendStored(rec, static_cast<uint32_t>(found));
            const Numbers n = {storedSiteCategoryId(rec), storedInt(rec + 168),
                               storedSiteSubCategoryId(rec)};
            std::memcpy(numberPages.data() + found++ * sizeof(Numbers), &n, sizeof n);
        }
    }
    if (reader.failed()) {
        err << "kvl: read error in " << file << "\n";
        return kBadInput;
    }
    if (reader.fragmentBytes() > 0)
        err << "kvl: " << file << ": trailing fragment of " << reader.fragmentBytes()
            << " bytes ignored\n";

    static const Utf8Table utf8;
    std::string text;
    size_t used = 0;
    AddressOrder::sort(rows);
    const auto numbersOf = [&](size_t row) {
        return reinterpret_cast<const Numbers*>(numberPages.data()) + rows.number(row);
    };
    for (size_t row = 0; row < rows.size(); ++row) {
        // Sorted, the rows lie all over their buffers: each row's texts are
        // asked for 16 rows ahead, its numbers, found through its texts, 8.
        if (row + 16 < rows.size())
            rows.prefetchRow(row + 16);
        if (row + 8 < rows.size())
            __builtin_prefetch(numbersOf(row + 8));
        const Numbers& n = *numbersOf(row);
        const std::string_view url = rows.url(row), title = rows.title(row),
                               language = rows.language(row);
        // Three numbers of at most eleven characters, six separators.
        const size_t most =
            Utf8Table::most(url) + Utf8Table::most(title) + Utf8Table::most(language) + 3 * 11 + 6;
        if (used + most > text.size()) {
            out.write(text.data(), static_cast<std::streamsize>(used));
            used = 0;
            text.resize(std::max<size_t>(1 << 16, most));
        }
        char* at = text.data() + used;
        at = utf8.write(at, url);
        *at++ = '\t';
        at = std::to_chars(at, at + 11, n[0]).ptr;
        *at++ = '\t';
        at = utf8.write(at, title);
        *at++ = '\t';
        at = utf8.write(at, language);
        *at++ = '\t';
        at = std::to_chars(at, at + 11, n[1]).ptr;
        *at++ = '\t';
        at = std::to_chars(at, at + 11, n[2]).ptr;
        *at++ = '\n';
        used = size_t(at - text.data());
    }
    out.write(text.data(), static_cast<std::streamsize>(used));
    out.flush();
    return rows.empty() ? kBadInput : kOk;
}

} // namespace korvalo::kvl
