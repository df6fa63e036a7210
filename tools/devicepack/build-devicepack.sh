#!/usr/bin/env bash
# Builds an encrypted device pack (".vdp") from the sources in a pack folder:
#   csv/*.csv            option tables: "base" and one per model or six-character model family
#   js/DevicePack/*.js   per-model UI scripts; a line "//@include common" pulls in common.js.in
#   manifest.in          the manifest, with @VERSION@ standing for the version
#   VERSION              the pack version (major.minor.patch)
# The scripts are compiled into qml/DevicePack.rcc, everything is packed as tar.gz and encrypted
# the way the program reads it: openssl enc -aes-256-cbc -md md5 -salt with its pass phrase.
#
# Usage: build-devicepack.sh [--sources DIR] [--version X.Y.Z] [--out DIR] [--rcc PATH]
# Prints the path of the written file, DevicePack-<version>.vdp in the output folder.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
sources="$here/pack"
out="$here"
version=""
rcc="${RCC:-}"
while (($#)); do
    case "$1" in
    --sources) sources=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --rcc) rcc=$2; shift 2 ;;
    *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
done
[[ -n "$version" ]] || version=$(tr -d ' \n' <"$sources/VERSION")
if [[ ! "$version" =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "version must be major.minor.patch, got '$version'" >&2
    exit 2
fi
if [[ -z "$rcc" ]]; then
    for candidate in /usr/lib/qt5/bin/rcc "$(command -v rcc || true)"; do
        [[ -x "$candidate" ]] && rcc=$candidate && break
    done
fi
[[ -x "$rcc" ]] || { echo "rcc not found (package qtbase5-dev-tools)" >&2; exit 1; }
command -v openssl >/dev/null || { echo "openssl not found (package openssl)" >&2; exit 1; }
[[ -f "$sources/csv/base.csv" ]] || { echo "no csv/base.csv in $sources" >&2; exit 1; }

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir -p "$stage/pack/csv" "$stage/pack/qml" "$stage/qrc/js/DevicePack"

# Every table must start with a "Version=" line, or the program refuses it.
for table in "$sources"/csv/*.csv; do
    if ! head -n1 "$table" | grep -q '^Version='; then
        echo "$table: first line must begin with Version=" >&2
        exit 1
    fi
    cp "$table" "$stage/pack/csv/"
done

qrc="$stage/qrc/DevicePack.qrc"
{
    echo '<!DOCTYPE RCC><RCC version="1.0"><qresource prefix="/">'
    for script in "$sources"/js/DevicePack/*.js; do
        name=$(basename "$script")
        common="$sources/js/DevicePack/common.js.in"
        while IFS= read -r line || [[ -n "$line" ]]; do
            if [[ "$line" == "//@include common" ]]; then
                cat "$common"
            else
                printf '%s\n' "$line"
            fi
        done <"$script" >"$stage/qrc/js/DevicePack/$name"
        echo "    <file>js/DevicePack/$name</file>"
    done
    echo '</qresource></RCC>'
} >"$qrc"
"$rcc" -binary "$qrc" -o "$stage/pack/qml/DevicePack.rcc"

sed "s/@VERSION@/$version/g" "$sources/manifest.in" >"$stage/pack/manifest"

# Fixed owners, order and times, so the archive depends on the sources alone.
tar -C "$stage/pack" --owner=0 --group=0 --numeric-owner --sort=name --mtime=@0 \
    -czf "$stage/pack.tar.gz" manifest csv qml

mkdir -p "$out"
target="$out/DevicePack-$version.vdp"
openssl enc -aes-256-cbc -md md5 -salt -pass pass:Qm3tRw8LpZx2Vn6Kd0Hsa \
    -in "$stage/pack.tar.gz" -out "$target"
echo "$target"
