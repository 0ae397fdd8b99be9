#!/bin/sh
# make install and make uninstall for a user whose home is a temporary folder:
# the installed files are exactly the program's, the menu entry passes
# desktop-file-validate, a second install keeps the user's tables and exports,
# and an uninstall removes the program, the menu entry and the icon but never
# the user's data. Then the same with a PREFIX that holds a blank, and with a
# relative PREFIX; two installs side by side keep their own menu entries.
#
#   install_test.sh <source folder> <build folder>
set -eu
source=$1
build=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
# The build under test is installed as it is: make does not remake it (-o).
make_as_user() {
    env -u XDG_DATA_HOME HOME="$home" make -s -o build -o deps -C "$source" BUILD="$build" "$@" \
        >>"$home/make.log" 2>&1 ||
        { cat "$home/make.log" >&2; fail "make $*"; }
}
program_files() {  # the files of an application folder, without data and exports
    (cd "$1" && find . -path ./data -prune -o -path ./export -prune -o -type f -print |
        grep -v -e '^./.installed-files$' -e '^./.autostart-entry$' | sort)
}
fingerprint() {  # contents of the user's tables and exports
    (cd "$1" && find data export -type f -exec cksum {} + | sort)
}

# The menu entry an install wrote, from its list of installed files.
menu_entry_of() {
    grep '/applications/.*\.desktop$' "$1/.installed-files" | grep -v -- '-lookup\.desktop$'
}
# Its entry "Look up selection".
lookup_entry_of() {
    grep '/applications/.*-lookup\.desktop$' "$1/.installed-files"
}
# Its autostart entry of the reminders at login.
autostart_entry_of() {
    grep '/autostart/.*\.desktop$' "$1/.installed-files"
}

check_one_prefix() {
    prefix=$1
    shift
    share=$home/.local/share

    make_as_user install "$@"
    [ -x "$prefix/kesp" ] || fail "no program in $prefix"
    menu=$(menu_entry_of "$prefix")
    icon=$(sed -n 's/^Icon=//p' "$menu")
    [ "$(program_files "$build/app")" = "$(program_files "$prefix")" ] ||
        fail "installed files differ from the built application folder"
    for table in adressen_p.dbf adressen_g.dbf startlang.dbf freeadr_p.dbf; do
        [ -f "$prefix/data/$table" ] || fail "table $table not installed"
    done
    [ -d "$prefix/export" ] || fail "no export folder"
    [ -f "$share/icons/hicolor/48x48/apps/$icon.png" ] || fail "no 48 pixel icon"
    [ -f "$share/icons/hicolor/128x128/apps/$icon.png" ] || fail "no 128 pixel icon"
    [ -f "$menu" ] || fail "no menu entry"
    desktop-file-validate "$menu" || fail "desktop-file-validate"
    grep -qxF "Exec=\"$prefix/kesp\"" "$menu" || fail "menu entry starts $(grep ^Exec= "$menu")"
    case $icon in varnel-kesp*) ;; *) fail "menu entry names the icon $icon" ;; esac
    lookup=$(lookup_entry_of "$prefix")
    desktop-file-validate "$lookup" || fail "desktop-file-validate of the lookup entry"
    grep -qxF "Exec=\"$prefix/kesp\" --lookup-window" "$lookup" ||
        fail "the lookup entry runs $(grep ^Exec= "$lookup")"
    autostart=$(autostart_entry_of "$prefix")
    desktop-file-validate "$autostart" || fail "desktop-file-validate of the autostart entry"
    grep -qxF "Exec=\"$prefix/kesp\" --remind" "$autostart" || fail "autostart runs $(grep ^Exec= "$autostart")"
    grep -qx 'Hidden=true' "$autostart" || fail "reminders at login are on before the user asks"
    [ "$(cat "$prefix/.autostart-entry")" = "$autostart" ] || fail "the program cannot find the autostart entry"
    sed -i 's/^Hidden=true$/Hidden=false/' "$autostart"  # switched on in the program

    # The user works: a table changes, an export is written.
    printf 'a record' >>"$prefix/data/adressen_p.dbf"
    printf 'Anna;\r' >"$prefix/export/adressen.csv"
    before=$(fingerprint "$prefix")

    make_as_user install "$@"
    grep -qx 'Hidden=false' "$autostart" || fail "a second install switched the reminders at login off"
    [ "$(fingerprint "$prefix")" = "$before" ] || fail "a second install changed the user's data"
    [ "$(program_files "$build/app")" = "$(program_files "$prefix")" ] ||
        fail "a second install left other files"

    make_as_user uninstall "$@"
    [ ! -e "$prefix/kesp" ] || fail "the program is still there"
    [ ! -e "$prefix/img" ] || fail "the pictures are still there"
    [ ! -e "$prefix/Help.htm" ] || fail "the help pages are still there"
    [ ! -e "$menu" ] || fail "the menu entry is still there"
    [ ! -e "$lookup" ] || fail "the lookup entry is still there"
    [ ! -e "$autostart" ] || fail "the autostart entry is still there"
    [ -z "$(find "$share/icons" -name 'varnel-kesp*' 2>/dev/null)" ] || fail "the icon is still there"
    [ "$(fingerprint "$prefix")" = "$before" ] || fail "uninstall touched the user's data"
    [ "$(program_files "$prefix")" = "" ] || fail "uninstall left $(program_files "$prefix")"

    make_as_user uninstall "$@"  # nothing left to remove: not an error
}

check_one_prefix "$home/.local/share/varnel-kesp"
[ -z "$(find "$home/.local/share/applications" -name '*.desktop' 2>/dev/null)" ] ||
    fail "a menu entry is left"
check_one_prefix "$home/My Programs/Varnel Kesp" PREFIX="$home/My Programs/Varnel Kesp"
# A relative PREFIX is taken from the source folder make runs in.
relative=$(realpath -m --relative-to="$source" "$home/relative/kesp")
check_one_prefix "$home/relative/kesp" PREFIX="$relative"

# Two installs side by side: removing one leaves the other's entry and icon.
make_as_user install
make_as_user install PREFIX="$home/second"
first_menu=$(menu_entry_of "$home/.local/share/varnel-kesp")
second_menu=$(menu_entry_of "$home/second")
[ "$first_menu" != "$second_menu" ] || fail "both installs wrote $first_menu"
grep -qxF "Exec=\"$home/second/kesp\"" "$second_menu" || fail "the second entry starts another program"
make_as_user uninstall PREFIX="$home/second"
[ -f "$first_menu" ] || fail "removing the second install removed the first one's menu entry"
[ -f "$home/.local/share/icons/hicolor/48x48/apps/varnel-kesp.png" ] ||
    fail "removing the second install removed the first one's icon"
make_as_user uninstall
echo "install and uninstall: passed"
