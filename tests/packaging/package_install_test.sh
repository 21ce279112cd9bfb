#!/usr/bin/env bash
# The Debian package made from a build folder: its files, its metadata passing the desktop's
# validators, the programs running from an unpacked copy, and, as root, an install and a
# removal with dpkg that leave the machine as it was.
# usage: package_install_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
installed=0
cleanup() {
    if [ "$installed" = 1 ]; then dpkg --purge vantorix >/dev/null 2>&1 || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# The programs run as a user of this machine would, with nothing of the caller's folders.
as_user() {
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_DOCUMENTS_DIR \
        HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen "$@"
}
mkdir -p "$work/home" && mkdir -m 700 "$work/runtime"

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(echo "$work"/out/vantorix_*.deb)
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "vantorix_${version}_$(dpkg --print-architecture).deb" ] || fail "named $deb"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libxlsxwriter xdg-utils; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
# Each library the programs link against has had its licence reviewed for a proprietary
# package (the C and C++ run-times, Qt's LGPL libraries linked dynamically, libxlsxwriter's BSD
# licence, SQLite in the public domain). One that has not, a GPL library above all, fails here.
reviewed='^(xdg-utils|libc6|libgcc-s1|libstdc\+\+6|libqt6(core|gui|widgets|serialport|svg|charts)6|libsqlite3-0|libxlsxwriter[0-9]+)$'
for dep in $(sed 's/([^)]*)//g; s/[,|]/ /g' <<<"$depends"); do
    [[ $dep =~ $reviewed ]] || fail "Depends names $dep, whose licence has not been reviewed"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
files=(
    usr/bin/vantorix usr/bin/vantorix-cli
    usr/share/applications/example.orvexa_labs.vantorix.desktop
    usr/share/metainfo/example.orvexa_labs.vantorix.metainfo.xml
    usr/share/mime/packages/vantorix.xml
    usr/share/icons/hicolor/scalable/apps/vantorix.svg
    usr/share/man/man1/vantorix.1.gz usr/share/man/man1/vantorix-cli.1.gz
    usr/share/bash-completion/completions/vantorix-cli
    usr/share/doc/vantorix/copyright usr/share/doc/vantorix/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
    png=usr/share/icons/hicolor/${size}x${size}/apps/vantorix.png
    files+=("$png")
    file "$root/$png" | grep -q "PNG image data, $size x $size," || fail "$png is not $size px"
done
for f in "${files[@]}"; do [ -e "$root/$f" ] || fail "missing /$f"; done

desktop-file-validate "$root/usr/share/applications/example.orvexa_labs.vantorix.desktop" ||
    fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/example.orvexa_labs.vantorix.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "metainfo"; }
# The data file type: the MIME database built from the package's XML knows *.ovd.
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/vantorix.xml" "$work/mime/packages/"
update-mime-database "$work/mime" || fail "MIME XML"
grep -q "application/x-vantorix-ovd:\*\.ovd" "$work/mime/globs2" || fail "no *.ovd glob"

# The manual pages read, and name every command and exit code.
man -l -P cat "$root/usr/share/man/man1/vantorix-cli.1.gz" >"$work/cli.txt" 2>/dev/null
for word in run simulate show keys list export firmware drop-out "EXIT STATUS" cancelled; do
    grep -q -- "$word" "$work/cli.txt" || fail "vantorix-cli(1) lacks $word"
done
man -l -P cat "$root/usr/share/man/man1/vantorix.1.gz" >"$work/gui.txt" 2>/dev/null
for word in --simulate FILE Documents/Vantorix vantorix-cli; do
    grep -q -- "$word" "$work/gui.txt" || fail "vantorix(1) lacks $word"
done
# The one-line description is the page's name line, said once.
[ "$(grep -ci "companion program" "$work/gui.txt")" = 1 ] || fail "vantorix(1) repeats itself"

# The unpacked programs run and say their version.
[ "$(as_user "$root/usr/bin/vantorix-cli" --version)" = "vantorix-cli $version" ] || fail "cli version"
[ "$(as_user "$root/usr/bin/vantorix" --version)" = "vantorix $version" ] || fail "gui version"

