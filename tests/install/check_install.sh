#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as an installed
# program is used: verdimo-cli on the installed sample project (render,
# report, print) with no variable of ours set, the command lines' help,
# version and exit codes, the desktop entry, the project file type (by
# content, not by the shared ".prj" name alone) and the manual pages.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# The layout.
share=$prefix/share/verdimo
for f in bin/verdimo bin/verdimo-cli share/verdimo/DataBase/MainPartix.dbc share/verdimo/Gui/splash.bmp \
         share/verdimo/Defaults/wnd.ini share/verdimo/Help/Help.html share/verdimo/Projekty/Ogrod_przykladowy.prj \
         share/verdimo/Projekty/Ogrod_wzorcowy.prj \
         share/applications/verdimo.desktop share/mime/packages/verdimo.xml \
         share/icons/hicolor/scalable/apps/verdimo.svg share/icons/hicolor/48x48/apps/verdimo.png \
         share/man/man1/verdimo.1.gz share/man/man1/verdimo-cli.1.gz include/partix.h; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
lib=$(find "$prefix" -name 'libpartix.so.1' | head -1)
[ -n "$lib" ] || fail "libpartix.so.1 is not installed"

# verdimo-cli from the prefix, on a clean environment: it finds its program
# folder and its library by itself, and makes the user's folders in HOME.
run() { env -i HOME="$work/home" PATH=/usr/bin:/bin "$@"; }
mkdir -p "$work/home"
cli=$prefix/bin/verdimo-cli
ldd "$cli" >"$work/ldd"
grep -q "$prefix/.*libpartix" "$work/ldd" || fail "verdimo-cli does not take libpartix from the prefix"
sample=$share/Projekty/Ogrod_przykladowy.prj
run "$cli" render "$sample" -o "$work/plan.png" >/dev/null
run "$cli" report summary "$sample" -o "$work/summary.html" >/dev/null
run "$cli" report sections "$sample" -o "$work/sections.csv" --format csv >/dev/null
run "$cli" print "$sample" -o "$work/sheet.pdf" >/dev/null
[ "$(head -c 8 "$work/plan.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "render wrote no PNG"
grep -qi "<html" "$work/summary.html" || fail "report wrote no HTML"
head -1 "$work/sections.csv" | grep -q '^section,catalogueNo,name,unit,quantity,unitPrice,value' || fail "no CSV"
[ "$(head -c 5 "$work/sheet.pdf")" = "%PDF-" ] || fail "print wrote no PDF"
[ -d "$work/home/.local/share/Verdimo" ] || fail "the user's data folder was not made in HOME"

# Help, version and exit codes.
expect() {
  local want=$1; shift
  set +e; run "$@" >"$work/out" 2>"$work/err"; local got=$?; set -e
  [ "$got" -eq "$want" ] || fail "$* exited $got, not $want: $(cat "$work/err")"
}
expect 0 "$prefix/bin/verdimo" --help;  grep -q '^usage: verdimo' "$work/out" || fail "verdimo --help"
expect 0 "$prefix/bin/verdimo" --version; grep -qE '^verdimo [0-9]+\.[0-9]+' "$work/out" || fail "verdimo --version"
expect 0 "$cli" --help;  grep -q 'print PROJECT' "$work/out" || fail "verdimo-cli --help"
expect 0 "$cli" --version; grep -qE '^verdimo-cli [0-9]+\.[0-9]+' "$work/out" || fail "verdimo-cli --version"
expect 0 "$cli" render --help
grep -q 'render PROJECT' "$work/out" && ! grep -q 'print PROJECT' "$work/out" || fail "verdimo-cli render --help"
expect 2 "$cli"
expect 2 "$cli" no-such-command
expect 2 "$cli" render "$sample"
expect 1 "$cli" render "$work/missing.prj" -o "$work/x.png"

# The desktop entry and the project file type.
desktop-file-validate "$prefix/share/applications/verdimo.desktop" || fail "desktop entry"
xmllint --noout "$prefix/share/mime/packages/verdimo.xml" || fail "MIME file"
update-mime-database "$prefix/share/mime" || fail "MIME database"
cp "$sample" "$work/garden.prj"
printf 'PROJCS["ETRS89 / Poland CS92",GEOGCS["ETRS89",DATUM["D_ETRS_1989"]]]\n' >"$work/parcel.prj"
kind() { env -i HOME="$work/home" XDG_DATA_HOME="$work/home/none" XDG_DATA_DIRS="$prefix/share:/usr/share" \
           gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p'; }
[ "$(kind "$work/garden.prj")" = application/x-verdimo-project ] || fail "a project is $(kind "$work/garden.prj")"
[ "$(kind "$work/parcel.prj")" != application/x-verdimo-project ] || fail "a GIS projection file is claimed"

# The manual pages read without warnings.
for page in verdimo verdimo-cli; do
  warnings=$(gzip -dc "$prefix/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
echo "installed into a temporary prefix and used from there"
