#pragma once

#include "data/SiteRowBuffer.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvalo {

// The local search: a plain substring test over the site file after a fixed
// normalisation, so that the usual spelling variants of a word find it. All
// texts are Windows-1256 bytes.

enum class SearchScope {
    Description, // the site's Title, folded and upper-cased
    Address,     // the site's Url, upper-cased only
};

// Folds the Arabic letter forms users type interchangeably: أ, إ and آ become
// ا; ؤ becomes و; ة becomes ه; the stretching letter ـ is dropped. Every
// other byte stays (ئ, ى and ء included).
std::string FoldSearchText(std::string_view text);

// Upper-cases the 26 ASCII letters; every byte above 127 stays as it is.
std::string upperCaseAscii(std::string_view text);

// The query as the records are compared with it: upper-cased, then folded.
std::string prepareSearchQuery(std::string_view query);

struct SiteSearchResult {
    enum class Status {
        Done,
        SiteFileUnreadable,  // cannot be opened, or a read failed: no rows
        CategoryFileMissing, // a match needed a category name and "cate.dat" is missing
    };
    Status status = Status::SiteFileUnreadable;
    // The matches in file order, as stored: the address, the description and
    // as the row's number the index of its main category's name among
    // rows.categoryNames() (an empty name when no category has the record's
    // CategoryId).
    SiteRowBuffer rows;

    bool opened() const { return status != Status::SiteFileUnreadable; }
};

// Every site whose field (by scope) contains the prepared query as one run
// of bytes, in file order. A query that prepares to nothing (only stretching
// letters) matches no site. "cate.dat" is read once, at the first match.
SiteSearchResult SearchSites(const std::string& sitePath, const std::string& catePath,
                             std::string_view query, SearchScope scope);

// The rows in the order the result list shows them (see AddressOrder).
void sortByAddress(SiteRowBuffer& rows);

} // namespace korvalo
