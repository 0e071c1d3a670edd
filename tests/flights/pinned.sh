# SPDX-License-Identifier: MIT
# Sourced by the scripts that replay the pinned flights (replay.sh, soak.sh, same_on_every_cpu.sh):
# one way of finding a flight's script and pinned values, and of replaying and comparing it.
flights_dir=$(cd "$(dirname "$0")/../flights" && pwd)

# The scripts the build writes lie in its tests/flights/, beside the build's vandrel-trace:
# the caller sets built_dir to "$(dirname NATIVE_TRACE)/tests/flights".
built_dir=
# Put before every message of replay, e.g. the architecture.
flight_label=

# flight_script NAME: the script of flight NAME.
flight_script() {
    if [ -f "$flights_dir/$1.txt" ]; then
        echo "$flights_dir/$1.txt"
    else
        echo "$built_dir/$1.txt"
    fi
}

# flight_names CPU: the pinned flights that run on CPU, a preset of the cross stage (its
# column says "all" or names it).
flight_names() {
    grep -v '^#' "$flights_dir/pinned.txt" | while read -r _name _status _cpus _hash; do
        case ",$_cpus," in *,all,* | *",$1,"*) echo "$_name" ;; esac
    done
}

# replay NAME OUT COMMAND...: runs COMMAND (a vandrel-trace, possibly under an emulator) on
# the flight's script into the file OUT; true when its exit status and the SHA-256 of OUT are
# the pinned ones, otherwise says what differs and shows the last line written.
replay() {
    # sh has no local variables: these names are kept apart from the callers'.
    _name=$1 _out=$2
    shift 2
    _pinned=$(grep "^$_name " "$flights_dir/pinned.txt") || { echo "$flight_label$_name: not pinned" >&2; return 1; }
    _want_status=$(echo "$_pinned" | awk '{print $2}')
    _want_hash=$(echo "$_pinned" | awk '{print $4}')
    _status=0
    "$@" < "$(flight_script "$_name")" > "$_out" || _status=$?
    _hash=$(sha256sum < "$_out" | cut -d ' ' -f 1)
    if [ "$_status" != "$_want_status" ] || [ "$_hash" != "$_want_hash" ]; then
        echo "$flight_label$_name: status $_status, SHA-256 $_hash; pinned: status $_want_status, $_want_hash" >&2
        echo "$flight_label$_name: the last line: $(tail -n 1 "$_out")" >&2
        return 1
    fi
    echo "$flight_label$_name: status $_status, $(wc -l < "$_out") lines, SHA-256 as pinned"
}
