#!/usr/bin/env bash
# check-release.sh ZIP [SECOND_ZIP] — checks the release package:
#   - it is a sound zip holding exactly zettrim.exe, zettrim-cpuinfo.exe,
#     ReadMe.txt, History.txt and Copyrights.txt, in that order;
#   - zettrim.exe is at most 640 KB (640,000 bytes): the monitor alone is
#     about 400 KB, its four windows with the processor identification
#     library they show about 190 KB more;
#   - zettrim.exe is the released program, not the build the end-to-end
#     tests drive: it has no window answering their questions;
#   - both programs are stripped Windows executables without a link time
#     stamp; the text files are the repository's, byte for byte;
#   - each program carries exactly one manifest (resource type 24, id 1, in
#     one language), and it is res/zettrim.manifest byte for byte: Windows
#     refuses to start a program whose manifest it cannot read;
#   - the read-me is UTF-8 with a byte-order mark and CRLF line ends, and
#     speaks Chinese and English;
#   - every entry carries the commit's time (SOURCE_DATE_EPOCH when set),
#     no owner and no extra time fields, so that nothing of the build
#     machine is in it;
#   - with SECOND_ZIP (the same commit built elsewhere): both zips, and the
#     programs in them, are the same bytes.
# Prints the listing and the sizes; exit status 0 when everything holds.
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
zip="${1:?usage: check-release.sh ZIP [SECOND_ZIP]}"
second="${2:-}"
# The monitor alone was 401 KB; its four windows and the processor library
# brought it to 591 KB, drawing at every display scaling and the windows'
# copying, keyboard and screen-reader support to 668 KB; the English texts
# (18 KB), the system's working clock and the leaf-4 caches, and the
# history's records, process list and kept file brought it to 773 KB,
# the history window (its graph, readout and save) to 799 KB, and the icon
# drawn at every size from 16 to 256 pixels (its larger pictures as PNG,
# 5 KB) to 806 KB.  The kept file's thread and lock and the history
# window's buffers took it to 819 KB; the disk, network and graphics
# readings (11 KB) came in as the history's dates were read without the C
# library's scanf (16 KB less): 815 KB; the history window's second graph
# (6 KB) and the main window's line of them with its setting (7 KB): 828 KB.
# What comes next must bring its own room:
# anything larger is a decision.
budget=830000
expected=(zettrim.exe zettrim-cpuinfo.exe ReadMe.txt History.txt Copyrights.txt)

problems=0
bad() {
  echo "PROBLEM: $*"
  problems=$((problems + 1))
}

for tool in unzip zipinfo od cmp sha256sum; do
  command -v "$tool" >/dev/null || { echo "check-release: '$tool' is not installed" >&2; exit 1; }
