#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace korvalo::reliability {

// One program directory as the program sees it: the site file, "cate.dat",
// "favorites.dat" and the scratch folder, plus a settings file and a browser
// favourites folder of its own.
struct ProgramDir {
    std::string prog; // ends with '/'

    std::string site() const { return prog + "weburl.kvl"; }
    std::string cate() const { return prog + "cate.dat"; }
    std::string favorites() const { return prog + "favorites.dat"; }
    std::string registry() const { return prog + "config/registry.reg"; }
    std::string shortcuts() const { return prog + "favs"; }
};

// The content of every file that counts, by path under the program
// directory; a missing file is missing from the map.
using Files = std::map<std::string, std::string>;

// A starting directory: sites sites over six categories, a few favourites,
// settings and shortcuts.
Files initialFiles(int sites);

// Replaces the whole program directory with files. withWorkFiles also puts
// the lock files and an old scratch file there, as after earlier runs.
void restore(const ProgramDir& dir, const Files& files, bool withWorkFiles = true);
Files snapshot(const ProgramDir& dir);

// Removes the temporary files that killed writers left, as the start-up does,
// and returns how many there were. Anything else that is not one of the
// program's own files is reported in stray.
int cleanUp(const ProgramDir& dir, std::string* stray);

enum class Outcome { Done = 0, Failed = 1, Partial = 2 };
const char* outcomeName(Outcome outcome);

// The k-th operation of a fixed cycle that goes through every operation that
// writes: adding, editing and deleting sites, the password, categories (add,
// rename, delete), favourites (add, clear), settings, typed history and
// browser shortcuts. Each refers only to what the operations before it in
// the cycle made, so it can run on the files they left.
constexpr int kCycle = 16;
Outcome runOperation(const ProgramDir& dir, uint64_t k);
std::string describeOperation(uint64_t k);

// What an operation may leave besides the generations before and after it.
struct Leeway {
    std::string appendFile; // an append killed in its write leaves a fragment here
    bool twoSteps = false;  // a category delete: sites gone, category not yet
};
Leeway leewayOf(uint64_t k);

// The files between the two steps of the category delete k, computed on dir
// (which holds the generation before it and is left with the one between).
void runFirstStepOfDelete(const ProgramDir& dir, uint64_t k);

// Whether now is before with a fragment of one record added to file.
bool isBeforeWithFragment(const Files& before, const Files& now, const std::string& file);

// A short account of how two generations differ, for a report.
std::string difference(const Files& expected, const Files& found);

} // namespace korvalo::reliability
