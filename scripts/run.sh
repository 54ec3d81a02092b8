#!/usr/bin/env bash
# Installs what is missing, builds Telvarim and starts it.
#   bash scripts/run.sh [WORK_ROOT]
# Without a work root (and without TELVARIM_ROOT) it uses ./demo, which it fills with a sample received file
# the first time.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The demo plays the central system too (`sample` makes its received file): the central role is on.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVARIM_CENTRAL=ON >/dev/null
cmake --build build -j"$(nproc)"

root="${1:-${TELVARIM_ROOT:-}}"
if [ -z "$root" ]; then
  root="$PWD/demo"
  # The sample waits in "Arquivos a Processar" until it has been answered (it then sits in Processados); a
  # tree whose sample could not be written once gets it on the next run.
  if [ -z "$(find "$root/Recebidos" "$root/Processados" -maxdepth 1 -iname '*_1.rec' 2>/dev/null | head -n 1)" ]; then
    mkdir -p "$root/Recebidos"
    ./build/bin/telvarim-cli sample --holders 300 --seed 1 "$root/Recebidos/RM_000123_0001_2612101100_1.rec" ||
      echo "run: could not write the sample received file; starting with an empty work tree"
  fi
fi
export TELVARIM_ROOT="$root"
echo "run: work root $TELVARIM_ROOT"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ] && [ "$(uname)" = Linux ]; then
  echo "run: no display found; starting on Qt's offscreen platform (press Ctrl+C to stop)"
  export QT_QPA_PLATFORM=offscreen
fi
exec ./build/bin/telvarim
