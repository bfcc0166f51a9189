#!/usr/bin/env bash
# Regenerates repair/repair_table_data.inc from plain.txt. Needs a host C++
# compiler and OpenSSL's development files (Debian: g++ libssl-dev).
# The key text must be the one the program holds (RepairTableKey).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++17 -O2 -Wall -Wextra -Werror -o "$work/generate_repair_table" \
  "$here/generate_repair_table.cpp" -lcrypto
"$work/generate_repair_table" "$here/plain.txt" "修复Vt" > "$work/table.inc"
mv "$work/table.inc" "$top/repair/repair_table_data.inc"
echo "written: repair/repair_table_data.inc"
