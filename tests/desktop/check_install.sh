#!/usr/bin/env bash
# Installs the build into a temporary prefix, as a packager would, and checks each piece
# the desktop needs with the desktop's own tools; then starts the program the way its
# menu entry does.
# check_install.sh BUILD_DIR INSTALLED_FILES_LIST SOURCE_DIR
set -uo pipefail
build="$1" list="$2" source="$3"
work="$(mktemp -d)"
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "ÉCHEC : $*"; failures=$((failures + 1)); }

prefix="$work/prefix"
DESTDIR="$work/dest" cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
root="$work/dest$prefix"

outside="$(cd "$work/dest" && find . \( -type f -o -type l \) ! -path ".$prefix/*")"
[ -z "$outside" ] || fail "installé hors du préfixe : $outside"
while read -r f; do
    [ -e "$root/$f" ] || fail "manque $f"
done < "$list"
[ "$(readlink "$root/bin/Lirabel3")" = lirabel3 ] || fail "bin/Lirabel3 n'est pas un lien vers lirabel3"
# The program finds its help as ../share/lirabel3 from its own folder.
cmp -s "$root/bin/../share/lirabel3/Q7aide.txt" "$source/resources/Q7aide.txt" || fail "Q7aide.txt"

desktop="$root/share/applications/lirabel3.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
warnings="$(for page in lirabel3 lirabel3-import; do
    zcat "$root/share/man/man1/$page.1.gz" | LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z
done 2>&1)"
# Each page names the other, and both carry the same date.
zcat "$root/share/man/man1/lirabel3.1.gz" | grep -q 'lirabel3\\-import (1)' ||
    fail "lirabel3(1) ne renvoie pas à lirabel3-import(1)"
zcat "$root/share/man/man1/lirabel3-import.1.gz" | grep -q '^\.BR lirabel3 (1)' ||
    fail "lirabel3-import(1) ne renvoie pas à lirabel3(1)"
dates="$(for page in lirabel3 lirabel3-import; do
    zcat "$root/share/man/man1/$page.1.gz" | sed -n 's/^\.TH [^ ]* 1 "\([^"]*\)".*/\1/p'
done | sort -u | wc -l)"
[ "$dates" = 1 ] || fail "les deux pages de manuel n'ont pas la même date"
[ -z "$warnings" ] || fail "page de manuel : $warnings"

# Each PNG has the size of its folder (width and height from the IHDR chunk).
for png in "$root"/share/icons/hicolor/*x*/apps/lirabel3.png; do
    size="$(basename "$(dirname "$(dirname "$png")")")"
    read -r w h < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{ print $1*16777216 + $2*65536 + $3*256 + $4, $5*16777216 + $6*65536 + $7*256 + $8 }')
    [ "${w}x${h}" = "$size" ] || fail "$png mesure ${w}x${h}"
done

# The menu entry's command, as the desktop runs it: the catalogue lands in ~/Lirabel3.
exec_line="$(sed -n 's/^Exec=//p' "$desktop")"
case "$exec_line" in *%*) fail "Exec contient un code de champ : $exec_line" ;; esac
read -ra command <<< "$exec_line"
home="$work/home"
mkdir -p "$home"
(cd "$home" && HOME="$home" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
    PATH="$root/bin:$PATH" exec "${command[@]}") 2>"$work/stderr" &
pid=$!
catalogue="$home/Lirabel3/Q7.dat"
for _ in $(seq 300); do
    [ -e "$catalogue" ] && ! flock -n "$catalogue" true && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if [ -e "$catalogue" ] && ! flock -n "$catalogue" true; then
    left="$(cd "$home" && find . -mindepth 1 ! -name 'Q7*.lst' | sort | tr '\n' ' ')"
    [ "$left" = "./Lirabel3 ./Lirabel3/Q7.dat " ] || fail "le dossier personnel contient : $left"
    # The folder the menu made is ready: its fifteen value lists, empty.
    lists="$(find "$home/Lirabel3" -maxdepth 1 -name 'Q7*.lst' -empty | wc -l)"
    [ "$lists" = 15 ] || fail "$lists listes vides dans ~/Lirabel3 au lieu de 15"
else
    fail "le menu n'a pas ouvert ~/Lirabel3/Q7.dat : $(cat "$work/stderr")"
fi
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""

[ "$failures" -eq 0 ] && echo "Installation complète et valide."
exit $((failures > 0))
