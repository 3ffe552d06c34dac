#!/usr/bin/env bash
# Builds the Debian package from this build folder into a temporary folder
# and checks its name, control fields and file list, and that the packaged
# vell-eval works. Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }

arch=$(dpkg --print-architecture)
deb=$work/vell_${version}_${arch}.deb
[ -f "$deb" ] || fail "no $deb; made: $(ls "$work")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = vell ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
[ "$(field Section)" = math ] || fail "section $(field Section)"
[[ "$(field Maintainer)" == *"<"*"@"*">" ]] || fail "maintainer $(field Maintainer)"
[ -n "$(field Description)" ] || fail "no description"

# The libraries the programs link come from dpkg-shlibdeps; the display
# plugins Qt loads at run time are named by hand.
depends=$(field Depends)
names=$(sed 's/ *([^)]*)//g; s/, */\n/g' <<<"$depends")
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 qt6-qpa-plugins; do
  grep -qxF "$package" <<<"$names" || fail "Depends lacks $package: $depends"
done

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | sort >"$work/files"
expected=(
  /usr/bin/vell
  /usr/bin/vell-eval
  /usr/share/applications/vell.desktop
  /usr/share/metainfo/example.quorvant.vell.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/vell.svg
  /usr/share/man/man1/vell.1.gz
  /usr/share/man/man1/vell-eval.1.gz
)
for size in 16 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/vell.png"); done
for file in "${expected[@]}"; do
  grep -qx "$file" "$work/files" || fail "package lacks $file"
done
# Nothing of the build (tests, benchmarks, libraries, headers) goes along.
extra=$(grep -v '/$' "$work/files" | grep -vxF -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$extra" ] || fail "unexpected files in the package: $extra"

dpkg-deb -x "$deb" "$work/root"
[ "$("$work/root/usr/bin/vell-eval" 'sqrt(16)')" = 4 ] || fail "packaged vell-eval 'sqrt(16)'"
for page in vell vell-eval; do
  header=$(gzip -dc "$work/root/usr/share/man/man1/$page.1.gz" | head -n1) || fail "$page.1.gz is not gzip"
  [[ $header == *"\"Vell $version\""* ]] || fail "$page.1 names another version: $header"
done
# One version everywhere: the program, its man pages and its metainfo.
[[ $("$work/root/usr/bin/vell-eval" --version) == "vell-eval $version ("* ]] || fail "vell-eval --version"
grep -q "<release version=\"$version\"" "$work/root/usr/share/metainfo/"*.metainfo.xml || fail "metainfo version"
echo "PASS: $(basename "$deb"): $depends"
