#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it as a packager would: its files and
# dependencies, that no program in it carries the central system's private key, the menu entry and the
# AppStream metainfo, and that the programs it installs answer.
#   bash scripts/verifica_pacote.sh [BUILD_DIR]   (default: build; configured without TELVARIM_CENTRAL, and
#                                                  with -DTELVARIM_PACOTE_DEMO=ON for the demo keys)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
rm -f "$build"/telvarim_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/telvarim_*_amd64.deb)
echo "package: $deb"

conteudo=$(dpkg-deb -c "$deb")
for f in ./usr/bin/telvarim ./usr/bin/telvarim-cli ./usr/share/applications/br.com.quintaro.Telvarim.desktop \
  ./usr/share/icons/hicolor/scalable/apps/telvarim.svg ./usr/share/metainfo/br.com.quintaro.Telvarim.metainfo.xml \
  ./usr/share/man/man1/telvarim-cli.1; do
  grep -q " $f\$" <<<"$conteudo" || { echo "package lacks $f"; exit 1; }
done
info=$(dpkg-deb -I "$deb")
for d in libqt6widgets6 libqt6printsupport6 qt6-translations-l10n fonts-liberation; do
  grep -q "Depends:.*$d" <<<"$info" || { echo "package does not depend on $d"; exit 1; }
done

raiz=$(mktemp -d)
trap 'rm -rf "$raiz"' EXIT
dpkg -x "$deb" "$raiz"
# A private key is its public record (258 bytes) and then its secret part: a private key whose public half is
# the build's central.pub is the central system's, by its content, whatever folder it came from. Its secret
# part must be in no packaged program.
hex() { od -An -v -tx1 "$@" | tr -d ' \n'; }
chaves=$(sed -n 's/^TELVARIM_KEYS_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")
for privada in "$chaves/central.key" keys/central.key; do
  [ -f "$privada" ] && [ -f "$chaves/central.pub" ] && cmp -s -n 258 "$privada" "$chaves/central.pub" || continue
  segredo=$(hex -j 258 -N 448 "$privada")
  for programa in "$raiz"/usr/bin/*; do
    hex "$programa" >"$raiz/programa.hex"
    if grep -qF "$segredo" "$raiz/programa.hex"; then
      echo "$(basename "$programa") carries the central system's private key ($privada)"
      exit 1
    fi
  done
  rm -f "$raiz/programa.hex"
done
desktop-file-validate "$raiz/usr/share/applications/br.com.quintaro.Telvarim.desktop"
appstreamcli validate --no-net "$raiz/usr/share/metainfo/br.com.quintaro.Telvarim.metainfo.xml" >/dev/null
"$raiz/usr/bin/telvarim-cli" --version
QT_QPA_PLATFORM=offscreen "$raiz/usr/bin/telvarim" --version
echo "package checked"
