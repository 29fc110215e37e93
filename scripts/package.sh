#!/usr/bin/env bash
# Sets up the machine, builds Pakico.exe and writes the release zip dist/Pakico-<version>.zip:
# the program, its Japanese readme Pakico.txt and the licence.
#
#   package.sh           the zip of this tree, from build/win
#   package.sh --check   builds the last commit twice, from two clones in two temporary folders
#                        one after the other, and compares: the programs and the zips must be the
#                        same bytes, and neither program may hold a folder of either build.
#                        Prints both hashes; exits 1 when they differ.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export PAKICO_BUILD="$root/build"

"$root/scripts/setup.sh" || exit 1

# Builds the zip of the tree $1 in its build/win; prints the zip's path.
build_zip() {
    local tree=$1
    PAKICO_BUILD="$tree/build" "$tree/scripts/build-win.sh" release_zip >/dev/null || return 1
    local zips=("$tree"/build/win/dist/Pakico-*.zip)
    [ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || return 1
    echo "${zips[0]}"
}

if [ "${1:-}" != "--check" ]; then
    zip=$(build_zip "$root") || { echo "package: the build failed" >&2; exit 1; }
    mkdir -p "$root/dist"
    rm -f "$root"/dist/Pakico-*.zip
    cp "$zip" "$root/dist/"
    echo "dist/$(basename "$zip")  sha256 $(sha256sum "$zip" | cut -d' ' -f1)"
    [ -z "$(git -C "$root" status --porcelain 2>/dev/null)" ] ||
        echo "package: the tree has changes not committed; the zip holds them" >&2
    exit 0
fi

commit=$(git -C "$root" rev-parse HEAD) || exit 1
[ -z "$(git -C "$root" status --porcelain)" ] ||
    echo "package: changes not committed are left out; checking commit $commit" >&2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Two folders of different names and depths; the second build starts after the first has ended,
# with another time zone, so that no time can hide in the result.
trees=("$scratch/one/Pakico" "$scratch/second-build/deeper/pakico-check")
zips=()
for i in 0 1; do
    tree=${trees[$i]}
    mkdir -p "$(dirname "$tree")"
    git clone -q --no-checkout "$root" "$tree" && git -C "$tree" checkout -q --detach "$commit" ||
        exit 1
    echo "== build $((i + 1)) in $tree"
    zip=$(TZ=$([ "$i" -eq 0 ] && echo UTC || echo Asia/Tokyo) build_zip "$tree") ||
        { echo "package: build $((i + 1)) failed" >&2; exit 1; }
    zips+=("$zip")
done

status=0
for i in 0 1; do
    exe="${trees[$i]}/build/win/bin/Pakico.exe"
    echo "build $((i + 1)): Pakico.exe sha256 $(sha256sum "$exe" | cut -d' ' -f1)"
    echo "build $((i + 1)): $(basename "${zips[$i]}") sha256 $(sha256sum "${zips[$i]}" | cut -d' ' -f1)"
    # No folder of either build in the program, in its narrow or its UTF-16 strings, written
    # with slashes, backslashes or (as in names made from a path) underscores.
    texts=$(strings -a "$exe"; strings -a -el "$exe")
    for tree in "${trees[@]}" "$scratch"; do
        for form in "$tree" "${tree//\//\\}" "${tree//[^A-Za-z0-9]/_}"; do
            if grep -qF -- "$form" <<<"$texts"; then
                echo "package: build $((i + 1)) holds the path $form" >&2
                status=1
            fi
        done
    done
done
cmp -s "${trees[0]}/build/win/bin/Pakico.exe" "${trees[1]}/build/win/bin/Pakico.exe" ||
    { echo "package: the two programs differ" >&2; status=1; }
cmp -s "${zips[0]}" "${zips[1]}" || { echo "package: the two zips differ" >&2; status=1; }
[ $status -eq 0 ] && echo "package: the two builds are the same, byte for byte"
exit $status
