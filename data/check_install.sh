#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs there: the program
# (reached through bin/), its stand-in libraries beside it, a valid desktop entry, both icons and
# valid AppStream metainfo. Usage: check_install.sh BUILD_DIR
set -euo pipefail

build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() {
  echo "install check: $*" >&2
  exit 1
}

for file in bin/quillora lib/quillora/quillora lib/quillora/kernel32.dll lib/quillora/ole32.dll \
            lib/quillora/gdiplus.dll lib/quillora/libquillora_global_memory.so \
            share/applications/quillora.desktop share/metainfo/net.quillora.Quillora.metainfo.xml \
            share/icons/hicolor/scalable/apps/quillora.svg share/icons/hicolor/256x256/apps/quillora.png; do
  [ -e "$prefix/$file" ] || [ -e "$prefix/lib64/${file#lib/}" ] || fail "$file is missing"
done

desktop-file-validate "$prefix/share/applications/quillora.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/net.quillora.Quillora.metainfo.xml" >/dev/null \
  || fail "the AppStream metainfo does not validate"
file_type=$(head -c 8 "$prefix/share/icons/hicolor/256x256/apps/quillora.png" | od -An -c | tr -d ' ')
[ "$file_type" = "211PNG\r\n032\n" ] || [[ "$file_type" == *PNG* ]] || fail "the 256-pixel icon is no PNG"

# The installed program runs from its link, without the build folder.
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/quillora" --version)
[[ "$version" == "quillora "* ]] || fail "--version printed '$version'"
# The stand-in libraries resolve from the installed folder alone.
for dll in kernel32.dll ole32.dll gdiplus.dll; do
  if ldd "$prefix/lib/quillora/$dll" | grep -q "not found"; then
    fail "$dll does not find its libraries"
  fi
done
echo "install check: all files in place and valid"
