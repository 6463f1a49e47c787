#!/usr/bin/env bash
# Compiles the help pages of every language into the help files the applet
# looks for: Help.chm (English, the fallback) and HelpDEU.chm, HelpFRA.chm,
# HelpITA.chm, HelpNLD.chm, HelpESN.chm beside it.
# usage: compile_help.sh OUTPUT_DIR PICTURE.bmp
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath "$1")
picture=$(realpath "$2")
declare -A file_of=([en]=Help [de]=HelpDEU [fr]=HelpFRA [it]=HelpITA [nl]=HelpNLD [es]=HelpESN)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for code in "${!file_of[@]}"; do
    name=${file_of[$code]}
    mkdir -p "$work/$code"
    cp -r "$here/$code/HTML PAGES" "$work/$code/"
    cp "$picture" "$work/$code/HTML PAGES/beetle.bmp"
    cat > "$work/$code/$name.hhp" <<HHP
[OPTIONS]
Compiled file=$name.chm
Default topic=HTML PAGES/Splicebox.html
Title=Splicebox

[FILES]
HTML PAGES/Splicebox.html
HTML PAGES/analysis.html
HTML PAGES/beetle.bmp
HHP
    (cd "$work/$code" && chmcmd --no-html-scan "$name.hhp" > /dev/null 2>&1)
    mv "$work/$code/$name.chm" "$out/"
done