# Shell completion offers commands, options, fault names and data files.
complete_line() {  # words... -> the completions, one a line
    (cd "$work/home" && as_user bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
        _vantorix_cli; printf "%s\n" "${COMPREPLY[@]}"' _ \
        "$root/usr/share/bash-completion/completions/vantorix-cli" "$root/usr/bin/vantorix-cli" "$@")
}
touch "$work/home/plate.ovd" "$work/home/notes.txt"
[ "$(complete_line ru)" = run ] || fail "command completion"
[ "$(complete_line run --ou)" = --out ] || fail "option completion"
[ "$(complete_line simulate --fault no-)" = "$(printf 'no-ack\nno-ready')" ] || fail "fault completion"
[ "$(complete_line show p)" = plate.ovd ] || fail "data file completion"
[ "$(complete_line run --pri)" = "$(printf -- '--prime1\n--prime2')" ] || fail "option digits"
# What --pdf and --png write is no data file: every name is offered.
[ "$(complete_line report plate.ovd --pdf n)" = notes.txt ] || fail "--pdf completion"
[ "$(complete_line export plate.ovd --png n)" = notes.txt ] || fail "--png completion"
rm "$work/home/plate.ovd" "$work/home/notes.txt"
# --protocol offers the user's protocols by name, quoted where a name holds blanks.
mkdir -p "$work/home/.local/share/vantorix/protocols"
touch "$work/home/.local/share/vantorix/protocols/Glow ELISA (plate 2).protocol" \
    "$work/home/.local/share/vantorix/protocols/Glucose.protocol" \
    "$work/home/.local/share/vantorix/protocols/Kinase.protocol"
[ "$(complete_line run --protocol Gl)" = "$(printf '%s\n' 'Glow\ ELISA\ \(plate\ 2\)' Glucose)" ] ||
    fail "--protocol completion"
rm -r "$work/home/.local/share/vantorix/protocols"

# A data file named on the command line is opened (parsed) at start-up, and the program's own
# files go to the user's folder, never beside the installed executable.
cp "$(dirname "$0")/sample.ovd" "$work/sample.ovd"
ls "$root/usr/bin" >"$work/bin-before"
as_user "$root/usr/bin/vantorix" --exit-after-start "$work/sample.ovd" 2>"$work/gui.log" ||
    { cat "$work/gui.log"; fail "vantorix FILE.ovd"; }
ls "$root/usr/bin" | diff "$work/bin-before" - || fail "files written beside the executable"
grep -rlq "sample.ovd" "$work/home" || fail "the file given on the command line was not read"

if [ "$(id -u)" != 0 ]; then
    echo "not root: dpkg install and removal skipped"
    exit 0
fi
# One install at a time when several checkouts run this test.
exec 9>/run/lock/vantorix-package-test.lock
flock -w 300 9
if dpkg-query -W -f='${Status}' vantorix 2>/dev/null | grep -q "ok installed"; then
    echo "vantorix is installed on this machine: dpkg install and removal skipped"
    exit 0
fi
# A machine without a desktop may lack the opener the package asks for; apt would bring it.
force=()
dpkg-query -W -f='${Status}' xdg-utils 2>/dev/null | grep -q "ok installed" || force=(--force-depends)
installed=1
dpkg -i "${force[@]}" "$deb" >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -i"; }
[ "$(as_user vantorix-cli --version)" = "vantorix-cli $version" ] || fail "installed version"
as_user man -P cat vantorix-cli 2>/dev/null | grep -q "EXIT STATUS" || fail "man vantorix-cli"
grep -q "application/x-vantorix-ovd" /usr/share/mime/globs2 || fail "OVD type not registered"
dpkg -r vantorix >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg -r"; }
dpkg --purge vantorix >>"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; fail "dpkg --purge"; }
installed=0
for f in "${files[@]}"; do [ ! -e "/$f" ] || fail "dpkg -r left /$f"; done
! grep -q "application/x-vantorix-ovd" /usr/share/mime/globs2 || fail "OVD type left registered"
! dpkg-query -W -f='${Status}' vantorix 2>/dev/null | grep -q "ok installed" || fail "still installed"
echo "package $(basename "$deb"): installed, checked and removed"
