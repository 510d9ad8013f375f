#!/usr/bin/env bash
# Makes README's pictures in docs/ again from the built program, headless:
#   docs/main-window-after-search.png   the main window after a search of a few camera photos
#   docs/print-settings-window.png      the print settings window as it opens, with its preview
#                                       of the photos at the first layout (5 × 5)
#   docs/print-settings-preview.png     the same window after a 3 × 3 layout was typed
#   docs/exported-page.png              the page the album job wrote as a PNG file (shrunk)
#   docs/cropped-dated-page.png         the same page with the photos filling their cells
#                                       (photo mode 5) and the day each was taken under it
#
#   ./scripts/screenshots.sh [BUILD]    (BUILD: the build folder, default build)
#
# It builds nothing: build the program first (./scripts/run.sh or cmake --build build --target
# quillora). The photos are made here with ImageMagick (installed by scripts/install-deps.sh),
# the same way the benchmark data set makes its camera-like photos, only smaller and fewer.
# Everything else happens in a temp folder that is removed at the end: the program sees the
# photos as drive D:, writes its page into drive E:, has a home folder of its own and no print
# server, so the built-in PDF printer is the one printer listed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
program=$build/bin/quillora
if [ ! -x "$program" ]; then
  echo "screenshots.sh: $program is not there; build it first: cmake --build $build --target quillora" >&2
  exit 1
fi
for tool in convert; do
  command -v "$tool" >/dev/null || { echo "screenshots.sh: $tool is missing; run ./scripts/install-deps.sh" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/quillora-shots.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/photos/2024" "$work/out/pages" "$work/out/cropped" "$work/home/Documents" "$work/home/Desktop"

# One camera-like photo: plasma scaled up, noise, its name burnt in, baseline JPEG q90 4:2:0.
# Fixed seeds and one thread, so the pictures come out the same every time.
make_photo() {
  local out=$1 seed=$2 width=$3 height=$4
  MAGICK_THREAD_LIMIT=1 convert -seed "$seed" -size $((width / 4))x$((height / 4)) plasma:fractal \
    -resize "${width}x${height}!" -seed "$seed" -attenuate 0.3 +noise Gaussian \
    -font DejaVu-Sans-Bold -pointsize $((height / 12)) -fill white -stroke black -strokewidth 3 \
    -gravity southeast -annotate +20+10 "$(basename "$out" .jpg)" \
    -strip -sampling-factor 2x2,1x1,1x1 -quality 90 "$out"
}

echo "Making the photos"
seed=1
for folder in 春游 海边 山里; do
  mkdir -p "$work/photos/2024/$folder"
  for number in 1 2 3; do
    name=$(printf "IMG_%04d.jpg" "$seed")
    # Every third photo was taken upright.
    if [ "$number" = 3 ]; then make_photo "$work/photos/2024/$folder/$name" "$seed" 900 1200
    else make_photo "$work/photos/2024/$folder/$name" "$seed" 1200 900; fi
    seed=$((seed + 1))
  done
done
# The photos carry no EXIF block, so the day a photo was taken is its file's time: a day of 2024
# for each folder, a photo every twenty minutes.
day=1
for folder in 春游 海边 山里; do
  minute=0
  for photo in "$work/photos/2024/$folder"/*.jpg; do
    touch -d "2024-05-0$day 10:$(printf %02d $minute)" "$photo"
    minute=$((minute + 20))
  done
  day=$((day + 1))
done

shots=$work/shots
mkdir -p "$shots"
cat > "$work/shots.script" <<EOF
# The search of drive D:'s 2024 with its sub-folders; then the header and footer the pages get.
tree MainWindow.树型框_文件夹 Photos(D:)
tree MainWindow.树型框_文件夹 Photos(D:)/2024
check MainWindow.选择框_包括文件夹 on
click MainWindow.按钮_文件夹搜索
wait-idle
screenshot MainWindow $shots/main-window-after-search.png
type MainWindow.编辑框_页眉 "&f"
type MainWindow.编辑框_页脚 "第&p页，共&a页"

# The settings window as it opens, its preview drawn once the focus leaves a box: the photos
# found on the page of the window's first layout, 5 × 5.
click MainWindow.按钮_打印预览
wait-loaded PrintSettingsWindow
focus PrintSettingsWindow.编辑框_行数
focus PrintSettingsWindow.编辑框_行间距
wait-closed ProgressWindow
screenshot PrintSettingsWindow $shots/print-settings-window.png

# Three by three, the page to a PNG file, the preview drawn again.
type PrintSettingsWindow.编辑框_行数 3
type PrintSettingsWindow.编辑框_列数 3
focus PrintSettingsWindow.编辑框_行间距
wait-closed ProgressWindow
check PrintSettingsWindow.选择框_打印到图片文件 on
select PrintSettingsWindow.组合框_图片格式 png格式
wait-idle
screenshot PrintSettingsWindow $shots/print-settings-preview.png
click PrintSettingsWindow.按钮_确定
wait-closed PrintSettingsWindow

# The album as one set: nine photos are one page, written into E:\pages.
answer folder E:\\pages
click MainWindow.按钮_文件夹准备打印
wait-idle
status

# The same page with the photos filling their cells, cropped, and the day each was taken.
click MainWindow.按钮_打印预览
wait-loaded PrintSettingsWindow
select PrintSettingsWindow.组合框_照片打印方式 5
select PrintSettingsWindow.组合框_照片说明 文件名和拍摄日期
click PrintSettingsWindow.按钮_确定
wait-closed PrintSettingsWindow
answer folder E:\\cropped
click MainWindow.按钮_文件夹准备打印
wait-idle
status
quit 0
EOF

echo "Running the program headless"
QUILLORA_DRIVES="C=/|fixed|System;D=$work/photos|fixed|Photos;E=$work/out|fixed|Out" \
  HOME="$work/home" QT_QPA_PLATFORM=offscreen CUPS_SERVER=127.0.0.1:1 \
  CUPS_SERVERROOT="$work/cups-client" \
  "$program" --script "$work/shots.script" > "$work/run.txt"
cat "$work/run.txt"

page=$(find "$work/out/pages" -name '*.png' | sort | head -n 1)
cropped=$(find "$work/out/cropped" -name '*.png' | sort | head -n 1)
if [ -z "$page" ] || [ -z "$cropped" ]; then
  echo "screenshots.sh: an album job wrote no page" >&2
  exit 1
fi
for picture in main-window-after-search print-settings-window print-settings-preview; do
  cp "$shots/$picture.png" "docs/$picture.png"
done
# The page is 2100 × 2970 pixels (A4 at one pixel per 0.1 mm); README shows it 600 wide.
convert "$page" -resize 600x -strip "docs/exported-page.png"
convert "$cropped" -resize 600x -strip "docs/cropped-dated-page.png"
echo "Written: docs/main-window-after-search.png docs/print-settings-window.png" \
  "docs/print-settings-preview.png docs/exported-page.png docs/cropped-dated-page.png"
