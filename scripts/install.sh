#!/bin/sh
# Installs the program for the user who runs it, or removes it again, the
# freedesktop way:
#
#   scripts/install.sh install <built application folder>
#   scripts/install.sh uninstall
#
# The application folder goes to PREFIX (default: the user's data location,
# ~/.local/share/varnel-kesp; a relative PREFIX is made absolute), the menu
# entry to the user's applications menu and the icon to the user's hicolor
# icon theme, both named after the PREFIX unless it is the default one. The tables in data/ and the
# files in export/ belong to the user: an install adds only tables that are not
# there yet, and an uninstall leaves both folders where they are. The program's
# own files are listed in PREFIX/.installed-files, so that an uninstall (or the
# next install) removes exactly them.
set -eu

data_home=${XDG_DATA_HOME:-$HOME/.local/share}
default_prefix=$data_home/varnel-kesp
prefix=${PREFIX:-$default_prefix}
# A relative PREFIX is taken from the folder make runs in; the menu entry
# needs the absolute path to start the program.
case $prefix in
/*) ;;
*) prefix=$(pwd)/$prefix ;;
esac
prefix=$(realpath -m "$prefix")
# Each PREFIX has a menu entry and an icon of its own, so that removing one
# install leaves the others' alone; the default install keeps the plain names.
if [ "$prefix" = "$(realpath -m "$default_prefix")" ]; then
    app_id=varnel-kesp
    menu_name="Varnel Kesp 2.0"
else
    app_id=varnel-kesp-$(printf '%s' "$prefix" | cksum | cut -d' ' -f1)
    menu_name="Varnel Kesp 2.0 ($prefix)"
fi
menu_entry=$data_home/applications/$app_id.desktop
# "Look up selection": the word list's lookup window for the text selected
# anywhere on the desktop, for a panel or a key of the desktop's settings.
lookup_entry=$data_home/applications/$app_id-lookup.desktop
# The reminders at login (kesp --remind), off until the user switches them on
# in the program's coming-up window; the program finds the entry through the
# file beside it.
config_home=${XDG_CONFIG_HOME:-$HOME/.config}
autostart_entry=$config_home/autostart/$app_id-reminders.desktop
autostart_pointer=$prefix/.autostart-entry
icon_theme=$data_home/icons/hicolor
manifest=$prefix/.installed-files

usage() {
    echo "usage: $0 install <built application folder> | uninstall" >&2
    exit 64
}

# Removes the files of the manifest and the folders they leave empty.
remove_installed() {
    [ -f "$manifest" ] || return 0
    while IFS= read -r file; do
        rm -f "$file"
        folder=$(dirname "$file")
        while [ "$folder" != "$prefix" ] && [ "$folder" != "$data_home" ] &&
            [ "$folder" != "$config_home" ] && [ "$folder" != "$HOME" ] &&
            rmdir "$folder" 2>/dev/null; do
            folder=$(dirname "$folder")
        done
    done <"$manifest"
    rm -f "$manifest"
}

# A path as a quoted argument of the Exec key of a desktop entry.
exec_argument() {
    printf '"%s"' "$(printf '%s' "$1" | sed -e 's/[\\"`$]/\\\\&/g')"
}

write_menu_entry() {
    mkdir -p "$(dirname "$menu_entry")"
    cat >"$menu_entry" <<EOF
[Desktop Entry]
Type=Application
Version=1.4
Name=$menu_name
GenericName=Personal information manager
GenericName[de]=Persönliche Informationsverwaltung
GenericName[pt_BR]=Gerenciador de informações pessoais
Comment=Addresses, birthdays, agenda, notes, projects, bookmarks, tips and a word list
Comment[de]=Adressen, Geburtstage, Agenda, Notizen, Projekte, Bookmarks, Tipps und ein Wörterbuch
Comment[pt_BR]=Endereços, aniversários, agenda, lembretes, projetos, favoritos, macetes e um dicionário
Exec=$(exec_argument "$prefix/kesp")
Path=$prefix
Icon=$app_id
Terminal=false
Categories=Office;ContactManagement;Calendar;
Keywords=Addresses;Contacts;Agenda;Notes;PIM;
StartupNotify=true
EOF
    echo "$menu_entry" >>"$manifest"
}

write_lookup_entry() {
    cat >"$lookup_entry" <<EOF
[Desktop Entry]
Type=Application
Version=1.4
Name=Look up selection
Name[de]=Auswahl nachschlagen
Name[pt_BR]=Consultar a seleção
Comment=Looks up the selected text in the German-English word list of $menu_name
Comment[de]=Schlägt den markierten Text im deutsch-englischen Wörterbuch von $menu_name nach
Comment[pt_BR]=Consulta o texto selecionado no dicionário alemão-inglês de $menu_name
Exec=$(exec_argument "$prefix/kesp") --lookup-window
Path=$prefix
Icon=$app_id
Terminal=false
Categories=Office;Dictionary;
Keywords=Dictionary;Translate;German;English;
EOF
    echo "$lookup_entry" >>"$manifest"
}

write_autostart_entry() {
    hidden=$1
    mkdir -p "$(dirname "$autostart_entry")"
    cat >"$autostart_entry" <<EOF
[Desktop Entry]
Type=Application
Version=1.4
Name=$menu_name reminders
Name[de]=$menu_name Erinnerungen
Name[pt_BR]=$menu_name lembretes
Comment=Posts the reminders that are due as desktop notifications
Comment[de]=Zeigt fällige Erinnerungen als Benachrichtigungen
Comment[pt_BR]=Mostra os lembretes devidos como notificações
Exec=$(exec_argument "$prefix/kesp") --remind
Icon=$app_id
Terminal=false
NoDisplay=true
Hidden=$hidden
EOF
    printf '%s\n' "$autostart_entry" >"$autostart_pointer"
    echo "$autostart_entry" >>"$manifest"
    echo "$autostart_pointer" >>"$manifest"
}

install_icon() {
    size=$1
    target=$icon_theme/${size}x${size}/apps/$app_id.png
    mkdir -p "$(dirname "$target")"
    cp "$prefix/img/kespico$size.png" "$target"
    echo "$target" >>"$manifest"
}

install_program() {
    built=$1
    [ -x "$built/kesp" ] || {
        echo "No program in $built: build it first (make build)." >&2
        exit 1
    }
    # The user's choice of reminders at login outlives a new install.
    hidden=true
    if [ -f "$autostart_entry" ] && grep -qx 'Hidden=false' "$autostart_entry"; then
        hidden=false
    fi
    remove_installed
    mkdir -p "$prefix/data" "$prefix/export"
    : >"$manifest"
    # The program, its pictures, help pages and report definitions.
    (cd "$built" && find . -path ./data -prune -o -path ./export -prune -o -type f -print) |
        while IFS= read -r file; do
            file=${file#./}
            mkdir -p "$(dirname "$prefix/$file")"
            cp -p "$built/$file" "$prefix/$file"
            echo "$prefix/$file" >>"$manifest"
        done
    # Tables the user does not have yet; the user's own are never replaced.
    for table in "$built"/data/*; do
        [ -e "$table" ] || continue
        [ -e "$prefix/data/$(basename "$table")" ] || cp -p "$table" "$prefix/data/"
    done
    write_menu_entry
    write_lookup_entry
    write_autostart_entry "$hidden"
    install_icon 48
    install_icon 128
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$(dirname "$menu_entry")" || true
    fi
    if command -v gtk-update-icon-cache >/dev/null 2>&1; then
        gtk-update-icon-cache -q -t "$icon_theme" 2>/dev/null || true
    fi
    echo "Varnel Kesp 2.0 is installed in $prefix"
    echo "  menu entry: $menu_entry"
    echo "  look up selection: $lookup_entry (bind it to a key in the desktop's keyboard settings)"
    echo "  tables: $prefix/data, exports: $prefix/export"
}

uninstall_program() {
    if [ ! -f "$manifest" ]; then
        echo "Varnel Kesp 2.0 is not installed in $prefix"
        return 0
    fi
    remove_installed
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database -q "$(dirname "$menu_entry")" || true
    fi
    rmdir "$prefix" 2>/dev/null || true
    echo "Varnel Kesp 2.0 is removed from $prefix"
    if [ -d "$prefix" ]; then
        echo "  your tables and exports stay in $prefix/data and $prefix/export"
    fi
}

[ $# -ge 1 ] || usage
case $1 in
install)
    [ $# -eq 2 ] || usage
    install_program "$2"
    ;;
uninstall)
    uninstall_program
    ;;
*) usage ;;
esac
