# Runs the steps of a script as named phases and prints, at the end, the
# wall and CPU time of each. Sourced by the scripts:
#   . scripts/phases.sh
#   phase "normal build" scripts/build.sh build all
# CPU time is the user and system time of every process the phase started
# and waited for (the compilers, the tests), as the shell's `times` counts it.

phases_log="$(mktemp)"
phases_times="$(mktemp)"

# Seconds of user + system time of the shell's finished children so far.
# `times` runs in this shell (a command substitution's subshell would count
# only its own children), the reading in a subshell.
_phases_cpu() {
  times >"$phases_times"
  _phases_cpu_seconds="$(awk 'NR == 2 {
    total = 0
    for (i = 1; i <= 2; i++) {
      split($i, part, "m"); sub("s", "", part[2])
      total += part[1] * 60 + part[2]
    }
    printf "%.1f\n", total
  }' "$phases_times")"
}

_phases_now() {
  date +%s.%N
}

phase() {
  _phase_name="$1"
  shift
  echo "== $_phase_name"
  _phase_wall="$(_phases_now)"
  _phases_cpu
  _phase_cpu="$_phases_cpu_seconds"
  _phase_status=0
  "$@" || _phase_status=$?
  _phases_cpu
  printf '%s\t%s\t%s\t%s\n' "$_phase_name" \
    "$(awk -v a="$_phase_wall" -v b="$(_phases_now)" 'BEGIN { printf "%.1f", b - a }')" \
    "$(awk -v a="$_phase_cpu" -v b="$_phases_cpu_seconds" 'BEGIN { printf "%.1f", b - a }')" \
    "$_phase_status" >>"$phases_log"
  return "$_phase_status"
}

_phases_clock() {
  awk -v s="$1" 'BEGIN { s = int(s + 0.5); printf "%d:%02d:%02d", s / 3600, (s % 3600) / 60, s % 60 }'
}

# Prints the table of the phases run so far; the scripts call it on exit, so
# that a failed phase still shows what it took.
phases_summary() {
  [ -s "$phases_log" ] || return 0
  echo "== Time of each phase (CPU: user + system of all its processes, on $(nproc 2>/dev/null || echo '?') cores)"
  printf '%-18s %10s %10s\n' "phase" "wall" "CPU"
  total_wall=0
  total_cpu=0
  while IFS="$(printf '\t')" read -r name wall cpu status; do
    note=""
    [ "$status" -eq 0 ] || note="  (failed)"
    printf '%-18s %10s %10s%s\n' "$name" "$(_phases_clock "$wall")" "$(_phases_clock "$cpu")" "$note"
    total_wall="$(awk -v a="$total_wall" -v b="$wall" 'BEGIN { print a + b }')"
    total_cpu="$(awk -v a="$total_cpu" -v b="$cpu" 'BEGIN { print a + b }')"
  done <"$phases_log"
  printf '%-18s %10s %10s\n' "total" "$(_phases_clock "$total_wall")" "$(_phases_clock "$total_cpu")"
  rm -f "$phases_log" "$phases_times"
}
