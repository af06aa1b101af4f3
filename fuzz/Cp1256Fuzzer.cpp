// The Windows-1256 conversion: every byte string comes back from Unicode
// unchanged, and text converts exactly when it holds only characters the
// code page has.

#include "FuzzSupport.h"

#include "data/Cp1256.h"

using namespace korvalo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto back = Cp1256::fromUnicode(Cp1256::toUnicode(bytes));
    FUZZ_CHECK(back && *back == bytes);

    // The same bytes read as UTF-16 text, two by two.
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    const auto encoded = Cp1256::fromUnicode(text);
    FUZZ_CHECK(encoded.has_value() == !Cp1256::firstUnrepresentable(text).has_value());
    if (encoded)
        FUZZ_CHECK(Cp1256::toUnicode(*encoded) == text);
    return 0;
}
