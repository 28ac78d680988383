#!/usr/bin/env bash
# Fetches a Debian source package (with Debian's patches applied) into the
# given folder, once per build tree:  fetch.sh <source package> <folder>
set -euo pipefail
pkg=$1 dest=$2
[ -f "$dest/.fetched" ] && exit 0
mkdir -p "$(dirname "$dest")"
work=$(mktemp -d "${dest%/}.XXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! apt-get source -qq -o APT::Sandbox::User=root --download-only "$pkg" >/dev/null 2>&1; then
  # A mirror without the signature files still delivers the tarballs.
  ls "${pkg}"_*.dsc >/dev/null 2>&1 || { echo "$pkg: apt-get source failed (is the deb-src entry set up? run scripts/setup.sh)" >&2; exit 1; }
fi
dsc=$(ls "${pkg}"_*.dsc | head -n 1)
# Check the tarballs against the checksums the .dsc lists (an upstream
# signature the mirror lacks is not needed to unpack them).
awk '/^Checksums-Sha256:/{f=1;next} /^[^ ]/{f=0} f&&NF==3{print $1"  "$3}' "$dsc" \
  | grep -v '\.asc$' | sha256sum -c --quiet -
dpkg-source --no-check -x "$dsc" src >/dev/null
basename "$dsc" .dsc > src/.fetched
rm -rf "$dest"; mkdir -p "$(dirname "$dest")"
mv src "$dest"
echo "$pkg: fetched $(cat "$dest/.fetched")"
