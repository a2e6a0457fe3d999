#!/usr/bin/env bash
# The house's layering, read off the sources: the record window (app/) includes the
# subsystems, never the other way round, and only app/ compiles the record window's form.
# check_layering.sh SOURCE_DIR
set -uo pipefail
src="$1/src"
faults=0
for dir in "$src"/*/; do
    name="$(basename "$dir")"
    [ "$name" = app ] && continue
    if grep -rn --include='*.h' --include='*.cpp' -E '#include "(app/|ui_Q7prin\.h)' "$dir"; then
        echo "ÉCHEC : $name/ inclut la fenêtre des fiches (app/)"
        faults=$((faults + 1))
    fi
done
# The core (no widgets) never includes a window or a widget.
for dir in store record; do
    if grep -rln --include='*.h' -E '#include <Q(Widget|Dialog|ComboBox|LineEdit|MainWindow)>' \
        "$src/$dir" | grep -v RecordWindow; then
        echo "ÉCHEC : $dir/ inclut des widgets"
        faults=$((faults + 1))
    fi
done
exit "$faults"
