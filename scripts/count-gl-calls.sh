#!/usr/bin/env bash
# Counts the GL calls of each frame of the live film with apitrace, for both ways of
# bounding the shadow pass (HALVANE_GPU_PATH=hardware and software): calls, draws,
# state changes and read-backs per frame, as medians over the frames traced.
#
# usage: scripts/count-gl-calls.sh [RUNDIR] [SECONDS]
# RUNDIR is the assembled run directory (build/run); the film plays windowed at
# 640x400 on a virtual X server for SECONDS (default 20) and is ended with Escape.
# Frames are delimited by glXSwapBuffers in `apitrace dump`; the first three frames
# after loading are left out (the first frame also finishes the load).
set -euo pipefail
cd "$(dirname "$0")/.."
rundir=$(cd "${1:-build/run}" && pwd)
seconds=${2:-20}
bash scripts/setup.sh apitrace > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

trace_path() {
    local path=$1
    # Played inside one virtual X server; the dialog is driven as the program tests do it.
    xvfb-run -a -s "-screen 0 640x400x24" bash -c '
        cd "$1"
        # The huge-page restart would start a second traced process.
        HALVANE_HUGE_PAGES_RESTARTED=1 HALVANE_GPU_PATH=$2 apitrace trace --api gl -o "$3" ./halvane \
            > /dev/null 2>&1 &
        pid=$!
        until dialog=$(xdotool search --onlyvisible --name "^Halvane\$" 2>/dev/null | head -1) && [ -n "$dialog" ]; do
            sleep 0.2
        done
        xdotool windowfocus --sync "$dialog" 2>/dev/null
        xdotool key Tab Tab Tab space Return
        until window=$(xdotool search --onlyvisible --name "^Vostrel\$" 2>/dev/null | head -1) && [ -n "$window" ]; do
            sleep 0.2
        done
        sleep "$4"
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key Escape
        wait "$pid"
    ' _ "$rundir" "$path" "$work/$path.trace" "$seconds"
}

# Median per frame of: calls, draws, state changes, read-backs; then the frame count and
# every read-back call seen (name and count).
count_frames() {
    apitrace dump --color=never --call-nos=no "$1" | awk '
        function median(values, n,    i, j, t) {
            for (i = 1; i <= n; ++i) for (j = i + 1; j <= n; ++j) if (values[j] < values[i]) { t = values[i]; values[i] = values[j]; values[j] = t }
            return n ? values[int((n + 1) / 2)] : 0
        }
        {
            name = $1; sub(/\(.*/, "", name)
            if (name !~ /^(gl|glX)/) next
            if (name == "glXSwapBuffers") {
                if (++frame > 3) { ++n; calls[n] = c; draws[n] = d; states[n] = s; reads[n] = r }
                c = d = s = r = 0
                next
            }
            if (name ~ /^glX/) next
            ++c
            if (name ~ /^gl(Draw|MultiDraw|DispatchCompute)/) ++d
            if (name ~ /^gl(Enable|Disable|Bind|UseProgram|Viewport|Scissor|Blend|Depth|Cull|ActiveTexture|DrawBuffer|ReadBuffer|ColorMask|PolygonOffset|PixelStore|ClearColor|ClearDepth|Sampler|TexParameter|MemoryBarrier)/) ++s
            if (name ~ /^gl(Get|MapBuffer|MapNamedBuffer|ReadPixels|ClientWaitSync|Finish|IsEnabled|CheckFramebufferStatus)/) { ++r; if (frame > 3) seen[name]++ }
        }
        END {
            printf "%d %d %d %d %d", median(calls, n), median(draws, n), median(states, n), median(reads, n), n
            for (name in seen) printf " %s:%d", name, seen[name]
            printf "\n"
        }'
}

printf '| path | calls | draws | state changes | read-backs | frames traced | read-back calls in those frames |\n'
printf '|---|---|---|---|---|---|---|\n'
for path in hardware software; do
    trace_path "$path"
    read -r calls draws states reads frames seen <<< "$(count_frames "$work/$path.trace")"
    printf '| %s | %s | %s | %s | %s | %s | %s |\n' "$path" "$calls" "$draws" "$states" "$reads" "$frames" "${seen:-none}"
done
