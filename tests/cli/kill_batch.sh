#!/usr/bin/env bash
# Kills `telvarim-cli batch` again and again at moments spread over its run, on one work root with a
# 10000-holder received file, and checks after each kill what a crash may leave behind:
#   - the received file whole (its bytes unchanged) in Recebidos or in Processados, never in both or neither;
#   - every request (*_2.REC) in Gerados opening on the central side, every .LOG complete;
#   - after a SIGTERM (every other kill), no temporary of the run: the command removed them on its way out.
# A SIGKILL leaves its temporaries; the next run must cope with them (and with the lock file the dead one
# held, which the system has released).
#   kill_batch.sh CLI [KILLS]     (KILLS defaults to 30; the figures go to stdout)
set -euo pipefail
cli=$1
kills=${2:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
name=RM_000123_0001_2612101100_1.rec
mkdir -p "$root/Recebidos"
"$cli" sample --holders 10000 "$work/original_1.rec"
cp "$work/original_1.rec" "$root/Recebidos/$name"

fail() {
  echo "kill_batch: after kill $i ($signal at ${delay}s): $*" >&2
  ls -laR "$root" >&2
  exit 1
}

# One whole run tells how long a run takes here; the kills are spread over 0 to 110 % of it.
t0=$(date +%s%N)
"$cli" batch --root "$root" "$name" >/dev/null
full_us=$((($(date +%s%N) - t0) / 1000))
mv "$root/Processados/$name" "$root/Recebidos/$name"

# Requests by inode: a new request replaces the old one under the same name (same minute) in one rename.
inodes() { find "$root/Gerados" -iname '*_2.rec' -printf '%i:%T@ ' 2>/dev/null | tr ' ' '\n' | sort | tr '\n' ' '; }

before_request=0 between=0 moved=0 killed=0 finished=0 checked=0
for ((i = 1; i <= kills; i++)); do
  signal=KILL
  if ((i % 2 == 0)); then
    signal=TERM
    # What earlier SIGKILLs left must not be taken for what this run leaves.
    find "$root" \( -name 'TMP?.REC' -o -name '*.parcial' \) -delete
  fi
  us=$((full_us * 11 * i / (10 * kills)))
  delay=$(printf '%d.%06d' $((us / 1000000)) $((us % 1000000)))

  old=$(inodes)
  "$cli" batch --root "$root" "$name" >/dev/null 2>&1 &
  pid=$!
  sleep "$delay"
  kill -s "$signal" "$pid" 2>/dev/null || true
  status=0
  { wait "$pid"; } 2>/dev/null || status=$?
  if ((status >= 128)); then killed=$((killed + 1)); else finished=$((finished + 1)); fi

  # The received file: in exactly one place, byte for byte.
  places=0
  for f in "$root/Recebidos/$name" "$root/Processados/$name"; do
    if [ -e "$f" ]; then
      places=$((places + 1))
      cmp -s "$f" "$work/original_1.rec" || fail "$f changed"
    fi
  done
  ((places == 1)) || fail "the received file is in $places places"
  if [ -e "$root/Processados/$name" ]; then
    moved=$((moved + 1))
  elif [ "$(inodes)" != "$old" ]; then
    between=$((between + 1))
  else
    before_request=$((before_request + 1))
  fi

  # What a list shows is whole.
  shopt -s nullglob nocaseglob
  for req in "$root"/Gerados/*_2.rec; do
    "$cli" unpack --as-central "$req" "$work/check.txt" >/dev/null 2>"$work/check.err" ||
      fail "$(basename "$req") does not open: $(cat "$work/check.err")"
    checked=$((checked + 1))
  done
  for log in "$root"/Gerados/*.log; do
    tail -c 300 "$log" | grep -aq 'Arquivo Gerado ==> .*\.LOG' || fail "$(basename "$log") is cut short"
  done
  if [ "$signal" = TERM ]; then
    left=$(find "$root" \( -name 'TMP?.REC' -o -name '*.parcial' \) -print)
    [ -z "$left" ] || fail "temporaries left after SIGTERM: $left"
  fi
  shopt -u nullglob nocaseglob

  # Start the next round from the received file again.
  [ -e "$root/Processados/$name" ] && mv "$root/Processados/$name" "$root/Recebidos/$name"
done
echo "kill_batch: $kills kills over a ${full_us} us run ($killed ended by the signal, $finished had finished):" \
  "$before_request before the request was in place, $between with the request written and the file not yet" \
  "moved, $moved after the move; $checked request files opened on the central side"
