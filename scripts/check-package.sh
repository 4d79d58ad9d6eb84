#!/usr/bin/env bash
# Builds the Debian package and checks what a plant's IT would install: the file list, the
# control fields, the desktop entries, the metainfo, the man pages, and that the unpacked
# programs print their version and find their help in the install tree.
# Usage: scripts/check-package.sh (after scripts/setup.sh or scripts/test.sh built the tree)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}

# Tools of this check only; the build needs none of them.
tools=(desktop-file-utils appstream dpkg-dev file man-db)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

rm -f "$build"/zr410_*.deb
cmake --build "$build" --target package -j 2 >/dev/null 2>&1 \
    || cmake --build "$build" --target package -j 2
debs=("$build"/zr410_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "expected one zr410_*.deb in $build" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
passed=0
failed=0
# check DESCRIPTION COMMAND...: counts the command's outcome; says what failed.
check() {
    local what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "FAIL: $what" >&2
        failed=$((failed + 1))
    fi
}

# quiet COMMAND...: shows the command's output only when it fails.
quiet() {
    local out
    out=$("$@" 2>&1) || { printf '%s\n' "$out" >&2; return 1; }
}

app=$(sed -n 's/^set(ZR410_APP_ID "\(.*\)")$/\1/p' "$here/CMakeLists.txt")
viewer="$app.graph"
expected=(
    usr/bin/ZR410 usr/bin/ZR410_Graph usr/bin/zr410-sim usr/bin/zr410-lined
    usr/lib/systemd/system/zr410-lined@.service
    usr/share/zr410/Help/ZR410_V100.html usr/share/zr410/Help/ZR410_Graph_V100.html
    "usr/share/applications/$app.desktop" "usr/share/applications/$viewer.desktop"
    "usr/share/metainfo/$app.metainfo.xml"
    usr/share/man/man1/ZR410.1.gz usr/share/man/man1/ZR410_Graph.1.gz
    usr/share/man/man1/zr410-sim.1.gz usr/share/man/man8/zr410-lined.8.gz
)
for id in "$app" "$viewer"; do
    expected+=("usr/share/icons/hicolor/scalable/apps/$id.svg")
    for size in 16 24 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
    done
done
file_list() {
    diff <(printf '%s\n' "${expected[@]}" | sort) \
        <(cd "$root" && find . -type f | sed 's|^\./||' | sort)
}
check "file list (< expected, > packaged)" file_list
owned_by_root() { [ -z "$(dpkg-deb -c "$deb" | awk '$2 != "root/root"')" ]; }
check "every entry owned by root" owned_by_root
not_writable() {
    [ -z "$(dpkg-deb -c "$deb" | awk 'substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w"')" ]
}
check "no entry writable by group or others" not_writable

control=$(dpkg-deb -f "$deb" Package Depends Description)
for want in "Package: zr410" libqt6widgets6 libqt6serialport6 libqcustomplot libxlsxwriter libmosquitto \
    fonts-nanum; do
    check "control fields name $want" grep -q "$want" <<<"$control"
done
# dpkg triggers refresh menus, icons and man index: no maintainer scripts are needed.
control_members() {
    [ "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | xargs)" \
        = "control md5sums" ]
}
check "control archive holds only control and md5sums" control_members
unit_runs_packaged_program() {
    local exec
    exec=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$root/usr/lib/systemd/system/zr410-lined@.service")
    [ "$exec" = /usr/bin/zr410-lined ] && [ -x "$root$exec" ]
}
check "the line service unit starts the packaged program" unit_runs_packaged_program
check "programs are stripped" bash -c "file '$root/usr/bin/ZR410' | grep -q ', stripped'"

for entry in "$root"/usr/share/applications/*.desktop; do
    check "desktop-file-validate $(basename "$entry")" desktop-file-validate "$entry"
    check "$(basename "$entry") has a Korean name" grep -q '^Name\[ko\]=' "$entry"
done
check "appstreamcli validate" \
    quiet appstreamcli validate --no-net --strict --pedantic "$root/usr/share/metainfo/$app.metainfo.xml"
for size in 16 48 256; do
    check "icon of $size px" \
        bash -c "file '$root/usr/share/icons/hicolor/${size}x${size}/apps/$app.png' | grep -q '$size x $size'"
done
man_clean() { [ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)" ]; }
for page in "$root"/usr/share/man/man1/*.1.gz "$root"/usr/share/man/man8/*.8.gz; do
    check "man page $(basename "$page") renders without warnings" man_clean "$page"
done

# The unpacked programs, run without a display as a new user would: settings go to the
# per-user folder, help is found in the unpacked tree.
version=$(dpkg-deb -f "$deb" Version)
version=${version%-*}
for program in ZR410 ZR410_Graph zr410-sim zr410-lined; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$root/usr/bin/$program" --version || true)
    check "$program --version prints '$program $version' (printed '$out')" \
        test "$out" = "$program $version"
done
for program in ZR410 ZR410_Graph; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=xcb \
        "$root/usr/bin/$program" --help || true)
    check "$program finds its help in the install tree" grep -qx "  $root/usr/share/zr410/Help" <<<"$out"
    check "$program keeps its settings per user" grep -qx "  $scratch/data/ZR410" <<<"$out"
done

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
