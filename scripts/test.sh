#!/usr/bin/env bash
# Installs what is missing, builds everything, runs every test; then the Windows cross-build's suites under
# Wine and a Linux/Windows exchange; then the core libraries again under AddressSanitizer +
# UndefinedBehaviorSanitizer, and each fuzz target for a short time.
#   FUZZ_SECONDS  seconds per fuzz target (default 30; 0 skips fuzzing)
#   JOBS          parallel build and test jobs (default: number of cores)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
jobs="${JOBS:-$(nproc)}"
fuzz_seconds="${FUZZ_SECONDS:-30}"

echo "== source layout (clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# Every build here has the central role (TELVARIM_CENTRAL): the tests play the central system with it.
echo "== build (gcc, with the windows)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVARIM_CENTRAL=ON >/dev/null
cmake --build build -j"$jobs"
echo "== tests"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300
echo "== Debian package (demo keys)"
# A build with the central role is never packaged; the package is made from the two programs built without it.
if (cd build && cpack -G DEB >/dev/null 2>&1); then
  echo "cpack packaged a build that carries the central system's private key"
  exit 1
fi
cmake -S . -B build-pacote -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVARIM_CENTRAL=OFF \
  -DTELVARIM_PACOTE_DEMO=ON -DTELVARIM_TESTS=OFF -DTELVARIM_BENCH=OFF >/dev/null
cmake --build build-pacote -j"$jobs"
bash scripts/verifica_pacote.sh build-pacote

echo "== build (Windows: MinGW-w64 cross-build of the engine, the CLI and their suites)"
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DTELVARIM_GUI=OFF -DTELVARIM_BENCH=OFF -DTELVARIM_CENTRAL=ON >/dev/null
cmake --build build-win -j"$jobs"
# A throw-away Wine prefix, booted once, headless; its drive A: is a floppy drive, so the drive list's
# removable branch runs.
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
fecha_wine() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}
trap fecha_wine EXIT
wineboot -i >/dev/null 2>&1
mkdir "$WINEPREFIX/disquete"
ln -s "$WINEPREFIX/disquete" "$WINEPREFIX/dosdevices/a:"
wine reg add 'HKLM\Software\Wine\Drives' /v a: /t REG_SZ /d floppy /f >/dev/null
wineserver -w
echo "== Windows tests under Wine"
TELVARIM_TESTE_REMOVIVEL=a: ctest --test-dir build-win --output-on-failure -j"$jobs" --timeout 600
echo "== Linux/Windows exchange"
bash scripts/troca_plataformas.sh build/bin/telvarim-cli build-win/bin/telvarim-cli.exe
fecha_wine
trap - EXIT
unset WINEPREFIX

echo "== build (clang, ASan + UBSan, core libraries and fuzz targets)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTELVARIM_GUI=OFF -DTELVARIM_BENCH=OFF -DTELVARIM_SANITIZE=ON -DTELVARIM_FUZZ=ON -DTELVARIM_CENTRAL=ON >/dev/null
cmake --build build-asan -j"$jobs"
echo "== core tests under ASan + UBSan"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600

if [ "$fuzz_seconds" -gt 0 ]; then
  shopt -s nullglob
  top=$PWD
  for fz in build-asan/bin/fuzz_*; do
    name=$(basename "$fz")
    work=$(mktemp -d)
    mkdir "$work/corpus"
    if [ -d "tests/fuzz/corpus/$name" ]; then cp -r "tests/fuzz/corpus/$name/." "$work/corpus/"; fi
    echo "== fuzz $name for ${fuzz_seconds}s"
    status=0
    (cd "$work" && ASAN_OPTIONS=detect_leaks=1 "$top/$fz" -max_total_time="$fuzz_seconds" -timeout=10 \
      -rss_limit_mb=2048 -print_final_stats=1 corpus >"$work/log" 2>&1) || status=$?
    tail -n 6 "$work/log"
    if [ "$status" -ne 0 ]; then
      echo "fuzz target $name failed:"; grep -A 30 -m1 -E 'ERROR|runtime error|Timeout|out-of-memory' "$work/log" || true
      rm -rf "$work"; exit 1
    fi
    rm -rf "$work"
  done
fi
echo "== all tests passed"
