#!/usr/bin/env bash
# Unpacks a Debian source package, with Debian's patches applied, into
# TREE. The source index comes from the archives this machine already uses
# for its binary packages: each configured "deb" entry is asked for its
# "deb-src" twin in a private apt state, so the machine's own apt
# configuration is left as it is and no archive is named here.
# Usage: scripts/fetch-debian-source.sh PACKAGE[=VERSION] TREE
set -euo pipefail
package=${1:?usage: $0 PACKAGE[=VERSION] TREE}
tree=$(realpath -m "${2:?usage: $0 PACKAGE[=VERSION] TREE}")
"$(dirname "$0")"/install-deps.sh dpkg-dev

work=$tree.apt
rm -rf "$work" "$tree"
mkdir -p "$work/lists/partial" "$work/download"
apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Created-By: Packages' |
    sort -u | sed 's/^/deb-src /' >"$work/sources.list"
if [[ ! -s $work/sources.list ]]; then
    echo "$0: apt has no configured archive to ask for the source of $package" >&2
    exit 1
fi
apt_options=(-o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o APT::Sandbox::User=root)
apt-get "${apt_options[@]}" -qq update
(cd "$work/download" && apt-get "${apt_options[@]}" -qq source --download-only "$package")
# apt-get has checked every file against the archive's signed index already.
dpkg-source --no-check -x "$(ls "$work"/download/*.dsc)" "$tree" >/dev/null
rm -rf "$work"
