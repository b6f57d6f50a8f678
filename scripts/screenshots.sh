#!/usr/bin/env bash
# Makes the README's pictures from the real programs of a build (build/ or the folder given):
#   docs/images/window.png — the address book on the sample book, an entry chosen and its card
#                            in the preview, in a throw-away X desktop;
#   docs/images/card.png   — the first page of `kaede print postcards` of the sample book,
#                            rendered by pdftoppm.
# Needs the desktop-session tool (DESKTOP_SESSION_TOOL, by default ../shared/tools/
# desktop-session.sh beside the checkout), pdftoppm and ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build}")"
session="${DESKTOP_SESSION_TOOL:-../shared/tools/desktop-session.sh}"
out="$PWD/docs/images"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/data" "$work/config" "$work/share"
cp "$build/bin/住所録.kad" "$work/data/"

# The window: its own settings and data folder, so that nothing of the user's is touched.
cat > "$work/window.sh" <<SCRIPT
#!/usr/bin/env bash
set -euo pipefail
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/share" LANG=ja_JP.UTF-8
"$build/bin/KaedeAddress" "/D$work/data" -N "${KAEDE_SCREENSHOT_ENTRY:-山田}" &
pid=\$!
for _ in \$(seq 100); do win=\$(xdotool search --name "Kaede Address" 2>/dev/null | head -1) && [ -n "\$win" ] && break; sleep 0.1; done
sleep 2
xdotool windowsize "\$win" 1180 720
xdotool windowactivate --sync "\$win"
# the card preview beside the list: 住所録(A) → 印刷プレビュー(Y)
xdotool key --window "\$win" alt+a
sleep 0.5
xdotool key y
sleep 2
import -window "\$win" "$work/window.png"
kill \$pid
wait \$pid || true
SCRIPT
chmod +x "$work/window.sh"
"$session" --size 1280x800 -- "$work/window.sh"
convert "$work/window.png" -strip -colors 192 "PNG8:$out/window.png"

# A printed card: the PDF the command line makes, its first page as an image.
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
  "$build/bin/kaede" print postcards "$work/data/住所録.kad" --entries "${KAEDE_SCREENSHOT_CARD:-17}-${KAEDE_SCREENSHOT_CARD:-17}" --preview -o "$work/card.pdf"
pdftoppm -png -r 90 -f 1 -l 1 "$work/card.pdf" "$work/card"
convert "$work"/card*.png -strip -colors 64 "PNG8:$out/card.png"
ls -l "$out"
