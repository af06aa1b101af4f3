#pragma once

namespace korvalo::kvl {

// kvl's exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kBadInput = 1; // nothing written
inline constexpr int kUsage = 2;

} // namespace korvalo::kvl
