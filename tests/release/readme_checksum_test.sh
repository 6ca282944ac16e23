#!/usr/bin/env bash
# The README gives the SHA-256 of the unlocker this commit builds, so that a recipient can
# compare: any change to the unlocker's bytes must update it.
set -euo pipefail
unlocker=$1 readme=$2
sum=$(sha256sum "$unlocker" | cut -c1-64)
if ! grep -q "^    $sum\$" "$readme"; then
    echo "README.md does not give the unlocker's SHA-256 $sum (section \"Checking a package\")" >&2
    exit 1
fi
echo "README.md gives the unlocker's SHA-256 $sum"
