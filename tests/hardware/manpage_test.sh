#!/usr/bin/env bash
# manpage_test.sh MANPAGE PROGRAM
# vantor-setup(1) renders without a warning from groff, and keeps up with the program's --help:
# every option and switch that --help lists is a tagged entry of the page, and every exit code it
# lists an entry of EXIT STATUS.
set -euo pipefail
page=$1
program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "manpage_test: $*" >&2; exit 1; }

groff -man -Tutf8 -ww -z "$page" 2>"$work/warnings" || fail "groff failed: $(cat "$work/warnings")"
[ ! -s "$work/warnings" ] || fail "groff warns: $(cat "$work/warnings")"

# The page's entries: each .TP's tag line, rendered on its own, as "SECTION<tab>TAG".
awk '/^\.SH / { section = $0; sub(/^\.SH "?/, "", section); sub(/"$/, "", section) }
     tag { print section "\t" $0; tag = 0 }
     /^\.TP/ { tag = 1 }' "$page" >"$work/tags"
while IFS=$'\t' read -r section line; do
  rendered=$(printf '.TH X 1\n%s\n' "$line" | groff -man -Tascii -P-cbou | sed -n '/[^ ]/p' |
    sed -n '2p' | sed 's/^ *//; s/ *$//')
  printf '%s\t%s\n' "$section" "$rendered"
done <"$work/tags" >"$work/entries"
# words SECTION: the words of that section's tags, one a line.
words() { awk -F'\t' -v s="$1" '$1 == s { print $2 }' "$work/entries" | tr ', ' '\n\n' | sed '/^$/d'; }

"$program" --help >"$work/help" || fail "--help failed"
# An option leads its line, alone or with its other names ("  -h, --help  ...").
options=$(grep -oE '^  -[^ ,]+(, -[^ ,]+)*' "$work/help" | tr ', ' '\n\n' | sed '/^$/d')
[ -n "$options" ] || fail "--help lists no option"
listed=$( (words OPTIONS; words "WIZARD SWITCHES") | sort -u)
for option in $options; do
  grep -qxF -- "$option" <<<"$listed" || fail "$option is in --help, not among the page's entries"
done

# In --help the codes lead their lines ("  31, 1117, 1460  ...") or follow a semicolon
# ("; 1167: ...").
codes=$(sed -n '/exit code:/,/^$/p' "$work/help" |
  { grep -oE '^  [0-9][0-9, ]*[0-9]\b|^  [0-9]\b|; (0x[0-9A-F]+|[0-9]+):' || true; } |
  tr -d ';:' | tr ', ' '\n\n' | sed '/^$/d' | sort -u)
[ -n "$codes" ] || fail "--help lists no exit code"
statuses=$(words "EXIT STATUS" | sort -u)
for code in $codes; do
  grep -qxF "$code" <<<"$statuses" || fail "exit code $code is in --help, not in EXIT STATUS"
done
echo "manpage_test: $(wc -w <<<"$options") options and $(wc -w <<<"$codes") exit codes of --help" \
  "are entries of the page"
