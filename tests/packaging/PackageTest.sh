#!/usr/bin/env bash
# PackageTest.sh <cpack> <build folder> <version>
set -euo pipefail
cpack=$1
build=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
expect_eq() { # what expected actual
  [ "$2" = "$3" ] || fail "$1: expected '$2', got '$3'"
}
mode() { stat -c %a "$1"; }
version_of() { sqlite3 "$1" 'pragma user_version'; }

# ---- the package ----
(cd "$build" && "$cpack" -G DEB -B "$work/out" > "$work/cpack.log") || {
  cat "$work/cpack.log" >&2
  exit 1
}
deb=$work/out/customer-manager_${version}_amd64.deb
[ -f "$deb" ] || { ls "$work/out" >&2; echo "no $deb" >&2; exit 1; }
expect_eq "section" office "$(dpkg-deb -f "$deb" Section)"
expect_eq "version" "$version" "$(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libsqlite3-0 libcurl4 libxlsxwriter4; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no maintainer"
lintian --fail-on error "$deb" > "$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log" >&2
  fail "lintian reports errors"
}

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/customer-manager usr/lib/customer-manager/dll/libsms.so \
  usr/lib/customer-manager/dll/libwinsms.so usr/share/customer-manager/bookkeep.dat \
  usr/share/customer-manager/winsms.ini usr/share/icons/hicolor/scalable/apps/customer-manager.svg \
  usr/share/icons/hicolor/48x48/apps/customer-manager.png; do
  [ -f "$root/$file" ] || fail "the package lacks $file"
done
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry"
grep -qx 'Categories=Office;ContactManagement;' "$root"/usr/share/applications/*.desktop ||
  fail "desktop entry categories"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml > "$work/appstream.log" ||
  { cat "$work/appstream.log" >&2; fail "metainfo"; }

# ---- the installed program, run as a user whose home is in the temporary folder ----
home=$work/home
data=$home/data/customer-manager
mkdir -p "$home"
run() { # run <executable>: exit code in $status, message boxes in $work/boxes
  status=0
  env HOME="$home" XDG_DATA_HOME="$home/data" XDG_CONFIG_HOME="$home/config" \
    XDG_RUNTIME_DIR="$work" QT_QPA_PLATFORM=offscreen CUSTOMER_MANAGER_CHECK_RUN=1 \
    "$1" 2> "$work/stderr" || status=$?
  grep -E '^(错误|提示|确认)' "$work/stderr" > "$work/boxes" || true
}

run "$root/usr/bin/customer-manager"
expect_eq "first start" 0 "$status"
expect_eq "first start boxes" "" "$(cat "$work/boxes")"
expect_eq "data folder mode" 700 "$(mode "$data")"
expect_eq "data file mode" 600 "$(mode "$data/bookkeep.dat")"
expect_eq "winsms.ini mode" 600 "$(mode "$data/winsms.ini")"
cmp -s "$data/winsms.ini" "$root/usr/share/customer-manager/winsms.ini" || fail "winsms.ini copy"
expect_eq "data file version" "$(version_of "$root/usr/share/customer-manager/bookkeep.dat")" \
    "$(version_of "$data/bookkeep.dat")"

sqlite3 "$data/bookkeep.dat" "insert into NoteType (SelfIndex, ParentIndex, TypeName) values (7, 0, '第二次')"
run "$root/usr/bin/customer-manager"
expect_eq "second start" 0 "$status"
expect_eq "second start boxes" "" "$(cat "$work/boxes")"
expect_eq "data kept" 第二次 "$(sqlite3 "$data/bookkeep.dat" 'select TypeName from NoteType where SelfIndex = 7')"

sqlite3 "$data/bookkeep.dat" 'pragma user_version = 9'
before=$(sha256sum < "$data/bookkeep.dat")
run "$root/usr/bin/customer-manager"
expect_eq "newer file start" 1 "$status"
grep -q '数据库连接失败！.*版本（9）' "$work/boxes" || fail "newer file message: $(cat "$work/stderr")"
expect_eq "newer file untouched" "$before" "$(sha256sum < "$data/bookkeep.dat")"

# A data folder that cannot be made: its parent is a file.
rm -rf "$home/data"
touch "$home/data"
run "$root/usr/bin/customer-manager"
expect_eq "unmakeable folder start" 1 "$status"
grep -q '^错误: 数据文件夹 .* 不能建立或写入' "$work/boxes" || fail "folder message: $(cat "$work/stderr")"
rm -f "$home/data"

# ---- a portable copy keeps everything beside its executable ----
portable=$work/portable
mkdir -p "$portable/dll"
cp "$build/bin/customer-manager" "$portable/"
cp "$build/seed/bookkeep.dat" "$portable/"
cp "$build"/bin/dll/*.so "$portable/dll/"
run "$portable/customer-manager"
expect_eq "portable start" 0 "$status"
expect_eq "portable boxes" "" "$(cat "$work/boxes")"
[ ! -e "$home/data" ] || fail "a portable run made the data folder"
[ -d "$portable/Config" ] || fail "a portable run keeps Config beside the executable"

if [ "$failures" -ne 0 ]; then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "package checks passed"
