#pragma once

#include <QString>

namespace korvalo {

// The maker's server as built in: "http://" and its host name, no trailing
// slash. Every address of the online services starts with ServerBaseAddress().
inline constexpr char kServerBaseAddress[] = "http://korvalo.example";

// kServerBaseAddress, or the environment variable KORVALO_SERVER when it
// holds an http:// or https:// address (tests, private deployments); its
// trailing slashes are dropped so that a path can follow directly.
QString ServerBaseAddress();

} // namespace korvalo
