#!/usr/bin/env bash
# Brings res/translations/*.ts up to date with the texts marked in the sources: new texts come
# in unfinished for a translator (Qt Linguist, or by hand), texts gone from the sources are
# dropped; the entries still to translate are listed (and the exit status is 1 while there are
# any). With --check nothing changes: it fails, showing the difference, when a .ts file is
# not what an update would make of it. LUPDATE names the lupdate program to use.
set -euo pipefail
cd "$(dirname "$0")/.."

check=no
[ "${1:-}" = "--check" ] && check=yes

lupdate=${LUPDATE:-}
if [ -z "$lupdate" ]; then
    lupdate=$(command -v lupdate6 || command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
fi

# Every folder whose code shows texts; the plain floors mark theirs with KELVARA_TEXT.
sources=(app ui net core levels)
options=(-extensions cpp,h -locations none -no-obsolete -no-ui-lines -silent
         -tr-function-alias QT_TRANSLATE_NOOP+=KELVARA_TEXT,QT_TRANSLATE_N_NOOP+=KELVARA_TEXT_N)

status=0
for ts in res/translations/*.ts; do
    if [ "$check" = no ]; then
        "$lupdate" "${options[@]}" "${sources[@]}" -ts "$ts"
        echo "updated $ts"
        # What is left to translate (or to fix), as the test step will report it.
        python3 tests/i18n/check_translations.py "$ts" || status=1
        continue
    fi
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$ts" "$work/$(basename "$ts")"
    "$lupdate" "${options[@]}" "${sources[@]}" -ts "$work/$(basename "$ts")"
    if ! diff -u "$ts" "$work/$(basename "$ts")"; then
        echo "$ts is not up to date: run scripts/update-translations.sh and translate" >&2
        status=1
    fi
    rm -rf "$work"
    trap - EXIT
done
exit $status
