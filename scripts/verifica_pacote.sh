#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it as a packager would: its files and
# dependencies, the menu entry and the AppStream metainfo, and that the programs it installs answer.
#   bash scripts/verifica_pacote.sh [BUILD_DIR]   (default: build; configured with -DTELVARIM_PACOTE_DEMO=ON)
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
desktop-file-validate "$raiz/usr/share/applications/br.com.quintaro.Telvarim.desktop"
appstreamcli validate --no-net "$raiz/usr/share/metainfo/br.com.quintaro.Telvarim.metainfo.xml" >/dev/null
"$raiz/usr/bin/telvarim-cli" --version
QT_QPA_PLATFORM=offscreen "$raiz/usr/bin/telvarim" --version
echo "package checked"
