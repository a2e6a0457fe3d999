#!/usr/bin/env bash
# The house's layering, read off the sources: which folder of src/ may include which.
# Each folder includes its own files and those its row names, nothing else; app/ (the
# record window and the program) includes everything. A folder without a row fails, so a
# new one is placed here with one line.
# check_layering.sh SOURCE_DIR
set -uo pipefail
src="$1/src"

base="store platform settings widgets record" # what every subsystem builds on
declare -A may=(
    [store]=""
    [platform]="store"
    [settings]="store platform"
    [widgets]="store platform"
    [record]="store platform settings"
    [search]="$base"
    [lists]="$base"
    [output]="$base covers" # the pocket page's thumbnails, the cover the HTML page links
    [maint]="$base output" # the statistics print on the output's paper
    [companions]="$base"
    [overview]="$base output covers" # the list prints on the output's paper
    [lookup]="$base covers" # a found book's cover
    [covers]="store platform settings record"
    [loans]="$base output" # the list of books out prints on the output's paper
    [import]="store record lookup loans covers" # lirabel3-import: no window, no settings
    [app]="*"
)

# Sets target to the folder of src/ that PATH (from the top of the tree) names once its
# "." and ".." are taken away; empty when it names none.
folderOf() {
    local IFS=/ part
    local -a parts=()
    target=""
    for part in $1; do
        case "$part" in
        "" | .) ;;
        ..)
            [ ${#parts[@]} -gt 0 ] || return 0
            unset 'parts[-1]'
            ;;
        *) parts+=("$part") ;;
        esac
    done
    [ ${#parts[@]} -ge 3 ] && [ "${parts[0]}" = src ] && target="${parts[1]}"
    return 0
}

faults=0
fail() {
    echo "ÉCHEC : $*"
    faults=$((faults + 1))
}

for dir in "$src"/*/; do
    name="$(basename "$dir")"
    if [ -z "${may[$name]+set}" ]; then
        fail "src/$name/ n'a pas de ligne dans la table de $0"
        continue
    fi
    [ "${may[$name]}" = "*" ] && continue
    allowed=" $name ${may[$name]} "
    # Quoted or in angle brackets, with "." or ".." anywhere: read as the compiler finds it.
    include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]+)[">]'
    while IFS=: read -r file line text; do
        [[ "$text" =~ $include ]] || continue
        path="${BASH_REMATCH[2]}"
        target=""
        # Quotes look beside the including file first; both forms then look in src/.
        if [ "${BASH_REMATCH[1]}" = '"' ]; then
            beside="${file#"$1"/}"
            beside="${beside%/*}"
            folderOf "$beside/$path"
            [ -n "$target" ] && [ -e "$1/$beside/$path" ] || target=""
        fi
        [ -n "$target" ] || folderOf "src/$path"
        [ -n "$target" ] && [ -d "$src/$target" ] || continue # another library's header
        case "$allowed" in
        *" $target "*) ;;
        *) fail "${file#"$1"/}:$line inclut $target/ ($text)" ;;
        esac
    done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][^">]*/' "$dir")
    # Only app/ compiles the record window's form.
    if grep -rn --include='*.h' --include='*.cpp' -E '#[[:space:]]*include[[:space:]]*"ui_Q7prin\.h"' "$dir"; then
        fail "$name/ inclut le formulaire de la fenêtre des fiches"
    fi
done

# The core's shared folders never include a window or a widget.
for dir in store record; do
    if grep -rln --include='*.h' -E '#include <Q(Widget|Dialog|ComboBox|LineEdit|MainWindow)>' \
        "$src/$dir" | grep -v RecordWindow; then
        fail "$dir/ inclut des widgets"
    fi
done
exit "$faults"
