#!/usr/bin/env bash
# manpage.sh PROGRAM VERSION OUTPUT: writes the manual page (section 1) of
# PROGRAM from its --help text, gzipped as Debian wants it, so that the page
# and the help never differ.
#
# The help is laid out as a manual page (NAME, SYNOPSIS, ... at the start of
# a line, the text indented by four), or as Qt's command-line parser prints
# it ("Usage: ...", a description, "Options:"; then the description's first
# line is the page's NAME). Each section keeps its lines as they are.
set -euo pipefail
program=$1
version=$2
output=$3
name=$(basename "$program")
help=$("$program" --help)
[ -n "$help" ] || { echo "$program --help printed nothing" >&2; exit 1; }

printf '%s\n' "$help" | awk -v name="$name" -v version="$version" '
function roff(text) {
    gsub(/\\/, "\\e", text)
    gsub(/-/, "\\-", text)
    if (text ~ /^[.\047]/)
        text = "\\&" text
    return text
}
function heading(title) {
    if (section != "" && section != "NAME")
        out(".fi")
    section = title
    blanks = 0
    out(".SH \"" title "\"")
    if (title != "NAME")
        out(".nf")
}
function out(text) {
    page = page text "\n"
}
function line(text) {
    if (text ~ /^ *$/) {
        blanks++
        return
    }
    if (section == "NAME") {
        sub(/^ +/, "", text)
        out(roff(text))
        return
    }
    for (; blanks > 0; blanks--)
        out(".sp")
    sub(/^    /, "", text)
    out(roff(text))
}
/^[A-Z][A-Z ]*$/ { heading($0); next }
/^Usage: / {
    usage = substr($0, 8)
    sub(/^[^ ]*\//, "", usage)
    heading("SYNOPSIS")
    line(usage)
    qtStyle = 1
    next
}
qtStyle && section == "SYNOPSIS" && $0 != "" {
    description = $0
    sub(/\. .*/, "", description)
    sub(/\.$/, "", description)
    heading("DESCRIPTION")
}
/^[A-Z][a-z ]*:$/ { heading(toupper(substr($0, 1, length($0) - 1))); next }
{ line($0) }
END {
    if (section != "NAME")
        out(".fi")
    print ".TH \"" toupper(name) "\" 1 \"\" \"kv71xx " version "\" \"User Commands\""
    if (qtStyle)
        print ".SH \"NAME\"\n" roff(name " - " tolower(substr(description, 1, 1)) substr(description, 2))
    printf "%s", page
}
' | gzip -9n >"$output"
