#!/usr/bin/env bash
# One exchange across platforms: the Linux and the Windows (under Wine) telvarim-cli make, process and open
# each other's files, and must agree on every record.
#   bash scripts/troca_plataformas.sh LINUX_CLI WINDOWS_CLI_EXE
#
# 1. Each side writes the same sample received file (same seed): Linux opens both and finds the same records.
# 2. Each sample is processed by both sides' `batch`; Linux opens the four requests as the central system.
#    The requests of one sample are the same records, apart from the clock: the header's dates and times
#    (columns 63-86) and its file name (NomeArquivo, columns 88-152), which carries the minute of writing.
# 3. Windows' default work root: `batch` without a root works in C:\Quintaro\Telvarim (the Wine prefix's
#    drive_c) and its log names the folders exactly as the product always has.
#
# Uses WINEPREFIX when it is set (and already booted); otherwise makes a throw-away one. Exit 0 only when
# every check holds.
set -euo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 LINUX_CLI WINDOWS_CLI_EXE" >&2
  exit 2
fi
linux_cli=$(realpath "$1")
windows_cli=$(realpath "$2")
export WINEDEBUG=-all
unset TELVARIM_ROOT

work=$(mktemp -d)
prefixo_proprio=
limpa() {
  if [ -n "$prefixo_proprio" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$prefixo_proprio"
  fi
  rm -rf "$work"
}
trap limpa EXIT
if [ -z "${WINEPREFIX:-}" ]; then
  prefixo_proprio=$(mktemp -d)
  export WINEPREFIX=$prefixo_proprio
  WINEARCH=win64 wineboot -i >/dev/null 2>&1
  wineserver -w
fi

falhas=0
falha() {
  echo "troca: FAIL: $*" >&2
  falhas=$((falhas + 1))
}

# A host path as the Windows program names it: Wine maps the host's / to drive Z:.
win() { printf 'Z:%s' "${1//\//\\}"; }
linux() { "$linux_cli" "$@"; }
windows() { wine "$windows_cli" "$@"; }

# The records of a sealed request or sample, opened on Linux, with the clock fields of the header blanked.
registros() {  # SEALED OUT [--as-central]
  local selado=$1 saida=$2
  shift 2
  linux unpack "$selado" "$saida.txt" "$@"
  LC_ALL=C awk '
    /^00/ { $0 = substr($0, 1, 62) sprintf("%24s", "") substr($0, 87, 1) sprintf("%65s", "") substr($0, 153) }
    { print }' "$saida.txt" >"$saida"
}

nome=RM_000123_0001_2612101100_1.rec
semente=7
titulares=40

echo "== sample on both sides (seed $semente, $titulares holders)"
mkdir -p "$work/amostra"
linux sample --holders "$titulares" --seed "$semente" "$work/amostra/linux_1.rec"
windows sample --holders "$titulares" --seed "$semente" "$(win "$work/amostra/windows_1.rec")"
linux unpack "$work/amostra/linux_1.rec" "$work/amostra/linux.txt"
linux unpack "$work/amostra/windows_1.rec" "$work/amostra/windows.txt"
cmp -s "$work/amostra/linux.txt" "$work/amostra/windows.txt" ||
  falha "the Windows sample's records differ from the Linux sample's"

# batch SIDE SAMPLE ROOT: processes SAMPLE (as $nome) in a fresh ROOT; prints the request's path.
batch() {
  local lado=$1 amostra=$2 raiz=$3
  mkdir -p "$raiz/Recebidos"
  cp "$amostra" "$raiz/Recebidos/$nome"
  if [ "$lado" = linux ]; then
    linux batch --root "$raiz" "$nome" >"$raiz.out" 2>"$raiz.err" || { cat "$raiz.err" >&2; return 1; }
  else
    windows batch --root "$(win "$raiz")" "$nome" >"$raiz.out" 2>"$raiz.err" || { cat "$raiz.err" >&2; return 1; }
  fi
  [ -f "$raiz/Processados/$nome" ] || { echo "$lado batch did not move the received file" >&2; return 1; }
  local pedidos=("$raiz"/Gerados/RM_*_2.REC)
  if [ ${#pedidos[@]} -ne 1 ] || [ ! -f "${pedidos[0]}" ]; then
    echo "$lado batch wrote no single request" >&2
    return 1
  fi
  printf '%s' "${pedidos[0]}"
}

for origem in linux windows; do
  for lado in linux windows; do
    echo "== $origem sample, $lado batch"
    raiz="$work/$origem-$lado"
    if pedido=$(batch "$lado" "$work/amostra/${origem}_1.rec" "$raiz"); then
      registros "$pedido" "$raiz.registros" --as-central
    else
      falha "$lado batch of the $origem sample"
      : >"$raiz.registros"
    fi
  done
  if [ -s "$work/$origem-linux.registros" ] && cmp -s "$work/$origem-linux.registros" "$work/$origem-windows.registros"; then
    echo "   same request records from both sides"
  else
    falha "the requests of the $origem sample differ between Linux and Windows"
    diff "$work/$origem-linux.registros" "$work/$origem-windows.registros" | head -n 10 >&2 || true
  fi
done

echo "== Windows' default work root (C:\\Quintaro\\Telvarim in the Wine prefix)"
padrao="$WINEPREFIX/drive_c/Quintaro/Telvarim"
if [ -e "$padrao" ]; then
  falha "$padrao already exists; run with a throw-away WINEPREFIX"
else
  mkdir -p "$padrao/Recebidos"
  cp "$work/amostra/linux_1.rec" "$padrao/Recebidos/$nome"
  if (cd "$work" && windows batch "$nome" >"$work/padrao.out" 2>"$work/padrao.err"); then
    tr -d '\r' <"$work/padrao.out" >"$work/padrao.log"
    for pasta in Gerados Processados Rascunho; do
      [ -d "$padrao/$pasta" ] || falha "batch did not create C:\\Quintaro\\Telvarim\\$pasta"
    done
    [ -f "$padrao/Processados/$nome" ] || falha "the received file did not move to C:\\Quintaro\\Telvarim\\Processados"
    pedidos=("$padrao"/Gerados/RM_*_2.REC)
    if [ -f "${pedidos[0]}" ]; then
      pedido=$(basename "${pedidos[0]}")
      registros "${pedidos[0]}" "$work/padrao.registros" --as-central
      cmp -s "$work/padrao.registros" "$work/linux-linux.registros" ||
        falha "the request written in the default root differs from the Linux request"
      esperadas=(
        "Carregando Arquivo : C:\\Quintaro\\Telvarim\\Recebidos\\$nome"
        "Arquivo Gerado ==> c:\\Quintaro\\Telvarim\\Gerados\\$pedido"
        "Arquivo Gerado ==> c:\\Quintaro\\Telvarim\\Gerados\\${pedido%.REC}.LOG"
        "Arquivo Movido para C:\\Quintaro\\Telvarim\\Processados "
      )
      for linha in "${esperadas[@]}"; do
        grep -qxF -- "$linha" "$work/padrao.log" || falha "log line missing: '$linha'"
      done
      # The .LOG beside the request is saved before the received file moves.
      for linha in "${esperadas[@]:0:3}"; do
        tr -d '\r' <"$padrao/Gerados/${pedido%.REC}.LOG" | grep -qxF -- "$linha" ||
          falha "line missing from the .LOG file: '$linha'"
      done
    else
      falha "no request in C:\\Quintaro\\Telvarim\\Gerados"
    fi
  else
    cat "$work/padrao.err" >&2
    falha "batch without a root failed"
  fi
  rm -rf "$WINEPREFIX/drive_c/Quintaro"
fi

if [ "$falhas" -ne 0 ]; then
  echo "troca: $falhas check(s) failed" >&2
  exit 1
fi
echo "troca: Linux and Windows agree"
