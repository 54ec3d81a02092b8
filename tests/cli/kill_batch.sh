#!/usr/bin/env bash
# Kills `telvarim-cli batch` in every phase of its answer, on one work root with a received file, and checks
# after each kill and after the run that follows it:
#   - the received file whole (its bytes unchanged) in Recebidos or in Processados, never in both or neither;
#   - every request (*_2.REC) in Gerados opening on the central side, every .LOG complete;
#   - after a SIGTERM, no temporary of the run: the command removed them on its way out;
#   - after the next run, exactly one request for the file and the file in Processados: an answer is never
#     given twice, whatever moment the kill hit.
# The kills are aimed: the run stops itself at a named point (TELVARIM_TESTE_PARADA) and is killed there, with
# SIGKILL and with SIGTERM, at each point in turn: before the request is in place, with the request in place
# and the ledger not yet written, with the ledger written and the file not yet moved, after the move. Then
# KILLS more kills at moments spread over a whole run. A phase that got no kill fails the test.
#   kill_batch.sh CLI [KILLS]     (KILLS defaults to 8; the figures go to stdout)
set -euo pipefail
cli=$1
kills=${2:-8}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
name=RM_000123_0001_2612101100_1.rec
mkdir -p "$root/Recebidos"
"$cli" sample --holders 3000 "$work/original_1.rec"
cp "$work/original_1.rec" "$root/Recebidos/$name"

fail() {
  echo "kill_batch: $round: $*" >&2
  ls -laR "$root" >&2
  exit 1
}

# A fresh start: the file waiting, nothing answered.
reset() {
  rm -rf "$root/Gerados" "$root/Processados" "$root/.telvarim.respostas"
  mkdir -p "$root/Recebidos"
  cp "$work/original_1.rec" "$root/Recebidos/$name"
}

temporaries() { find "$root" \( -name 'TMP?.REC*' -o -name '*.parcial' \) -print; }

# What a kill may leave: the file in one place, whole; what a list shows, whole.
check_left() {
  local places=0 f req log
  for f in "$root/Recebidos/$name" "$root/Processados/$name"; do
    if [ -e "$f" ]; then
      places=$((places + 1))
      cmp -s "$f" "$work/original_1.rec" || fail "$f changed"
    fi
  done
  ((places == 1)) || fail "the received file is in $places places"
  shopt -s nullglob nocaseglob
  for req in "$root"/Gerados/*_2.rec; do
    "$cli" unpack --as-central "$req" "$work/check.txt" >/dev/null 2>"$work/check.err" ||
      fail "$(basename "$req") does not open: $(cat "$work/check.err")"
  done
  for log in "$root"/Gerados/*.log; do
    tail -c 300 "$log" | grep -aq 'Arquivo Gerado ==> .*\.LOG' || fail "$(basename "$log") is cut short"
  done
  shopt -u nullglob nocaseglob
}

# The next run finishes the work: one request, the file in Processados.
check_next_run() {
  local status=0 requests
  "$cli" batch --root "$root" "$name" >"$work/next.out" 2>"$work/next.err" || status=$?
  if [ -e "$root/Recebidos/$name" ]; then fail "the next run left the file waiting (status $status)"; fi
  # A run that found the file already moved has nothing to do: it says so and changes nothing.
  if ((status != 0)) && ! grep -q "no received file named" "$work/next.err"; then
    fail "the next run failed with status $status: $(tail -n 1 "$work/next.err")"
  fi
  check_left
  requests=$(find "$root/Gerados" -iname '*_2.rec' | wc -l)
  ((requests == 1)) || fail "$requests requests for one received file"
}

# Stopped at a point, then killed there.
declare -A aimed
phases="antes-do-pedido pedido-gravado resposta-registrada recebido-movido"
for phase in $phases; do
  for signal in KILL TERM; do
    round="$signal at $phase"
    reset
    TELVARIM_TESTE_PARADA=$phase "$cli" batch --root "$root" "$name" >/dev/null 2>&1 &
    pid=$!
    stopped=0
    for ((t = 0; t < 3000; t++)); do
      state=$(cut -d' ' -f3 "/proc/$pid/stat" 2>/dev/null || echo gone)
      if [ "$state" = T ]; then
        stopped=1
        break
      fi
      [ "$state" = gone ] || [ "$state" = Z ] && break
      sleep 0.01
    done
    ((stopped)) || fail "the run never reached $phase"
    kill -s "$signal" "$pid"
    kill -s CONT "$pid" 2>/dev/null || true
    status=0
    { wait "$pid"; } 2>/dev/null || status=$?
    ((status >= 128)) || fail "the run was not ended by the signal (status $status)"
    aimed[$phase]=$((${aimed[$phase]:-0} + 1))
    check_left
    if [ "$signal" = TERM ]; then
      left=$(temporaries)
      [ -z "$left" ] || fail "temporaries left after SIGTERM: $left"
    fi
    check_next_run
  done
done
for phase in $phases; do
  ((${aimed[$phase]:-0} > 0)) || { round=summary; fail "no kill in phase $phase"; }
done

# Kills at moments spread over 0 to 110 % of a whole run.
reset
t0=$(date +%s%N)
"$cli" batch --root "$root" "$name" >/dev/null
full_us=$((($(date +%s%N) - t0) / 1000))
before=0 between=0 moved=0
for ((i = 1; i <= kills; i++)); do
  round="kill $i"
  reset
  signal=KILL
  ((i % 2 == 0)) && signal=TERM
  us=$((full_us * 11 * i / (10 * kills)))
  "$cli" batch --root "$root" "$name" >/dev/null 2>&1 &
  pid=$!
  sleep "$(printf '%d.%06d' $((us / 1000000)) $((us % 1000000)))"
  kill -s "$signal" "$pid" 2>/dev/null || true
  { wait "$pid"; } 2>/dev/null || true
  check_left
  if [ -e "$root/Processados/$name" ]; then
    moved=$((moved + 1))
  elif [ -n "$(find "$root/Gerados" -iname '*_2.rec' 2>/dev/null)" ]; then
    between=$((between + 1))
  else
    before=$((before + 1))
  fi
  check_next_run
done
echo "kill_batch: aimed kills: $(for p in $phases; do printf '%s %d, ' "$p" "${aimed[$p]}"; done)" \
  "each followed by a run that left one request; timed kills over a ${full_us} us run: $before before the" \
  "request, $between with the request and the file not yet moved, $moved after the move"
