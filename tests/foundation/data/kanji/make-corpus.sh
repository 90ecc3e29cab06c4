#!/usr/bin/env bash
# Makes the encoded corpora from corpus.txt with iconv: each text is converted on its own and the
# results are written one per line. Texts with half-width katakana go to ISO-2022-JP through
# ISO-2022-JP-3, which has the JIS X 0201 katakana escape that plain ISO-2022-JP lacks.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
declare -A target=([sjis]=CP932 [eucjp]=EUC-JP [iso2022jp]=ISO-2022-JP [utf8]=UTF-8)
for name in sjis eucjp iso2022jp utf8; do
    out=corpus-$name.txt
    : >"$out"
    while IFS= read -r line; do
        [[ -z $line || $line == \#* ]] && continue
        enc=${target[$name]}
        if [[ $name == iso2022jp ]] && printf '%s' "$line" | LC_ALL=C.UTF-8 grep -qP '[\x{FF66}-\x{FF9F}]'; then
            enc=ISO-2022-JP-3
        fi
        printf '%s' "$line" | iconv -f UTF-8 -t "$enc" >>"$out"
        printf '\n' >>"$out"
    done <corpus.txt
done
echo "corpora written"
