#!/usr/bin/env bash
# Prints the Windows target the build runs here: i686 (the product, a 32-bit
# program) where this machine runs 32-bit code under Wine, else x86_64.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
