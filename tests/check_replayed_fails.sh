#!/usr/bin/env bash
# The replay check must be able to fail: a file that starts writing, planted into a copy
# of the sources, and a replay row gone, each make it fail; the untouched copy passes.
# check_replayed_fails.sh SOURCE_DIR
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

copy() {
    rm -rf "$work/tree" && mkdir -p "$work/tree/tests/store" "$work/tree/tests/app"
    cp -r "$1/src" "$work/tree/src"
    cp "$1/tests/store/tst_crash.cpp" "$work/tree/tests/store/"
    cp "$1/tests/app/tst_crashwindow.cpp" "$work/tree/tests/app/"
}

faults=0
check() { bash "$here/check_replayed.sh" "$work/tree" >/dev/null; }
copy "$1"
if ! check; then
    echo "ÉCHEC : la copie intacte des sources est refusée"
    faults=$((faults + 1))
fi
while IFS='|' read -r file line why; do
    copy "$1"
    printf '%s\n' "$line" >>"$work/tree/$file"
    if check; then
        echo "ÉCHEC : non vu : $why ($file : $line)"
        faults=$((faults + 1))
    fi
done <<'PLANTS'
src/lists/ListShelf.cpp|void f(const Folder& d) { replaceFile(d, "Q7x.lst", "y"); }|a new file writes through the layer
src/search/Scan.cpp|  file.open(QIODevice::WriteOnly);|an existing file starts writing around the layer
src/maint/Stats.cpp|  auto f = fs.open(p, OpenMode::CreateNew);|a file opened for writing
PLANTS
copy "$1"
sed -i 's/"fiche en texte"/"autre chose"/' "$work/tree/tests/store/tst_crash.cpp"
if check; then
    echo "ÉCHEC : non vu : une ligne nommée qui n'est plus rejouée"
    faults=$((faults + 1))
fi
exit "$faults"
