#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Telvarim needs.
# Idempotent: when everything is present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev libgl-dev            # Qt Widgets, PrintSupport, Test
  libgtest-dev libgmock-dev         # unit tests
  libbenchmark-dev                  # benchmarks
  libssl-dev                        # independent oracle for the crypto tests and benchmarks only
  clang libclang-rt-14-dev          # libFuzzer and the sanitizer build
  clang-format                      # the source layout check of scripts/test.sh
  fonts-liberation                  # Arial/Courier New metrics for windows and reports
  ncompress                         # peer of the LZW benchmark
  xvfb xauth                        # screenshots of the windows on a machine without a display
  qt6-translations-l10n             # Qt's own dialogs and buttons in Portuguese
  dpkg-dev desktop-file-utils appstream  # the .deb (cpack's shlibdeps) and the checks of its menu entry
  poppler-utils                     # pdftotext reads the report PDFs back in the GUI tests; pdftoppm for docs/
  g++-mingw-w64-x86-64-posix        # the Windows cross-build of the engine, the CLI and their tests
)
# Wine runs the Windows build's tests and the cross-platform exchange (wine64, and wine for its launcher);
# without its recommended packages, which are for desktop use.
sem_recomendados=(wine wine64)

instalado() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=()
for p in "${packages[@]}"; do
  instalado "$p" || missing+=("$p")
done
missing_sem=()
for p in "${sem_recomendados[@]}"; do
  instalado "$p" || missing_sem+=("$p")
done
[ ${#missing[@]} -eq 0 ] && [ ${#missing_sem[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  SUDO=sudo
else
  SUDO=
fi
echo "setup: installing ${missing[*]} ${missing_sem[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null; fi
if [ ${#missing_sem[@]} -gt 0 ]; then
  $SUDO apt-get install -y -qq --no-install-recommends "${missing_sem[@]}" >/dev/null
fi
