#!/usr/bin/env bash
# Builds the Debian package from a clean clone of the committed tree,
# installs it with apt-get, checks what it installed, and removes it again so
# the machine stays as it was. Run as root (apt-get install).
#   packaging/check-package.sh [REPOSITORY]   (default: this checkout)
set -euo pipefail

repository=$(cd "${1:-$(dirname "$0")/..}" && pwd)
work=$(mktemp -d /tmp/nkq-package-check.XXXXXX)
installed=0
validator_installed=0
cleanup() {
  if ((installed)); then apt-get remove -y nkq-workstation >/dev/null || true; fi
  if ((validator_installed)); then apt-get purge -y desktop-file-utils >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

step() { printf '\n== %s\n' "$*"; }

step "clean clone of $repository"
git clone --quiet "$repository" "$work/src"
git -C "$work/src" log --oneline -1

step "build (release preset, without the tests) and package"
cd "$work/src"
nice -n 10 cmake --preset release -DNKQ_BUILD_TESTS=OFF >/dev/null
nice -n 10 cmake --build --preset release >/dev/null
(cd build/release && cpack -G DEB)
package=$(ls "$work"/src/build/release/nkq-workstation_*.deb)

step "package fields and contents"
dpkg-deb --field "$package" Package Version Architecture Depends
dpkg-deb --contents "$package" | awk '{print $6}' | grep -v '/$'

step "apt-get install $package"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$package" >/dev/null
installed=1
dpkg-query -W nkq-workstation

step "installed programs"
for program in nkq nkq-workstation nkq-virtual-modem; do command -v "$program"; done
nkq --help | head -3
nkq-virtual-modem --help | head -1
if ldd /usr/bin/nkq-workstation | grep 'not found'; then echo "missing libraries" >&2; exit 1; fi
echo "nkq-workstation: every shared library found"

step "man page"
man -w nkq
zcat "$(man -w nkq)" | head -1

step "desktop entry"
if ! command -v desktop-file-validate >/dev/null; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends desktop-file-utils >/dev/null
  validator_installed=1
fi
desktop-file-validate /usr/share/applications/nkq-workstation.desktop && echo "desktop entry valid"
grep '^Name=' /usr/share/applications/nkq-workstation.desktop
ls /usr/share/icons/hicolor/scalable/apps/nkq-workstation.svg

step "installed nkq against the installed virtual modem"
nkq-virtual-modem >"$work/modem.out" 2>&1 &
modem=$!
for _ in $(seq 50); do [[ -s "$work/modem.out" ]] && break; sleep 0.1; done
device=$(head -1 "$work/modem.out")
nkq --trace "$work/trace.log" read --port "$device" --output "$work/read.txt"
kill "$modem"
wait "$modem" 2>/dev/null || true
grep -c . "$work/read.txt"
grep -- '-> ' "$work/trace.log" | cut -c1-60

step "apt-get remove"
apt-get remove -y nkq-workstation >/dev/null
installed=0
for file in /usr/bin/nkq /usr/bin/nkq-workstation /usr/bin/nkq-virtual-modem \
            /usr/share/applications/nkq-workstation.desktop /usr/share/man/man1/nkq.1.gz; do
  if [[ -e $file ]]; then echo "$file is still there" >&2; exit 1; fi
done
echo "removed; none of the package's files is left"
