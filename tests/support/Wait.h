#pragma once

#include <functional>

namespace korvalo::test {

// Processes events until condition holds or timeoutMs pass; returns whether
// it held. Use it with EXPECT_TRUE: Qt Test's QTRY macros report to Qt Test,
// not to GoogleTest, and a failure there would pass unnoticed.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);

} // namespace korvalo::test
