#!/usr/bin/env bash
# Start-up of the Linux calculator under its own Xvfb: the median over several launches of
# the time until the window is mapped and until it is painted, and the resident (RSS) and
# proportional (PSS) memory 2 s after the launch, with the last run's PSS by kind of
# mapping. A benchmark, not a test: it prints figures and judges nothing.
# PSS divides each shared page among the processes that map it: other Qt programs running
# at the same time lower it, so compare figures taken on a quiet machine or side by side.
#   bench/startup.sh [PROGRAM] [RUNS]   (defaults: build/release/bin/vorlane-calc, 9)
set -euo pipefail
cd "$(dirname "$0")/.."

program=${1:-build/release/bin/vorlane-calc}
runs=${2:-9}
if [ "$runs" -lt 7 ]; then
  echo "startup: at least 7 runs, for a median worth the name" >&2
  exit 2
fi
if [ ! -x "$program" ]; then
  cmake --preset release >/dev/null
  cmake --build --preset release --target vorlane-calc >/dev/null
fi

work=$(mktemp -d /tmp/vorlane-startup.XXXXXX)
xvfb_pid=
calc_pid=
cleanup() {
  [ -n "$calc_pid" ] && kill "$calc_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/probe" bench/startup_probe.c -lX11

# -displayfd picks a free display number and writes it once the server is ready.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
[ -s "$work/display" ] || { echo "startup: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
export XDG_RUNTIME_DIR=$work

# Painted means the "=" key shows its fill: its cell at the start size holds (704, 495),
# clear of its label, and the keys are drawn into the window together.
probe_x=704 probe_y=495 probe_rgb=DC3232

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

: >"$work/results"
for run in $(seq 0 "$runs"); do
  if ! read -r calc_pid mapped painted < <("$work/probe" "$probe_x" "$probe_y" "$probe_rgb" "$program"); then
    echo "startup: run $run failed" >&2
    exit 1
  fi
  sleep 2
  rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$calc_pid/status")
  pss_kb=$(awk '/^Pss:/ { print $2 }' "/proc/$calc_pid/smaps_rollup")
  cp "/proc/$calc_pid/smaps" "$work/smaps"
  # Other programs on Qt share its pages with this one.
  sharing=$(grep -l libQt6Gui /proc/[0-9]*/maps 2>/dev/null | grep -cv "^/proc/$calc_pid/" || true)
  # The probe has exited, so the program is not this shell's child: wait for it by polling.
  kill "$calc_pid"
  while kill -0 "$calc_pid" 2>/dev/null; do sleep 0.02; done
  calc_pid=
  # Run 0 fills the font and file caches, as every later start finds them.
  [ "$run" -eq 0 ] && continue
  printf 'run %d: mapped %s ms, painted %s ms, RSS %s kB, PSS %s kB\n' \
    "$run" "$mapped" "$painted" "$rss_kb" "$pss_kb"
  echo "$mapped $painted $rss_kb $pss_kb" >>"$work/results"
done

mapped_median=$(awk '{ print $1 }' "$work/results" | median)
painted_median=$(awk '{ print $2 }' "$work/results" | median)
rss_median=$(awk '{ print $3 }' "$work/results" | median)
pss_median=$(awk '{ print $4 }' "$work/results" | median)

echo "PSS of the last run by mapping, kB:"
awk -v program="$(realpath "$program")" '
  /^[0-9a-f]+-[0-9a-f]+ / {
    name = $6
    if (name == program) kind = "the program"
    else if (name ~ /libQt6|\/qt6\/plugins\//) kind = "Qt libraries and plugins"
    else if (name ~ /\.so/) kind = "other libraries"
    else if (name ~ /\/fonts\/|fontconfig/) kind = "font files and caches"
    else if (name == "" || name ~ /^\[(heap|anon|stack)/) kind = "heap, stacks, anonymous"
    else if (name ~ /^\/memfd:|SYSV/) kind = "shared with the X server (window image)"
    else kind = "other files"
  }
  /^Pss:/ { pss[kind] += $2 }
  END { for (k in pss) printf "  %7d  %s\n", pss[k], k }' "$work/smaps" | sort -rn

awk -v runs="$runs" -v m="$mapped_median" -v p="$painted_median" -v rss="$rss_median" \
  -v pss="$pss_median" 'BEGIN {
  printf "median of %d runs: mapped %s ms, mapped and painted %s ms, 2 s after launch RSS %.1f MiB, PSS %.1f MiB\n",
    runs, m, p, rss / 1024, pss / 1024 }'
if [ "$sharing" -gt 0 ]; then
  echo "note: $sharing other Qt programs ran beside it and took their share of Qt's pages"
fi
