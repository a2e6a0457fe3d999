#!/usr/bin/env bash
# Builds the Debian package from the build tree and checks what it holds and needs.
# check_package.sh BUILD_DIR INSTALLED_FILES_LIST
set -uo pipefail
build="$1" list="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "ÉCHEC : $*"; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb="$(ls "$work"/*.deb)"
echo "Paquet : $(basename "$deb")"

dpkg-deb -c "$deb" > "$work/listing"
awk '{ print $6 }' "$work/listing" | sed 's#^\./##' > "$work/contents"
while read -r f; do
    grep -qxF "usr/$f" "$work/contents" || fail "le paquet ne contient pas usr/$f"
done < "$list"
grep -qF ' ./usr/bin/Lirabel3 -> lirabel3' "$work/listing" || fail "usr/bin/Lirabel3 n'est pas un lien"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Dépend de : $depends"
# Package names alone, alternatives included, without versions.
tr ',|' '\n\n' <<< "$depends" | awk '{ print $1 }' > "$work/depends"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6charts6 libqt6svg6 libc6 libstdc++6 \
    qt6-translations-l10n fonts-urw-base35 fonts-dejavu-core; do
    grep -qxF "$needed" "$work/depends" || fail "ne dépend pas de $needed"
done
[ "$(dpkg-deb -f "$deb" Package)" = lirabel3 ] || fail "nom du paquet"

# The packaged program itself starts.
dpkg-deb -x "$deb" "$work/root"
# Debian's machine-readable copyright file: its header and the program's one licence.
copyright="$work/root/usr/share/doc/lirabel3/copyright"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" ||
    fail "copyright : en-tête Format"
licence="$(sed -n 's/^License: //p' "$copyright" | sort -u)"
[ "$licence" = "GPL-3+" ] || fail "copyright : licences « $licence »"
grep -qF '/usr/share/common-licenses/GPL-3' "$copyright" || fail "copyright : texte de la GPL non désigné"
grep -q '@' <<< "$(grep -v 'Upstream-Contact' "$copyright")" && fail "copyright : réglage non remplacé"
version="$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/lirabel3" --version 2>/dev/null)"
[ "$version" = "Lirabel3 $(dpkg-deb -f "$deb" Version)" ] || fail "lirabel3 --version : $version"

[ "$failures" -eq 0 ] && echo "Paquet complet."
exit $((failures > 0))
