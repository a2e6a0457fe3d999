#!/usr/bin/env bash
# The layering check must be able to fail: each forbidden include planted into a copy of
# the sources makes it fail, in whatever form it is written; the untouched copy passes,
# and so do allowed includes written in those forms.
# check_layering_fails.sh SOURCE_DIR
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

plant() { # FILE LINE: a copy of src/ with LINE added to FILE
    rm -rf "$work/tree" && mkdir -p "$work/tree" && cp -r "$1/src" "$work/tree/src"
    mkdir -p "$(dirname "$work/tree/src/$2")"
    printf '%s\n' "$3" >>"$work/tree/src/$2"
}

faults=0
plant "$1" store/Fiche.h ''
if ! bash "$here/check_layering.sh" "$work/tree" >/dev/null; then
    echo "ÉCHEC : la copie intacte des sources est refusée"
    faults=$((faults + 1))
fi
# Allowed includes written in other forms pass too.
while IFS='|' read -r file line why; do
    plant "$1" "$file" "$line"
    if ! bash "$here/check_layering.sh" "$work/tree" >/dev/null; then
        echo "ÉCHEC : refusé à tort : $why ($file : $line)"
        faults=$((faults + 1))
    fi
done <<'ALLOWED'
record/FieldTable.h|#include "../store/Fiche.h"|the record includes the store from its own folder
store/Fiche.h|#include <sys/stat.h>|a system header with a folder
overview/OverviewView.h|#include <store/FrenchOrder.h>|an allowed folder in angle brackets
ALLOWED
while IFS='|' read -r file line why; do
    plant "$1" "$file" "$line"
    if bash "$here/check_layering.sh" "$work/tree" >/dev/null; then
        echo "ÉCHEC : non vu : $why ($file : $line)"
        faults=$((faults + 1))
    fi
done <<'PLANTS'
search/Scan.h|#include "lists/Q7liste.h"|a subsystem includes another one's window
record/FieldTable.h|#include "output/PrintLayout.h"|the shared record includes a subsystem
store/Fiche.h|#include "platform/QtText.h"|the store includes the platform
platform/Printer.h|#include "settings/Settings.h"|the platform includes the settings
import/Values.h|#include "settings/Settings.h"|the importer includes the settings
lists/ListController.cpp|  #  include "app/Q7prin.h"|a subsystem includes the record window
output/Q7export.cpp|#include "ui_Q7prin.h"|a subsystem compiles the record window's form
shelves/Shelf.h|#include "store/Fiche.h"|a folder without its row
store/Fiche.h|#include <overview/OverviewView.h>|the store includes the overview, in angle brackets
store/Fiche.h|#include "store/../overview/OverviewView.h"|a path through ".."
store/Fiche.h|#include "../overview/OverviewView.h"|a path from the including file's folder
PLANTS
exit "$faults"
