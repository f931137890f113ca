#!/usr/bin/env bash
# Rebuilds the image resources in res/ from the icon themes that Debian ships:
#   tango-icon-theme   (/usr/share/icons/Tango)   public domain
#   oxygen-icon-theme  (/usr/share/icons/oxygen)  LGPL-3.0-or-later, (c) the Oxygen team / KDE
# Needs imagemagick (convert). Not run by the build; the resulting PNGs are
# committed. Rerunning it produces byte-identical files (metadata stripped).
#
# Outputs:
#   res/strip.png            1152x32, 36 cells of 32x32 (cell i at x = 32*i)
#   res/appbutton.png        26x26 application-menu button
#   res/norva-rezado.png     48x48 program icon
#   res/norva-rezado-128.png 128x128 program icon
#   res/about-16.png         16x16 info icon (About button on the tab row)
set -euo pipefail

cd "$(dirname "$0")/.."

TANGO=/usr/share/icons/Tango
OXY=/usr/share/icons/oxygen/base

command -v convert >/dev/null || { echo "imagemagick (convert) is required" >&2; exit 1; }

# Deterministic PNG output: no metadata, no timestamps, 8-bit RGBA.
OUTOPTS=(-strip -define png:exclude-chunks=date,time -define png:color-type=6 -define png:bit-depth=8)

# Resolve a theme-relative name ("tango:..." / "oxygen:...") to a real file
# (many theme files are symlinks; read through them like cp -L).
src() {
    local name=$1 base
    case ${name%%:*} in
        tango)  base=$TANGO ;;
        oxygen) base=$OXY ;;
        *) echo "bad source: $name" >&2; exit 1 ;;
    esac
    local f
    f=$(readlink -f "$base/${name#*:}")
    [[ -f $f ]] || { echo "missing icon: $name" >&2; exit 1; }
    printf '%s\n' "$f"
}

# ---------------------------------------------------------------------------
# res/strip.png: one theme file per cell, in cell order 0..35.
CELLS=(
    "oxygen:32x32/actions/view-bank-account.png"          #  0 (extra) bank account
    "oxygen:32x32/actions/view-bank.png"                  #  1 Kayitli Firmalar (registered companies): institution building
    "oxygen:32x32/actions/contact-new.png"                #  2 Firma Ekle (add company): card with green plus
    "tango:32x32/actions/document-open.png"               #  3 (extra) open
    "tango:32x32/actions/document-print.png"              #  4 (extra) print
    "tango:32x32/actions/document-print-preview.png"      #  5 (extra) print preview
    "oxygen:32x32/actions/view-financial-list.png"        #  6 (extra) financial list
    "oxygen:32x32/actions/help-about.png"                 #  7 Yazilim Hakkinda (about): blue "i"
    "oxygen:32x32/actions/view-income-categories.png"     #  8 Gelir (income): money bag
    "oxygen:32x32/actions/view-expenses-categories.png"   #  9 Gider (expense): receipt
    "oxygen:32x32/actions/view-statistics.png"            # 10 (extra) statistics bars
    "tango:32x32/actions/edit-find.png"                   # 11 Bul (search): magnifier over page
    "oxygen:32x32/actions/view-investment.png"            # 12 (extra) investment
    "tango:32x32/actions/system-log-out.png"              # 13 Programi Kapat (quit): door with arrow
    "oxygen:32x32/status/dialog-password.png"             # 14 Kayitli Parolalar (passwords): key
    "tango:32x32/mimetypes/x-office-address-book.png"     # 15 Kisi Rehberi (contacts): address book
    "oxygen:32x32/actions/tag-properties.png"             # 16 Turleri Belirle (define categories): tag with pencil
    "oxygen:32x32/actions/office-chart-pie.png"           # 17 (extra) pie chart
    "tango:32x32/apps/accessories-calculator.png"         # 18 Hesap Makinesi (calculator)
    "tango:32x32/apps/office-calendar.png"                # 19 (extra) calendar
    "tango:32x32/mimetypes/x-office-spreadsheet.png"      # 20 Hareket Tablosu (entries table): spreadsheet
    "oxygen:32x32/actions/view-credit-card-account.png"   # 21 (extra) credit card
    "oxygen:32x32/places/bookmarks.png"                   # 22 Kayitli Linklerim (saved links): bookmark star
    "oxygen:32x32/status/wallet-open.png"                 # 23 (extra) wallet
    "oxygen:32x32/actions/view-loan.png"                  # 24 (extra) loan
    "oxygen:32x32/actions/view-documents-finances.png"    # 25 (extra) finance documents
    "oxygen:32x32/actions/document-save.png"              # 26 Arkaplan Cizimini Kaydet (save drawing): floppy
    "oxygen:32x32/actions/office-chart-line.png"          # 27 (extra) line chart
    "oxygen:32x32/actions/view-stock-account.png"         # 28 (extra) stock account
    "oxygen:32x32/actions/view-bank-account-savings.png"  # 29 (extra) savings safe
    "oxygen:32x32/actions/view-financial-payment-mode.png" # 30 (extra) payment mode
    "oxygen:32x32/actions/view-currency-list.png"         # 31 Doviz Kuru (exchange rate): currency coins
    "tango:32x32/apps/internet-web-browser.png"           # 32 E-Devlet (e-government portal): globe
    "oxygen:32x32/mimetypes/text-html.png"                # 33 GIB (tax administration site): web page
    "tango:32x32/mimetypes/x-office-document.png"         # 34 (extra) text document
    "oxygen:32x32/actions/taxes-finances.png"             # 35 KDV Hesaplama (VAT): money split with percent sign
)

(( ${#CELLS[@]} == 36 )) || { echo "need 36 cells, have ${#CELLS[@]}" >&2; exit 1; }

mkdir -p res
args=()
for c in "${CELLS[@]}"; do
    # Each cell is forced onto an exact transparent 32x32 canvas.
    args+=( "(" "$(src "$c")" -background none -gravity center -extent 32x32 ")" )
done
convert -background none "${args[@]}" +append "${OUTOPTS[@]}" PNG32:res/strip.png

# ---------------------------------------------------------------------------
# Program icon and application-menu button: spreadsheet sheet with pen.
#   oxygen:48x48/apps/calligrasheets.png   -> res/norva-rezado.png (48x48)
#   oxygen:128x128/apps/calligrasheets.png -> res/norva-rezado-128.png (128x128)
#   oxygen:128x128/apps/calligrasheets.png -> res/appbutton.png (26x26, Lanczos downscale)
convert "$(src oxygen:48x48/apps/calligrasheets.png)" -background none -gravity center -extent 48x48 \
    "${OUTOPTS[@]}" PNG32:res/norva-rezado.png
convert "$(src oxygen:128x128/apps/calligrasheets.png)" -background none -gravity center -extent 128x128 \
    "${OUTOPTS[@]}" PNG32:res/norva-rezado-128.png
convert "$(src oxygen:128x128/apps/calligrasheets.png)" -background none -filter Lanczos -resize 26x26 \
    -gravity center -extent 26x26 "${OUTOPTS[@]}" PNG32:res/appbutton.png

# ---------------------------------------------------------------------------
# Small About button on the ribbon's tab row.
#   oxygen:16x16/actions/help-about.png -> res/about-16.png
convert "$(src oxygen:16x16/actions/help-about.png)" -background none -gravity center -extent 16x16 \
    "${OUTOPTS[@]}" PNG32:res/about-16.png

echo "icons written to res/"
