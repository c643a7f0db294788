#!/usr/bin/env bash
# Installs the build tree with DESTDIR into a temporary folder, checks that every installed file is
# in its place and runs the desktop entry and metainfo validators on them (each only when present).
# Usage: install.sh <build directory>
set -euo pipefail

build=$(cd "$1" && pwd)
app_id=org.ruvo.Ruvo
prefix=/usr

stage=$(mktemp -d)
data=$(mktemp -d)
trap 'chmod -R u+w "$stage" 2>/dev/null; rm -rf "$stage" "$data"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
root=$stage$prefix

[ -x "$root/bin/ruvo" ] || fail "no executable bin/ruvo"
[ -s "$root/share/ruvo/imgs.pak" ] || fail "no share/ruvo/imgs.pak"
cmp -s "$build/imgs.pak" "$root/share/ruvo/imgs.pak" || fail "the installed imgs.pak differs from the built one"
if [ -e "$build/info.zr" ]; then
    [ -x "$root/libexec/ruvo/info.zr" ] || fail "no executable libexec/ruvo/info.zr"
fi
desktop=$root/share/applications/$app_id.desktop
metainfo=$root/share/metainfo/$app_id.metainfo.xml
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$metainfo" ] || fail "no metainfo"
copyright=$root/share/doc/ruvo/copyright
[ -f "$copyright" ] || fail "no share/doc/ruvo/copyright"
head -n 1 "$copyright" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
    || fail "the copyright file is not in the machine-readable format"
grep -qx 'License: GPL-3+' "$copyright" || fail "the copyright file names no GPL-3+ licence"
grep -qx '  <project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo names no project licence"
for size in 16 22 24 32 48 64 128 256; do
    icon=$root/share/icons/hicolor/${size}x$size/apps/$app_id.png
    [ -f "$icon" ] || fail "no icon of ${size}x$size"
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "icon $size is not a PNG"
    [ "$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')" = " 0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))" ] \
        || fail "icon $size does not measure ${size}x$size"
done
man=$(find "$root/share/man/man1" -name 'ruvo.1*' 2>/dev/null | head -n 1)
[ -n "$man" ] || fail "no man page"
grep -qx "Exec=ruvo" "$desktop" || fail "the desktop entry does not start ruvo"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon"
# Nothing the program writes belongs to the installation.
[ -z "$(find "$stage" -name '*.zr' ! -name info.zr -o -name prefs.ini -o -name '*.rec')" ] || fail "data files in the installation"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || {
        appstreamcli validate --no-net "$metainfo" >&2 || true
        fail "appstreamcli validate"
    }
fi
if command -v man >/dev/null; then
    # Warnings of the formatter are what makes a man page render badly.
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$man" 2>&1 >/dev/null) || true
    [ -z "$warnings" ] || fail "man page: $warnings"
fi
# The installed program, run from an installation it must not write to: a first run and a regular
# exit put everything into the data folder.
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
    chmod -R a-w "$root"
    listing=$(cd "$root" && find . -printf '%p %s\n' | sort)
    env -u RUVO_DIR XDG_DATA_HOME="$data/xdg" HOME="$data" LANG=C.UTF-8 \
        xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
            wait_window() {
                for _ in $(seq 1 100); do
                    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
                    [ -n "$id" ] && { echo "$id"; return 0; }
                    sleep 0.1
                done
                return 1
            }
            "$1/bin/ruvo" & pid=$!
            id=$(wait_window "^Datenbank\$") || { kill $pid; exit 3; }
            sleep 0.3
            xdotool windowfocus --sync "$id" 2>/dev/null || true
            xdotool key Return
            wait_window "^Ruvo  " >/dev/null || { kill $pid; exit 4; }
            kill -TERM $pid
            wait $pid' _ "$root" || fail "the installed program did not run through its first start ($?)"
    [ "$(cd "$root" && find . -printf '%p %s\n' | sort)" = "$listing" ] || fail "the run wrote into the installation"
    for file in data.zr recovery.zr prefs.ini notizen.zr; do
        [ -f "$data/xdg/ruvo/$file" ] || fail "no $file in the data folder"
    done
    cmp -s "$data/xdg/ruvo/data.zr" "$data/xdg/ruvo/recovery.zr" || fail "recovery.zr differs from data.zr"
    chmod -R u+w "$root"
fi
echo "install: ok"
