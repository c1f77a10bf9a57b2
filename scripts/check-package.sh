#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it with dpkg-deb, as the test
# `package` does:
#   - its name and control fields (package nimbrel, the version, this machine's architecture, a
#     maintainer, a section, a description that names the virtual meter, dependencies found by
#     dpkg-shlibdeps);
#   - that it holds exactly these files, all owned by root, programs 0755 and the rest 0644:
#     usr/bin/P and its gzipped manual page usr/share/man/man1/P.1.gz for every program P;
#     usr/lib/systemd/system/U for every unit U; the menu entry, the AppStream metadata and the
#     icons of data/; under usr/share/doc/nimbrel the copyright file, the user's guide and every
#     picture the guide shows;
#   - that each packaged program answers --version with "P VERSION" and that its manual page is
#     the page of that program and version.
#
#   scripts/check-package.sh --build=FOLDER --version=VERSION --programs=P,... [--units=U,...]
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)

build="" version="" programs="" units=""
for argument in "$@"; do
  case $argument in
    --build=*) build=${argument#*=} ;;
    --version=*) version=${argument#*=} ;;
    --programs=*) programs=${argument#*=} ;;
    --units=*) units=${argument#*=} ;;
    *) echo "check-package.sh: unknown argument $argument" >&2; exit 2 ;;
  esac
done
if [ -z "$build" ] || [ -z "$version" ] || [ -z "$programs" ]; then
  echo "usage: scripts/check-package.sh --build=FOLDER --version=VERSION --programs=P,... [--units=U,...]" >&2
  exit 2
fi
IFS=, read -r -a program_list <<<"$programs"
IFS=, read -r -a unit_list <<<"$units"

deb=$("$source_dir/scripts/package.sh" -b "$build" | tail -n 1)
failures=0
fail() {
  echo "package: $*" >&2
  failures=$((failures + 1))
}

architecture=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "nimbrel_${version}_${architecture}.deb" ] \
  || fail "the package is named $(basename "$deb"), not nimbrel_${version}_${architecture}.deb"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = nimbrel ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$architecture" ] || fail "Architecture is '$(field Architecture)'"
for name in Maintainer Section Installed-Size; do
  [ -n "$(field "$name")" ] || fail "no $name field"
done
# (Read whole before matching: grep -q leaves early, and under pipefail dpkg-deb's broken pipe
# would count as a miss.)
[[ "$(field Description)" == *nimbrel-meter* ]] || fail "the description does not name the virtual meter"
for library in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
  grep -Eq "(^|, )$library( |,|$)" <<<"$(field Depends)" || fail "Depends lacks $library: $(field Depends)"
done

# The files, as they should be.
expected=()
for program in "${program_list[@]}"; do
  expected+=("usr/bin/$program" "usr/share/man/man1/$program.1.gz")
done
for unit in "${unit_list[@]}"; do
  expected+=("usr/lib/systemd/system/$unit")
done
expected+=(usr/share/applications/nimbrel.desktop)
expected+=("usr/share/metainfo/$(basename "$source_dir"/data/*.metainfo.xml)")
while IFS= read -r icon; do
  expected+=("usr/share/${icon#"$source_dir"/data/}")
done < <(find "$source_dir/data/icons" -type f | sort)
expected+=(usr/share/doc/nimbrel/copyright usr/share/doc/nimbrel/user-guide.md)
while IFS= read -r picture; do
  expected+=("usr/share/doc/nimbrel/$picture")
done < <(grep -o '(images/[^)]*\.png)' "$source_dir/docs/user-guide.md" | tr -d '()' | sort -u)

listing=$(dpkg-deb -c "$deb")
# "-rwxr-xr-x root/root 12345 2026-12-09 06:00 ./usr/bin/nimbrel"
packaged=$(awk '$1 ~ /^-/ { sub(/^\.\//, "", $6); print $6 }' <<<"$listing" | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
while IFS= read -r path; do
  [ -n "$path" ] && fail "missing: $path"
done < <(comm -13 <(echo "$packaged") <(echo "$wanted"))
while IFS= read -r path; do
  [ -n "$path" ] && fail "not expected: $path"
done < <(comm -23 <(echo "$packaged") <(echo "$wanted"))
while read -r mode owner _ _ _ path rest; do
  [ -z "$rest" ] || { fail "a link or an odd name: $path $rest"; continue; }
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case $path in
    ./ | ./usr/*) ;;
    *) fail "outside /usr: $path" ;;
  esac
  case $mode in
    d*) want=drwxr-xr-x ;;
    *) case $path in ./usr/bin/*) want=-rwxr-xr-x ;; *) want=-rw-r--r-- ;; esac ;;
  esac
  [ "$mode" = "$want" ] || fail "$path has mode $mode, not $want"
done <<<"$listing"

# The programs and their manual pages, taken out of the package.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
for program in "${program_list[@]}"; do
  binary=$unpacked/usr/bin/$program
  page=$unpacked/usr/share/man/man1/$program.1.gz
  if [ -x "$binary" ]; then
    shown=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$binary" --version 2>&1) \
      || fail "$program --version failed: $shown"
    [ "$shown" = "$program $version" ] || fail "$program --version says '$shown'"
  fi
  if [ -f "$page" ]; then
    if ! text=$(gzip -dc "$page"); then
      fail "$page is not gzipped"
    else
      grep -q "^\.TH \"\?${program^^}\"\? \"\?1\"\?.*\"$program $version\"" <<<"$text" \
        || fail "the manual page of $program has the heading: $(grep -m 1 '^\.TH' <<<"$text")"
      grep -q "^\\\\fB$program\\\\fR \\\\- \|^$program \\\\- " <<<"$text" \
        || fail "the manual page of $program has no NAME line"
    fi
  fi
done

count=$(wc -l <<<"$packaged")
if [ "$failures" -ne 0 ]; then
  echo "package: $failures problem(s) in $deb" >&2
  exit 1
fi
echo "package: $deb holds the $count files it should"
