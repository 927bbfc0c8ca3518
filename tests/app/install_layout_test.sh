#!/bin/sh
# install_layout_test.sh CMAKE BUILD_DIR: installs the build into a
# temporary prefix and checks what the desktop finds there.
set -eu
CMAKE=$1
BUILD=$2
PREFIX=$(mktemp -d)
trap 'rm -rf "$PREFIX"' EXIT
"$CMAKE" --install "$BUILD" --prefix "$PREFIX" >/dev/null
for f in bin/tomorine bin/tomorine-cli share/applications/tomorine.desktop \
         share/icons/hicolor/scalable/apps/tomorine.svg; do
    [ -f "$PREFIX/$f" ] || { echo "missing: $f" >&2; exit 1; }
done
[ -x "$PREFIX/bin/tomorine" ] && [ -x "$PREFIX/bin/tomorine-cli" ]
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$PREFIX/share/applications/tomorine.desktop"
fi
# The entry's Exec and Icon name what was installed.
EXEC=$(sed -n 's/^Exec=//p' "$PREFIX/share/applications/tomorine.desktop")
ICON=$(sed -n 's/^Icon=//p' "$PREFIX/share/applications/tomorine.desktop")
[ -x "$PREFIX/bin/$EXEC" ] || { echo "Exec=$EXEC is not installed" >&2; exit 1; }
[ -f "$PREFIX/share/icons/hicolor/scalable/apps/$ICON.svg" ] || { echo "no icon $ICON" >&2; exit 1; }
"$PREFIX/bin/tomorine" --version | grep -q '^tomorine [0-9]'
"$PREFIX/bin/tomorine-cli" --version | grep -q '^tomorine-cli [0-9]'
echo "installed: $(cd "$PREFIX" && find . -type f | sort | tr '\n' ' ')"
