# Sourced by the benchmark scripts: writes into FILE, with the gatewaycfg at CFG, a configuration
# of 48 commands of every function code in turn, two values each (one for 05 and 06), mapped
# end to end.
#
#   make_48_command_plant CFG FILE
make_48_command_plant()
{
  local cfg=$1 file=$2 codes=(1 2 3 4 5 6 15 16) i code
  "$cfg" new "$file" >/dev/null
  for i in $(seq 1 48); do
    code=${codes[$(( (i - 1) % 8 ))]}
    "$cfg" add-command "$file" "$code" >/dev/null
    "$cfg" set "$file" "command:$i" "Starting Address" "$(( i * 10 ))" >/dev/null
    case $code in
      5|6) ;;   # one coil or register, fixed
      *) "$cfg" set "$file" "command:$i" "Number of Data" 2 >/dev/null ;;
    esac
  done
  "$cfg" automap "$file" >/dev/null || { echo "the 48 commands do not fit" >&2; return 1; }
}
