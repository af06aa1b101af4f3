#!/usr/bin/env bash
# Builds the Debian package korvalo_<version>_<arch>.deb into the repository's
# folder, with Debian's hardening flags, then checks it: lintian must report
# no error, and the program, unpacked with dpkg -x into a throwaway folder,
# must start from there on its shipped directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-package"
cd "$root"

"$root/scripts/install-deps.sh"
missing=()
for p in dpkg-dev lintian; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKORVALO_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)"

rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no package" >&2; exit 1; }
deb="$root/$(basename "${debs[0]}")"
mv "${debs[0]}" "$deb"

echo "== lintian =="
lintian --fail-on error "$deb"

echo "== The unpacked package =="
unpacked=$(mktemp -d)
chmod 755 "$unpacked" # the checks run as another user, who must be able to enter it
trap 'chmod -R u+w "$unpacked"; rm -rf "$unpacked"' EXIT
dpkg -x "$deb" "$unpacked"
bash "$root/tests/packaging/installed-tree.sh" "$unpacked/usr"

echo "Package: $deb"
