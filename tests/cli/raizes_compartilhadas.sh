#!/usr/bin/env bash
# Two desks, one network folder: two work roots share Gerados and Recebidos (each has its own Processados,
# Rascunho and ledger). Both answer the same received files at the same time, in the same order, so that
# they meet on every file and write into the shared folders together. Afterwards:
#   - every received file is in exactly one desk's Processados, none left waiting;
#   - every received file's identity (company and sequence) has exactly one request in Gerados;
#   - every request opens on the central side and carries its own file's company and holders;
#   - each run ended in 0 (answered), 1 (the file was gone: the other desk had answered it) or 7 (answered by
#     the other desk's request).
#   raizes_compartilhadas.sh CLI [FILES]     (FILES defaults to 10)
set -euo pipefail
cli=$1
n=${2:-10}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shared=$work/rede
mkdir -p "$shared/Gerados" "$shared/Recebidos" "$work/textos"
for desk in A B; do
  mkdir -p "$work/$desk"
  ln -s "$shared/Gerados" "$work/$desk/Gerados"
  ln -s "$shared/Recebidos" "$work/$desk/Recebidos"
done

fail() {
  echo "raizes_compartilhadas: $*" >&2
  ls -laR "$work" >&2
  exit 1
}

# The received files, each with its own company, sequence and number of holders; their texts, to compare.
names=()
for ((s = 1; s <= n; s++)); do
  name=$(printf 'RECEBIDO_%03d_1.rec' "$s")
  names+=("$name")
  "$cli" sample --holders $((2000 + 7 * s)) --seed "$s" "$work/textos/$name"
  cp "$work/textos/$name" "$shared/Recebidos/$name"
  "$cli" unpack "$shared/Recebidos/$name" "$work/textos/$name.txt" >/dev/null
done

# Company (columns 7-12 of the header) and sequence (characters 11-14 of its file name, columns 98-101).
identity() { head -n 1 "$1" | cut -c7-12,98-101; }
# What identifies each holder's record: code and card (columns 3-22) of every detail line.
holders() { grep -a '^01' "$1" | cut -c3-22 | sort; }

desk() {
  local root=$work/$1 order=("${@:2}") status
  for name in "${order[@]}"; do
    status=0
    "$cli" batch --root "$root" "$name" >>"$work/$1.out" 2>>"$work/$1.err" || status=$?
    echo "$name $status" >>"$work/$1.status"
  done
}
desk A "${names[@]}" &
a=$!
desk B "${names[@]}" &
b=$!
wait "$a"
wait "$b"

while read -r name status; do
  case $status in 0 | 1 | 7) ;; *) fail "$name ended with status $status: $(tail -n 3 "$work/A.err" "$work/B.err")" ;; esac
done < <(cat "$work/A.status" "$work/B.status")

shopt -s nullglob nocaseglob
requests=("$shared"/Gerados/*_2.rec)
shopt -u nullglob nocaseglob
((${#requests[@]} == n)) || fail "${#requests[@]} requests for $n received files"
declare -A answered
for req in "${requests[@]}"; do
  base=$(basename "$req")
  "$cli" unpack --as-central "$req" "$work/pedido.txt" >/dev/null 2>"$work/pedido.err" ||
    fail "$base does not open: $(cat "$work/pedido.err")"
  id=$(identity "$work/pedido.txt")
  # The request's name and its header name the same company and sequence.
  [ "$id" = "$(echo "$base" | cut -c4-9,11-14)" ] || fail "$base carries identity $id"
  [ -z "${answered[$id]:-}" ] || fail "$id answered twice: ${answered[$id]} and $base"
  answered[$id]=$base
  found=""
  for name in "${names[@]}"; do
    if [ "$(identity "$work/textos/$name.txt")" = "$id" ]; then found=$name; fi
  done
  [ -n "$found" ] || fail "$base answers no received file"
  [ "$(holders "$work/pedido.txt")" = "$(holders "$work/textos/$found.txt")" ] ||
    fail "$base does not carry the holders of $found"
done

for name in "${names[@]}"; do
  [ ! -e "$shared/Recebidos/$name" ] || fail "$name still waiting"
  places=0
  for desk in A B; do [ -e "$work/$desk/Processados/$name" ] && places=$((places + 1)); done
  ((places == 1)) || fail "$name is in $places Processados"
  cmp -s "$work"/[AB]/Processados/"$name" "$work/textos/$name" || fail "$name changed"
done
[ -z "$(find "$work" \( -name 'TMP?.REC*' -o -name '*.parcial' \) -print)" ] || fail "temporaries left"
echo "raizes_compartilhadas: $n received files answered once each by two desks sharing Gerados and Recebidos" \
  "(desk A: $(grep -c ' 0$' "$work/A.status" || true) answered, desk B: $(grep -c ' 0$' "$work/B.status" || true))"
