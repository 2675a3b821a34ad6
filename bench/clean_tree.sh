#!/usr/bin/env bash
# Times tidora-cli's analysis and cleaning of a generated temp tree against find(1) on an
# identical copy, and shows the analysis's peak memory for the full tree and a tenth of it.
# usage: clean_tree.sh BUILD_DIR [FILES]
set -euo pipefail

build=$1
files=${2:-100000}
cli=$build/src/app/tidora-cli
make_tree=$build/bench/tidora-bench-make-tree
make_prefix=$build/tests/tidora-make-demo-prefix

work=$(mktemp -d "${TMPDIR:-/tmp}/tidora-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
# The tool's settings, working database and the host trash stay inside the work folder.
export HOME=$work/home XDG_DATA_HOME=$work/data

seconds() { # command... -> elapsed seconds on stdout
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
}

peak_kib() { # command... -> maximum resident set size in KiB
    /usr/bin/time -v "$@" 2>&1 >/dev/null | awk -F': ' '/Maximum resident set size/ {print $2}'
}

prefix_with_tree() { # name count -> prefix folder with the tree inside the user's Temp
    local prefix=$work/$1
    "$make_prefix" "$prefix" >/dev/null
    local temp
    temp=$(find "$prefix/drive_c/users" -mindepth 2 -maxdepth 2 -iname temp -type d | head -n 1)
    "$make_tree" "$temp/bench" "$2"
    echo "$prefix"
}

echo "Generating two copies of a tree of $files files..."
"$make_tree" "$work/find-tree" "$files"
prefix=$(prefix_with_tree prefix "$files")
small=$(prefix_with_tree small $((files / 10)))
sync

find_scan=$(seconds find "$work/find-tree" -type f -printf '%s\n')
tidora_scan=$(seconds "$cli" analyze --items 11 --prefix "$prefix")
memory_full=$(peak_kib "$cli" analyze --items 11 --prefix "$prefix")
memory_small=$(peak_kib "$cli" analyze --items 11 --prefix "$small")

find_delete=$(seconds find "$work/find-tree" -type f -delete)
tidora_clean=$(seconds "$cli" clean --items 11 --prefix "$prefix")
left=$(find "$prefix/drive_c" -path '*emp/bench/*' -type f | wc -l)

printf 'analysis: find %.2f s, tidora-cli analyze %.2f s, ratio %.2f (target <= 2.0)\n' \
    "$find_scan" "$tidora_scan" "$(echo "$tidora_scan / $find_scan" | bc -l)"
printf 'cleaning: find -delete %.2f s, tidora-cli clean %.2f s, ratio %.2f (target <= 1.2)\n' \
    "$find_delete" "$tidora_clean" "$(echo "$tidora_clean / $find_delete" | bc -l)"
printf 'peak memory of the analysis: %s KiB for %s files, %s KiB for %s files\n' \
    "$memory_full" "$files" "$memory_small" $((files / 10))
echo "files left in the tree after the cleaning: $left"
