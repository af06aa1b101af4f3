#pragma once

#include "data/Records.h"

#include <string>
#include <vector>

namespace korvalo::test {

// Builds data files from records, for tests that need a directory on disk.
std::string encodeSites(const std::vector<SiteRecord>& sites);
std::string encodeCategories(const std::vector<CategoryRecord>& categories);
void writeSites(const std::string& path, const std::vector<SiteRecord>& sites);
void writeCategories(const std::string& path, const std::vector<CategoryRecord>& categories);

// Every whole record of a data file, decoded; empty when it is missing.
std::vector<SiteRecord> readSites(const std::string& path);
std::vector<CategoryRecord> readCategories(const std::string& path);

// Windows-1256 bytes from UTF-8 text (for Arabic literals in tests).
std::string cp(const char* utf8);

} // namespace korvalo::test
