#!/usr/bin/env bash
# Packages this build with cpack, unpacks the .deb, runs the unpacked gatewaycfg and checks that
# the package holds what menus, man and bash look for, and that lintian finds no error in it.
# Usage: package_test.sh BUILD_DIR VERSION APP_ID
set -uo pipefail
build=$1 version=$2 id=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "$*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" \
  >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log"; fail "cpack failed"; }
deb=$tmp/out/gateway-workbench_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no $(basename "$deb") in: $(ls "$tmp/out")"
dpkg-deb -x "$deb" "$tmp/root" || fail "dpkg-deb -x failed"
usr=$tmp/root/usr

"$usr/bin/gatewaycfg" --version | grep -q "^gatewaycfg $version" || fail "unpacked gatewaycfg --version"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$usr/bin/gateway-workbench" --version | grep -q "^gateway-workbench $version" \
  || fail "unpacked gateway-workbench --version without a display"
"$usr/bin/gatewaycfg" new "$tmp/plant.xml" >/dev/null || fail "unpacked gatewaycfg new"
"$usr/bin/gatewaycfg" show "$tmp/plant.xml" | grep -qx '\[subnet\] Subnet' || fail "unpacked gatewaycfg show"

for path in bin/gateway-sim bin/modbus-slave-sim bin/gateway-workbench share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/icons/hicolor/scalable/apps/$id.svg \
    share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/$id.png \
    share/man/man1/{gatewaycfg,gateway-sim,modbus-slave-sim,gateway-workbench}.1.gz \
    share/bash-completion/completions/gatewaycfg share/doc/gateway-workbench/{index.html,index_zh_CN.html,copyright}; do
  [[ -s $usr/$path ]] || fail "the package lacks /usr/$path"
done
dpkg-deb -f "$deb" Depends | grep -q 'libc6' || fail "no dependencies from dpkg-shlibdeps: $(dpkg-deb -f "$deb" Depends)"
! dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "depends on qt6-qpa-plugins, which libqt6gui6 makes needless"
dpkg-deb -f "$deb" Recommends | grep -q 'fonts-wqy-microhei' || fail "recommends no CJK font"
dpkg-deb -f "$deb" Description | grep -q 'modbus-slave-sim' || fail "the description does not name modbus-slave-sim"
lintian --fail-on error --suppress-tags unstripped-binary-or-object "$deb" || fail "lintian found errors"
