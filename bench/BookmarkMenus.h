#pragma once

namespace korvalo::bench {

class TableReporter;

// The bookmark menus of a Firefox-sized profile: building them from the
// tree read, and the whole rebuild from the profile's database.
void registerBookmarkMenus(TableReporter& table);

} // namespace korvalo::bench
