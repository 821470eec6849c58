#!/usr/bin/env bash
# The man page renders without a single warning.
set -euo pipefail
page=$1
warnings=$(groff -man -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
    echo "FAIL: groff warns about $page:"
    echo "$warnings"
    exit 1
fi
rendered=$(MANWIDTH=80 man -l "$page" 2>&1 >/dev/null)
if [ -n "$rendered" ]; then
    echo "FAIL: man warns about $page:"
    echo "$rendered"
    exit 1
fi
for section in NAME SYNOPSIS DESCRIPTION FILES "EXIT STATUS" EXAMPLES; do
    grep -q "^\.SH \"\?$section\"\?$" "$page" || { echo "FAIL: no $section section"; exit 1; }
done
echo "man page: ok"
