#!/usr/bin/env bash
# Every source file that writes files is listed here with the crash-replay rows that cut
# its writes after each step (tests/store/tst_crash.cpp, tests/app/tst_crashwindow.cpp),
# or with the reason it needs none. A new file that writes fails until its command is
# replayed and named here with one line; a row named here must exist in the replay.
# check_replayed.sh SOURCE_DIR
set -uo pipefail
root="$1"
src="$root/src"

# file|replay rows, ";" between them|or, after "-", why none
table='
app/EditCommands.cpp|fenêtre : enregistrer (fiche changée);fenêtre : effacer
companions/Notebook.cpp|carnet;fenêtre : carnet
import/Append.cpp|importer --ajouter;importer --annuler
import/ImportLists.cpp|importer --ajouter --listes
lists/OldReferences.cpp|effacer;fenêtre : reprendre un ancien numéro
loans/LoanRegister.cpp|registre des prêts
maint/CatalogueSort.cpp|trier (première lettre);trier (auteur en tête)
output/ExportRunner.cpp|exporter (TXT);exporter (CSV) hors du dossier des données
output/PocketPage.cpp|exporter (catalogue de poche)
output/RecordText.cpp|fiche en texte
widgets/ListValues.cpp|fenêtre : insérer dans liste (auteur)
maint/Q7graph.cpp|fenêtre : enregistrer le graphique
overview/Q7vue.cpp|fenêtre : exporter la liste du tableau
output/OutputFile.cpp|- the exports writer, replayed with them
output/OutputFile.h|- the exports writer, replayed with them
maint/ChartPaint.cpp|- writes an image into memory only
output/Thumbnails.cpp|- writes a thumbnail into memory only
covers/CoverImage.cpp|- encodes a JPEG into memory only
covers/CoverStore.cpp|couverture : nouvelle;couverture : remplacée;couverture : suit la référence;couverture : mise dans Sauvegardes
platform/QtSettingsBackend.cpp|- the user settings file (Qt writes it whole), not the data folder
app/StartFolder.cpp|- empty lists made in a new folder: each absent or empty, both whole
'

# Writes through the file layer, or around it.
writes='OpenMode::(ReadWrite|CreateNew|Create)\b|(\.|->)(rename|link)\(|replaceFile\(|writeListFile\(|\bOutputFile\b|beginRewrite\(|commitRewrite\(|\bdata_?\.write\(|QIODevice::(WriteOnly|ReadWrite|Append)|QSaveFile|std::ofstream|\bfopen\('

faults=0
fail() {
    echo "ÉCHEC : $*"
    faults=$((faults + 1))
}

replay="$(cat "$root/tests/store/tst_crash.cpp" "$root/tests/app/tst_crashwindow.cpp")"
declare -A listed=()
while IFS='|' read -r file rows; do
    [ -z "$file" ] && continue
    listed[$file]=1
    [ ! -f "$src/$file" ] && fail "src/$file, dans la table de $0, n'existe plus"
    [[ "$rows" == -* ]] && continue
    IFS=';' read -ra names <<<"$rows"
    for name in "${names[@]}"; do
        grep -qF "\"$name\"" <<<"$replay" || fail "src/$file : la ligne « $name » n'est pas rejouée"
    done
done <<<"$table"

# The file layer itself (store/) is what the replay records.
while read -r path; do
    file="${path#"$src"/}"
    [[ "$file" == store/* ]] && continue
    [ -n "${listed[$file]+set}" ] && continue
    fail "src/$file écrit des fichiers : rejouez sa commande (tst_crash ou tst_crashwindow)" \
        "et nommez-la dans la table de $0"
done < <(grep -rlE --include='*.h' --include='*.cpp' "$writes" "$src" | sort)
exit "$faults"
