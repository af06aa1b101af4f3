#pragma once

#include <cstdint>
#include <string_view>

namespace korvalo {

class SiteRowBuffer;

// The order the search results are listed in, by their Windows-1256
// addresses, the same on every machine whatever its locale.
//
// Addresses compare letter by letter as a dictionary does: punctuation and
// symbols before digits, digits before Latin letters, Latin letters before
// Arabic ones; Latin letters without regard to case or accent (a, A and à
// are one letter); Arabic letters in their alphabetical order, a letter with
// hamza or madda as its bare form (أ, إ and آ as ا, ؤ as و, ئ as ي) and ة as
// ه, as the search folds it. Addresses that are the same letter for letter
// compare by their bytes, and equal ones keep their order.
class AddressOrder {
public:
    // True when a goes before b; false for equal addresses.
    static bool less(std::string_view a, std::string_view b);

    // Puts the rows in the order of their addresses; equal ones keep the
    // order they were added in.
    static void sort(SiteRowBuffer& rows);
};

} // namespace korvalo
