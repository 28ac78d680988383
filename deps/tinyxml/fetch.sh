#!/usr/bin/env bash
# Fetches TinyXML from Debian's source package (with Debian's patches applied)
# into the given folder, once per build tree.
set -euo pipefail
dest=$1
[ -f "$dest/src/tinyxml.cpp" ] && exit 0
work=$(mktemp -d "${dest%/}.XXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
if ! apt-get source -qq -o APT::Sandbox::User=root --download-only tinyxml >/dev/null 2>&1; then
  # A mirror without the signature files still delivers the tarballs.
  ls tinyxml_*.dsc >/dev/null 2>&1 || { echo "tinyxml: apt-get source failed (is the deb-src entry set up? run scripts/setup.sh)" >&2; exit 1; }
fi
dsc=$(ls tinyxml_*.dsc | head -n 1)
# Check the tarballs against the checksums the .dsc lists.
awk '/^Checksums-Sha256:/{f=1;next} /^[^ ]/{f=0} f&&NF==3{print $1"  "$3}' "$dsc" | sha256sum -c --quiet -
dpkg-source --no-check -x "$dsc" src >/dev/null
rm -rf "$dest"; mkdir -p "$(dirname "$dest")"
mv "$work" "$dest"
trap - EXIT
echo "tinyxml: fetched $(basename "$dsc" .dsc)"
