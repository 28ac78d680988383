#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine (run as root).
# Idempotent: quick when everything is already there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# fonts-wine carries Marlett, the font of the caption buttons' glyphs.
need_pkgs=(cmake ninja-build mingw-w64 mingw-w64-tools wine32:i386 wine64 libwine-dev fonts-wine
           xvfb xauth x11-apps googletest imagemagick dpkg-dev)
# Further packages that parts of the build list one per line.
for list in "$here"/packages-*.txt; do
  [ -f "$list" ] || continue
  while read -r p; do
    case "$p" in ''|'#'*) ;; *) need_pkgs+=("$p") ;; esac
  done < "$list"
done

# The Debian source package of our one library dependency is fetched at
# build time, from the mirror the machine already uses.
src_list=/etc/apt/sources.list.d/tavell-burner-src.sources
# The Debian mirror of the machine's own bookworm entry and its keyring
# (deb822 lists first, then one-line lists); empty when there is none.
debian_mirror() {
  awk '
    function take() {
      if (!done && t ~ / deb / && (" " s " ") ~ / bookworm / && u != "") { print u, k; done = 1 }
      t = ""; u = ""; s = ""; k = ""
    }
    FNR == 1 { take() }
    /^[ \t]*$/ { take(); next }
    /^Types:/ { $1 = ""; t = $0 " " }
    /^URIs:/ { u = $2 }
    /^Suites:/ { $1 = ""; s = $0 }
    /^Signed-By:/ { k = $2 }
    /^deb[ \t]/ {
      line = $0; sub(/\[[^]]*\]/, "", line); n = split(line, f, /[ \t]+/)
      if (n >= 3 && f[3] == "bookworm" && !done) { print f[2]; done = 1 }
    }
    END { take() }
  ' "$@" /dev/null 2>/dev/null
}

missing=()
for p in "${need_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
fresh_src=0
# Wine's 32-bit half comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  fresh_src=1
fi
if [ ! -f "$src_list" ]; then
  lists=()
  for f in /etc/apt/sources.list.d/*.sources /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && lists+=("$f")
  done
  read -r mirror keyring < <(debian_mirror "${lists[@]}") || true
  if [ -z "${mirror:-}" ]; then
    echo "setup: this machine's apt configuration has no Debian bookworm 'deb' entry." >&2
    echo "setup: add one (a .sources file under /etc/apt/sources.list.d/ or a line in" >&2
    echo "setup: /etc/apt/sources.list, suite bookworm, component main) and run this again:" >&2
    echo "setup: the build fetches Debian source packages from the same mirror." >&2
    exit 1
  fi
  cat > "$src_list" <<SRC
Types: deb-src
URIs: $mirror
Suites: bookworm
Components: main
Signed-By: ${keyring:-/usr/share/keyrings/debian-archive-keyring.gpg}
SRC
  fresh_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $fresh_src = 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
fi
echo "setup: packages ready"
