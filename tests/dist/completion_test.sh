#!/usr/bin/env bash
# Sources the bash completion of gatewaycfg and compares the candidates it offers on a real file.
# Usage: completion_test.sh GATEWAYCFG COMPLETION_SCRIPT
set -uo pipefail
gatewaycfg=$1
source "$2"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
file=$tmp/plant.xml
"$gatewaycfg" new "$file" >/dev/null && "$gatewaycfg" add-command "$file" 3 >/dev/null &&
  "$gatewaycfg" add-command "$file" 16 >/dev/null || exit 1

# Prints the candidates for the words given, the last being the word under the cursor.
complete_words()
{
    COMP_WORDS=("$gatewaycfg" "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _gatewaycfg
    printf '%s|' "${COMPREPLY[@]}"
}

failures=0
while IFS=$'\t' read -r words expected; do
    eval "set -- $words"
    actual=$(complete_words "$@")
    [[ $actual == "$expected" ]] || { echo "gatewaycfg $words<Tab>: expected $expected, got $actual"; failures=1; }
done <<EOT
se	set|
set "$file" ''	profibus|subnet|slave|command:1|command:2|
set "$file" subnet ''	Protocol\\ Select|Baud\\ Rate|Check\\ Bit|Stop\\ Bits|Response\\ Timeout\\(50~60000ms\\)|Delay\\ between\\ Polls\\(0~2500ms\\)|Output\\ Mode|Scan\\ Rate|
set "$file" command : ''	1|2|
set "$file" command : 2 N	Number\\ of\\ Data|
set "$file" command : 2 'Mapping\\ A'	Mapping\\ Address\\(HEX\\)|
set "$file" subnet '"Resp'	Response Timeout(50~60000ms)|
set "$file" command : 1 "'Number o"	Number of Data|
set "$file" subnet 'Check\\'	Check\\ Bit|
set "$file" subnet '"Nothing'	|
delete-command "$file" ''	1|2|
add-command "$file" 1	1|15|16|
map "$file" --s	--svg|
verify "$file" --port rf	rfc2217://|
fleet plan.csv --action v	verify|
EOT
exit $failures
