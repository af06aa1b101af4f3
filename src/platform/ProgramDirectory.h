#pragma once

#include <QString>

namespace korvalo {

// The folder that holds the directory's data files, ending with '/'.
// KORVALO_HOME wins when set. Otherwise it is the executable's folder; an
// installed copy (whose folder holds no site file but whose data was
// installed under ../share/korvalo) works in the user's data folder instead,
// seeded from the installed files the first time.
QString resolveProgramDirectory(const QString& executableDir);

} // namespace korvalo
