#!/usr/bin/env bash
# Checks the desktop entry and the AppStream metadata of data/, as the test `metadata` does:
# both valid (desktop-file-validate, appstreamcli validate without the network), the metadata
# named after its id, launching the desktop entry of data/, giving the version as its newest
# release and providing every program.
#
#   scripts/check-metadata.sh --version=VERSION --programs=P,...
set -euo pipefail
data=$(cd "$(dirname "$0")/../data" && pwd)

version="" programs=""
for argument in "$@"; do
  case $argument in
    --version=*) version=${argument#*=} ;;
    --programs=*) programs=${argument#*=} ;;
    *) echo "check-metadata.sh: unknown argument $argument" >&2; exit 2 ;;
  esac
done
[ -n "$version" ] && [ -n "$programs" ] \
  || { echo "usage: scripts/check-metadata.sh --version=VERSION --programs=P,..." >&2; exit 2; }
IFS=, read -r -a program_list <<<"$programs"

failures=0
fail() {
  echo "metadata: $*" >&2
  failures=$((failures + 1))
}

desktop=$data/nimbrel.desktop
# desktop-file-validate fails on errors only; its warnings and hints count here too.
said=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$said" ] || fail "desktop-file-validate: $said"

shopt -s nullglob
metainfos=("$data"/*.metainfo.xml)
[ ${#metainfos[@]} -eq 1 ] || { echo "metadata: one .metainfo.xml in data/ expected" >&2; exit 1; }
metainfo=${metainfos[0]}
appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 \
  || fail "appstreamcli validate: $(appstreamcli validate --no-net "$metainfo" 2>&1)"

# The first tag's text, or the first value of the attribute given ("tag attribute").
first() { grep -o -m 1 "<$1[^>]*>[^<]*" "$metainfo" | head -n 1 | sed 's/.*>//'; }
id=$(first id)
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "$(basename "$metainfo") does not carry the id $id"
launched=$(first 'launchable type="desktop-id"')
[ "$launched" = "$(basename "$desktop")" ] || fail "it launches '$launched', not $(basename "$desktop")"
newest=$(grep -o -m 1 '<release version="[^"]*"' "$metainfo" | sed 's/.*version="//; s/"$//')
[ "$newest" = "$version" ] || fail "its newest release is '$newest', not $version: add a <release>"
for program in "${program_list[@]}"; do
  grep -q "<binary>$program</binary>" "$metainfo" || fail "<provides> lacks <binary>$program</binary>"
done

[ "$failures" -eq 0 ] || exit 1
echo "metadata: $(basename "$desktop") and $(basename "$metainfo") are valid"
