#!/usr/bin/env bash
# Writes OUT: the journal's source SRC with the fault NAME planted in it, for a build of the
# crash replay that must see that fault (tests/store/CMakeLists.txt). Fails when a line to
# change is no longer in SRC, so that a plant cannot silently stop being planted.
# plant_journal.sh NAME SRC OUT
set -euo pipefail
name="$1" src="$2" out="$3"
text="$(cat "$src")"

plant() {
    if [[ "$text" != *"$1"* ]]; then
        echo "plant_journal.sh : « $1 » n'est plus dans $src" >&2
        exit 1
    fi
    text="${text/"$1"/"$2"}"
}

case "$name" in
rollback)
    # A save that returned rolled back after a power cut: its entry cleared without a
    # sync, and the open rolling back a write that is whole.
    plant 'file_->writeAt(blank, sizeof blank, 0);' \
        'file_->writeAt(blank, sizeof blank, 0); pending_ = false; return;'
    plant 'return whole ? Finding::Whole : Finding::RollBack;' 'return Finding::RollBack;'
    ;;
foreign)
    # A journal applied to whatever Q7.dat is there.
    plant 'if (!belongs(data, e, whole)) return Finding::Foreign;' 'belongs(data, e, whole);'
    ;;
*)
    echo "plant_journal.sh : défaut inconnu : $name" >&2
    exit 2
    ;;
esac
printf '%s\n' "$text" >"$out.new"
mv "$out.new" "$out"
