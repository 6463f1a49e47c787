#!/usr/bin/env bash
# The man pages in docs/man are what scripts/man-pages makes from the programs'
# own --help now (the month in the title line aside).
#   ManPagesTest.sh SOURCE_DIR BIN_DIR
set -euo pipefail
source_dir=$1 bin=$2
if ! command -v help2man > /dev/null; then
    echo "SKIP: help2man is not installed (scripts/bootstrap installs it)"
    exit 77
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$source_dir/scripts/man-pages" "$bin" "$scratch"
for page in splicebox.1 kivtool.1; do
    if ! diff -u -I '^\.TH ' "$source_dir/docs/man/$page" "$scratch/$page"; then
        echo "FAIL: docs/man/$page is out of date; run scripts/man-pages $bin" >&2
        exit 1
    fi
done
echo ok
