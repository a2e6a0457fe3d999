#!/bin/sh
# Key to result on screen, timed from outside the real program under Xvfb with a window
# manager: a fruitless author search and a fruitless word search, at 1 and 40 000 books;
# then the window benchmark on the same display, unless told "--outside-only".
#   bench/outside/run.sh BUILD_DIR [RUNS] [--outside-only]
# Needs Xvfb, openbox and xdotool.
set -eu
build=$(cd "$1" && pwd)
runs=${2:-7}
work=$(mktemp -d)
trap 'kill $app $wm $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
app= wm= xvfb=

key_to_screen="$build/bench/key_to_screen"
[ -x "$key_to_screen" ] || { echo "$key_to_screen manque : construisez le projet d'abord" >&2; exit 1; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
exec 3>&-
while [ ! -s "$work/display" ]; do sleep 0.1; done
DISPLAY=:$(cat "$work/display")
export DISPLAY
openbox >/dev/null 2>&1 &
wm=$!
sleep 1

median() { sort -n | awk '{v[NR]=$1} END {printf "%.1f", v[int((NR+1)/2)]}'; }
minmax() { sort -n | awk 'NR==1{lo=$1} {hi=$1} END {printf "%.1f - %.1f", lo, hi}'; }

focus() { # waits for a window of that title and gives it the keyboard
    xdotool search --sync --onlyvisible --name "^$1\$" windowactivate --sync >/dev/null 2>&1 ||
        xdotool search --sync --onlyvisible --name "^$1\$" windowfocus --sync
    sleep 0.3
}

for records in 1 40000; do
    folder="$work/c$records"
    mkdir -p "$folder" "$work/home"
    "$build/bench/q7bench_window" --write "$folder" "$records"
    HOME="$work/home" QT_QPA_PLATFORM=xcb "$build/Lirabel3" "$folder" >/dev/null 2>&1 &
    app=$!
    focus "Lirabel 3"
    : >"$work/author"
    : >"$work/word-alt+c"
    : >"$work/word-Return"
    i=0
    while [ $i -lt "$runs" ]; do
        # Author search: the criterion, a name no book has, then the timed Ctrl+C.
        xdotool key alt
        sleep 0.3
        xdotool key Right Right Down # "Chercher par..."
        sleep 0.3
        xdotool key a
        sleep 0.3
        xdotool type --delay 5 "Personne Inconnue"
        sleep 0.5
        "$key_to_screen" ctrl+c Information >>"$work/author"
        sleep 0.5
        xdotool key Return
        sleep 0.5
        # Word search: the dialog, a word no book has, then the timed key: the button's
        # own Alt+C or Return for the default button.
        for key in alt+c Return; do
            xdotool key ctrl+m
            focus "Recherche par mot"
            xdotool key ctrl+a
            xdotool type --delay 5 introuvable
            sleep 0.5
            "$key_to_screen" $key Information >>"$work/word-$key"
            sleep 0.5
            xdotool key Return
            sleep 0.5
        done
        i=$((i + 1))
    done
    kill $app
    wait $app 2>/dev/null || true
    app=
    for kind in author word-alt+c word-Return; do
        printf '%6d books, %-15s search, no hit: key -> message drawn %6s ms [%s]\n' \
            "$records" "$kind" "$(median <"$work/$kind")" "$(minmax <"$work/$kind")"
    done
done
[ "${3:-}" = --outside-only ] && exit 0
echo
QT_QPA_PLATFORM=xcb "$build/bench/q7bench_window" --records 40000 --runs "$runs"
