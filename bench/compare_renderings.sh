#!/usr/bin/env bash
# Renders two PDFs with Ghostscript (8-bit grey, no anti-aliasing) at each
# resolution given and says whether every pixel of every page is the same.
#
#   compare_renderings.sh BEFORE.pdf AFTER.pdf [DPI...]   (default 300 600 1200)
#
# Exit 0: identical at every resolution; 1: some page differs (named).
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 BEFORE.pdf AFTER.pdf [DPI...]" >&2; exit 2; }
before="$1"; after="$2"; shift 2
resolutions=("$@"); [ ${#resolutions[@]} -gt 0 ] || resolutions=(300 600 1200)
work="$(mktemp -d)"; trap 'rm -rf "$work"' EXIT

# One checksum a page, so that a page-sized raster is never kept.
page_sums() {
  local pdf="$1" dpi="$2" out="$3" pages
  pages=$(gs -q -dNODISPLAY -dNOSAFER -c "($pdf) (r) file runpdfbegin pdfpagecount = quit" 2>/dev/null)
  : >"$out"
  for ((page = 1; page <= pages; page++)); do
    gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pgmraw -r"$dpi" -dFirstPage=$page -dLastPage=$page \
       -sOutputFile=- "$pdf" | md5sum | cut -d' ' -f1 >>"$out"
  done
}

status=0
for dpi in "${resolutions[@]}"; do
  page_sums "$before" "$dpi" "$work/before"
  page_sums "$after" "$dpi" "$work/after"
  if cmp -s "$work/before" "$work/after"; then
    echo "${dpi} dpi: identical ($(wc -l <"$work/before") pages)"
  else
    echo "${dpi} dpi: DIFFERENT, pages: $(diff <(cat -n "$work/before") <(cat -n "$work/after") | awk '/^</{print $2}' | tr '\n' ' ')"
    status=1
  fi
done
exit $status
