#include "data/Records.h"
#include "data/RecordReader.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace korvalo;

namespace {

uint8_t shifted(int value, int times = 1) {
    return static_cast<uint8_t>(value + times * kShift);
}

SiteBytes encode(const SiteRecord& r) {
    SiteBytes b{};
    EXPECT_TRUE(EncodeSiteRecord(r, b));
    return b;
}

std::string bytesOf(const SiteBytes& b) {
    return std::string(b.begin(), b.end());
}

} // namespace

TEST(SiteRecordLayout, shortUrlAndCategoryOneAreStoredShiftedWithPlainHighBytes) {
    const SiteBytes b = encode({"abc", 1, "", "", 0, 0});
    EXPECT_EQ(b[0], shifted('a'));
    EXPECT_EQ(b[1], shifted('b'));
    EXPECT_EQ(b[2], shifted('c'));
    EXPECT_EQ(b[3], kShift) << "the terminator is stored as K";
    for (size_t i = 4; i < 80; ++i)
        EXPECT_EQ(b[i], kShift) << "zero padding after the NUL sits in the shifted range, byte "
                                << i;
    EXPECT_EQ(b[80], shifted(1));
    EXPECT_EQ(b[81], 0);
    EXPECT_EQ(b[82], 0);
    EXPECT_EQ(b[83], 0);
}

TEST(SiteRecordLayout, languageFirstByteIsShiftedTwiceAndDecodesBack) {
    // U+0639 ARABIC LETTER AIN is 0xDA in Windows-1256.
    const std::string ain("\xDA");
    const SiteBytes b = encode({"x", 2, "t", ain + "\xD1\xC8\xED", 0, 0});
    EXPECT_EQ(b[159], shifted(0xDA, 2));
    EXPECT_EQ(b[160], shifted(0xD1));
    EXPECT_EQ(b[163], kShift);
    EXPECT_EQ(b[167], kShift) << "the last language byte is in the third range";
    const SiteRecord back = DecodeSiteRecord(b);
    EXPECT_EQ(back.Language, ain + "\xD1\xC8\xED");
    EXPECT_EQ(storedSiteLanguage(b.data()), back.Language);
}

TEST(SiteRecordLayout, integersOutsideTheRangesArePlainLittleEndian) {
    const SiteBytes b = encode({"u", 0x12345678, "t", "", 1, 7});
    EXPECT_EQ(b[80], shifted(0x78)) << "only the lowest byte of CategoryId is shifted";
    EXPECT_EQ(b[81], 0x56);
    EXPECT_EQ(b[82], 0x34);
    EXPECT_EQ(b[83], 0x12);
    EXPECT_EQ(b[168], 1);
    EXPECT_EQ(b[169], 0);
    EXPECT_EQ(b[172], 7);
    EXPECT_EQ(b[175], 0);

    // A low byte that wraps past 255 must not carry into the next byte.
    for (int32_t id : {255, 256 - kShift, -1, INT32_MIN, INT32_MAX}) {
        const SiteBytes w = encode({"u", id, "", "", -5, INT32_MIN});
        const SiteRecord r = DecodeSiteRecord(w);
        EXPECT_EQ(r.CategoryId, id);
        EXPECT_EQ(r.UserMark, -5);
        EXPECT_EQ(r.SubCategoryId, INT32_MIN);
        EXPECT_EQ(storedSiteCategoryId(w.data()), id);
    }
}

TEST(SiteRecordLayout, textsThatDoNotFitAreRefusedAndNothingIsWritten) {
    SiteBytes out;
    out.fill(0xEE);
    const SiteBytes before = out;
    EXPECT_FALSE(EncodeSiteRecord({std::string(80, 'a'), 1, "", "", 0, 0}, out));
    EXPECT_FALSE(EncodeSiteRecord({"a", 1, std::string(75, 'b'), "", 0, 0}, out));
    EXPECT_FALSE(EncodeSiteRecord({"a", 1, "", std::string(9, 'c'), 0, 0}, out));
    EXPECT_FALSE(EncodeSiteRecord({std::string("a\0b", 3), 1, "", "", 0, 0}, out));
    EXPECT_EQ(out, before);

    // The longest texts that fit fill their arrays up to the terminator and
    // do not touch the neighbouring field.
    const SiteRecord full{std::string(79, 'u'), 3, std::string(74, 't'), std::string(8, 'l'), 1, 2};
    const SiteBytes b = encode(full);
    EXPECT_EQ(b[79], kShift);
    EXPECT_EQ(b[158], kShift);
    EXPECT_EQ(b[167], kShift);
    EXPECT_EQ(DecodeSiteRecord(b), full);

    const auto e = checkSiteRecord({"a", 1, std::string(75, 'b'), "", 0, 0});
    ASSERT_TRUE(e);
    EXPECT_EQ(e->field, TextField::Title);
    EXPECT_EQ(e->maxLength, 74u);
}

