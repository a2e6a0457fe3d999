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

dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's#^\./##' > "$work/contents"
while read -r f; do
    grep -qx "usr/$f" "$work/contents" || fail "le paquet ne contient pas usr/$f"
done < "$list"
dpkg-deb -c "$deb" | grep -q ' \./usr/bin/Lirabel3 -> lirabel3$' || fail "usr/bin/Lirabel3 n'est pas un lien"

depends="$(dpkg-deb -f "$deb" Depends)"
echo "Dépend de : $depends"
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 libstdc++6 \
    qt6-translations-l10n fonts-urw-base35 fonts-dejavu-core; do
    grep -Eq "(^|, |\| )$needed( |,|$)" <<< "$depends" || fail "ne dépend pas de $needed"
done
[ "$(dpkg-deb -f "$deb" Package)" = lirabel3 ] || fail "nom du paquet"

# The packaged program itself starts.
dpkg-deb -x "$deb" "$work/root"
version="$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/lirabel3" --version 2>&1)"
[ "$version" = "Lirabel3 $(dpkg-deb -f "$deb" Version)" ] || fail "lirabel3 --version : $version"

[ "$failures" -eq 0 ] && echo "Paquet complet."
exit $((failures > 0))