done
[[ -f "$zip" ]] || { echo "check-release: $zip does not exist" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "== $zip ($(stat -c %s "$zip") bytes)"
unzip -l "$zip"
unzip -tq "$zip" >/dev/null || bad "the zip does not test sound (unzip -t)"

mapfile -t names < <(zipinfo -1 "$zip")
[[ "${names[*]}" == "${expected[*]}" ]] ||
  bad "the zip holds '${names[*]}', not '${expected[*]}'"

unzip -q "$zip" -d "$work/x" || bad "the zip does not unpack"

# A little-endian number of N bytes at OFFSET of FILE.
number() { od -An -tu"$3" -j "$2" -N "$3" "$1" | tr -d ' \n'; }

# The manifest of the Windows program FILE (whose PE header is at PE) into
# OUT, read through its resource directory: type 24, then the one name 1,
# then the one language.  Prints what is wrong and fails otherwise.
manifest_of() {
  local f="$1" pe="$2" out="$3"
  local sections opt magic dirs dir_count rva root
  sections="$(number "$f" $((pe + 6)) 2)"
  opt=$((pe + 24))
  magic="$(number "$f" "$opt" 2)"
  case "$magic" in
    267) dir_count="$(number "$f" $((opt + 92)) 4)"; dirs=$((opt + 96)) ;;    # PE32
    523) dir_count="$(number "$f" $((opt + 108)) 4)"; dirs=$((opt + 112)) ;;  # PE32+
    *) echo "an optional header of unknown kind ($magic)"; return 1 ;;
  esac
  rva=0
  ((dir_count > 2)) && rva="$(number "$f" $((dirs + 16)) 4)"
  ((rva)) || { echo "no resources"; return 1; }
  local table=$((opt + $(number "$f" $((pe + 20)) 2)))
  # The file offset of a relative virtual address, through the sections.
  offset_of() {
    local i s va span raw
    for ((i = 0; i < sections && i < 96; i++)); do
      s=$((table + 40 * i))
      va="$(number "$f" $((s + 12)) 4)"
      span="$(number "$f" $((s + 8)) 4)"
      raw="$(number "$f" $((s + 16)) 4)"
      ((raw > span)) && span=$raw
      if (($1 >= va && $1 < va + span)); then
        echo $(($1 - va + $(number "$f" $((s + 20)) 4)))
        return 0
      fi
    done
    return 1
  }
  root="$(offset_of "$rva")" || { echo "the resources lie in no section"; return 1; }
  # One level of the directory at OFFSET: "ID DATA" per entry, names as -1.
  entries() {
    local named ids k e id
    named="$(number "$f" $(($1 + 12)) 2)"
    ids="$(number "$f" $(($1 + 14)) 2)"
    for ((k = 0; k < named + ids && k < 4096; k++)); do
      e=$(($1 + 16 + 8 * k))
      id="$(number "$f" "$e" 4)"
      ((id & 0x80000000)) && id=-1
      echo "$id $(number "$f" $((e + 4)) 4)"
    done
  }
  local types names langs data size at
  mapfile -t types < <(entries "$root" | awk '$1 == 24')
  ((${#types[@]} == 1)) || { echo "${#types[@]} manifest resource types, not one"; return 1; }
  data="${types[0]#* }"
  ((data & 0x80000000)) || { echo "the manifest type is no directory"; return 1; }
  mapfile -t names < <(entries $((root + (data & 0x7FFFFFFF))))
  [[ "${names[*]}" == "1 "* && ${#names[@]} == 1 ]] ||
    { echo "manifests with the ids '${names[*]%% *}', not the one with id 1"; return 1; }
  data="${names[0]#* }"
  ((data & 0x80000000)) || { echo "manifest 1 is no directory"; return 1; }
  mapfile -t langs < <(entries $((root + (data & 0x7FFFFFFF))))
  ((${#langs[@]} == 1)) || { echo "manifest 1 in ${#langs[@]} languages, not one"; return 1; }
  data="${langs[0]#* }"
  ((data & 0x80000000)) && { echo "manifest 1 is a directory, not data"; return 1; }
  at=$((root + data))
  size="$(number "$f" $((at + 4)) 4)"
  at="$(offset_of "$(number "$f" "$at" 4)")" || { echo "the manifest lies in no section"; return 1; }
  dd if="$f" of="$out" bs=4096 iflag=skip_bytes,count_bytes skip="$at" count="$size" status=none
}

for exe in zettrim.exe zettrim-cpuinfo.exe; do
  f="$work/x/$exe"
  [[ -f "$f" ]] || continue
  if [[ "$(head -c 2 "$f")" != MZ ]]; then bad "$exe is not a Windows executable"; continue; fi
  pe="$(number "$f" 60 4)"
  if [[ "$(od -An -c -j "$pe" -N 4 "$f" | tr -d ' ')" != 'PE\0\0' ]]; then
    bad "$exe has no PE header"; continue
  fi
  # COFF header: time stamp, then the symbol table's offset and count.
  stamp="$(number "$f" $((pe + 8)) 4)"
  symbols="$(number "$f" $((pe + 12)) 4)/$(number "$f" $((pe + 16)) 4)"
  [[ "$stamp" == 0 ]] || bad "$exe carries a link time stamp ($stamp)"
  [[ "$symbols" == 0/0 ]] || bad "$exe is not stripped (symbol table at/count $symbols)"
  if why="$(manifest_of "$f" "$pe" "$work/$exe.manifest")"; then
    cmp -s "$work/$exe.manifest" "$root/res/zettrim.manifest" ||
      bad "$exe carries a manifest other than res/zettrim.manifest"
    echo "$exe: manifest of $(stat -c %s "$work/$exe.manifest") bytes"
  else
    bad "$exe: $why"
  fi
done

size="$(stat -c %s "$work/x/zettrim.exe" 2>/dev/null || echo 0)"
if ((size > budget)); then
  bad "zettrim.exe is $size bytes, over its budget of $budget"
fi
echo "zettrim.exe: $size bytes of $budget ($((budget - size)) to spare)"

# Whether FILE holds TEXT as UTF-16 (little-endian, as the programs keep
# their wide strings), at a whole byte.
has_utf16() {
  local hex="" i
  for ((i = 0; i < ${#2}; i++)); do hex+="$(printf '%02x00' "'${2:i:1}")"; done
  od -An -v -tx1 "$1" | tr -d ' \n' | grep -ob "$hex" | awk -F: '$1 % 2 == 0 { found = 1 } END { exit !found }'
}
if [[ -f "$work/x/zettrim.exe" ]] && has_utf16 "$work/x/zettrim.exe" "Zettrim.Query"; then
  bad "zettrim.exe answers the end-to-end tests' questions (window class Zettrim.Query): it is the tests' build"
fi

for doc in History.txt Copyrights.txt ReadMe.txt; do
  [[ -f "$work/x/$doc" ]] && { cmp -s "$work/x/$doc" "$root/res/$doc" || bad "$doc differs from res/$doc"; }
done
readme="$work/x/ReadMe.txt"
if [[ -f "$readme" ]]; then
  [[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" == efbbbf ]] || bad "ReadMe.txt has no UTF-8 byte-order mark"
  lines="$(wc -l < "$readme")"
  crlf="$(grep -c $'\r$' "$readme")"
  [[ "$lines" == "$crlf" ]] || bad "ReadMe.txt has $((lines - crlf)) line(s) without CRLF"
  grep -q '中文' "$readme" && grep -q 'English' "$readme" || bad "ReadMe.txt lacks its Chinese or English part"
fi

# Times: the commit's, on every entry (zip stores even seconds, rounding up).
epoch="${SOURCE_DATE_EPOCH:-$(git -c safe.directory="$root" -C "$root" log -1 --format=%ct 2>/dev/null)}"
if [[ -n "$epoch" ]]; then
  want="$(TZ=UTC date -d "@$((epoch + epoch % 2))" +%Y%m%d.%H%M%S)"
  while read -r stamp name; do
    [[ "$stamp" == "$want" ]] || bad "$name is dated $stamp, not the commit's $want (UTC)"
  done < <(TZ=UTC zipinfo -T "$zip" | awk 'NF >= 8 && $1 ~ /^-/ { print $(NF-1), $NF }')
else
  bad "no commit time to compare the entries' times with"
fi
extra="$(zipinfo -v "$zip" | grep -c 'length of extra field: *[1-9]')"
[[ "$extra" == 0 ]] || bad "$extra entr(y/ies) carry extra fields (owner or time of the build machine)"

if [[ -n "$second" ]]; then
  echo "== the same commit built elsewhere"
  printf '%-64s  %-64s  %s\n' "this build (sha256)" "other build (sha256)" file
  unzip -q "$second" -d "$work/y" || bad "$second does not unpack"
  for name in "${expected[@]}"; do
    a="$(sha256sum < "$work/x/$name" 2>/dev/null | cut -c1-64)"
    b="$(sha256sum < "$work/y/$name" 2>/dev/null | cut -c1-64)"
    printf '%-64s  %-64s  %s\n' "$a" "$b" "$name"
    [[ -n "$a" && "$a" == "$b" ]] || bad "$name differs between the two builds"
  done
  a="$(sha256sum < "$zip" | cut -c1-64)"
  b="$(sha256sum < "$second" | cut -c1-64)"
  printf '%-64s  %-64s  %s\n' "$a" "$b" "$(basename "$zip")"
  [[ "$a" == "$b" ]] || bad "the zips differ between the two builds"
fi

if ((problems)); then
  echo "check-release: $problems problem(s)"
  exit 1
fi
echo "check-release: the package is sound"