TEST(SiteRecordLayout, storedFieldReadersAgreeWithTheFullDecode) {
    // The scans read single fields straight from the stored bytes; they must
    // give exactly what the full decode gives, for any content.
    std::mt19937 rng(1256);
    for (int i = 0; i < 2000; ++i) {
        SiteBytes raw;
        for (auto& byte : raw)
            byte = static_cast<uint8_t>(rng());
        if (i % 3 == 0) // also records with terminators in the usual places
            raw[rng() % 80] = kShift, raw[84 + rng() % 75] = kShift;
        const SiteRecord r = DecodeSiteRecord(raw);
        ASSERT_EQ(storedSiteUrl(raw.data()), r.Url);
        ASSERT_EQ(storedSiteTitle(raw.data()), r.Title);
        ASSERT_EQ(storedSiteLanguage(raw.data()), r.Language);
        ASSERT_EQ(storedSiteCategoryId(raw.data()), r.CategoryId);
        ASSERT_EQ(storedSiteSubCategoryId(raw.data()), r.SubCategoryId);
        ASSERT_EQ(storedUrlKey(r.Url).matches(raw.data()), r.Url.size() < 80)
            << "a stored Url always matches its own decoded text";
    }
}

TEST(SiteRecordLayout, storedUrlKeyComparesExactly) {
    const SiteBytes b = encode({"http://a.com", 1, "", "", 0, 0});
    EXPECT_TRUE(storedUrlKey("http://a.com").matches(b.data()));
    EXPECT_FALSE(storedUrlKey("http://A.com").matches(b.data())) << "case counts";
    EXPECT_FALSE(storedUrlKey("http://a.co").matches(b.data())) << "a prefix is not equal";
    EXPECT_FALSE(storedUrlKey("http://a.com ").matches(b.data())) << "no trimming";
    EXPECT_FALSE(storedUrlKey(std::string(200, 'x')).matches(b.data()));
}

TEST(CategoryRecordLayout, nameOf69RoundTripsAndPaddingIsIgnored) {
    const CategoryRecord r{std::string(69, '\xC7'), 42, 1, 0, 1};
    CategoryBytes b{};
    ASSERT_TRUE(EncodeCategoryRecord(r, b));
    EXPECT_EQ(b[0], shifted(0xC7));
    EXPECT_EQ(b[69], kShift);
    EXPECT_EQ(b[70], 0);
    EXPECT_EQ(b[72], 42) << "the Id is never shifted";
    EXPECT_EQ(b[76], 1);
    EXPECT_EQ(b[84], 1);
    b[70] = 0x55;
    b[71] = 0xAA;
    EXPECT_EQ(DecodeCategoryRecord(b), r);
    EXPECT_EQ(storedCategoryName(b.data()), r.Name);

    CategoryBytes untouched{};
    EXPECT_FALSE(EncodeCategoryRecord({std::string(70, 'n'), 1, 1, 0, 0}, untouched));
    EXPECT_EQ(untouched, CategoryBytes{});
}

TEST(RecordReader, readsWholeRecordsAndIgnoresATrailingFragment) {
    test::TempDir dir;
    const SiteBytes a = encode({"a", 1, "", "", 0, 0});
    const SiteBytes b = encode({"b", 2, "", "", 0, 0});

    struct Case {
        std::string content;
        uint64_t records;
        uint64_t fragment;
    };
    for (const Case& c : {Case{"", 0, 0}, Case{bytesOf(a) + bytesOf(b), 2, 0},
                          Case{bytesOf(a) + bytesOf(b) + std::string(8, 'x'), 2, 8},
                          Case{std::string(175, 'x'), 0, 175}}) {
        test::writeFile(dir.file("f"), c.content);
        RecordReader reader(kSiteRecordSize);
        ASSERT_TRUE(reader.open(dir.file("f")));
        uint64_t n = 0;
        while (reader.next())
            ++n;
        EXPECT_EQ(n, c.records) << c.content.size() << " bytes";
        EXPECT_EQ(reader.fragmentBytes(), c.fragment) << c.content.size() << " bytes";
        EXPECT_FALSE(reader.failed());
    }

    RecordReader missing(kSiteRecordSize);
    EXPECT_FALSE(missing.open(dir.file("absent")));
    EXPECT_EQ(missing.next(), nullptr);
}

TEST(RecordReader, readsRecordsAppendedAfterOpen) {
    // The buffer is sized from the file's length at open; an append made
    // while the file is read must still come through.
    test::TempDir dir;
    test::writeFile(dir.file("f"), bytesOf(encode({"0", 1, "", "", 0, 0})));
    RecordReader reader(kSiteRecordSize);
    ASSERT_TRUE(reader.open(dir.file("f")));
    std::string more;
    for (int i = 1; i < 50; ++i)
        more += bytesOf(encode({std::to_string(i), 1, "", "", 0, 0}));
    test::writeFile(dir.file("f"), bytesOf(encode({"0", 1, "", "", 0, 0})) + more);
    int n = 0;
    while (const uint8_t* rec = reader.next())
        ASSERT_EQ(storedSiteUrl(rec), std::to_string(n++));
    EXPECT_EQ(n, 50);
}

TEST(RecordReader, keepsOrderAcrossBlockBoundaries) {
    // More than one read block, with a fragment at the end.
    test::TempDir dir;
    std::string content;
    const int count = 20011;
    for (int i = 0; i < count; ++i)
        content += bytesOf(encode({std::to_string(i), i, "", "", 0, 0}));
    content += "xyz";
    test::writeFile(dir.file("big"), content);

    RecordReader reader(kSiteRecordSize);
    ASSERT_TRUE(reader.open(dir.file("big")));
    int expected = 0;
    while (const uint8_t* rec = reader.next()) {
        ASSERT_EQ(storedSiteUrl(rec), std::to_string(expected));
        ++expected;
    }
    EXPECT_EQ(expected, count);
    EXPECT_EQ(reader.fragmentBytes(), 3u);
}
