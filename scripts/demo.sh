#!/usr/bin/env bash
# Installs what is missing, builds, and starts the monitoring program against the controller
# simulator: three simulated controllers (1, 2, 3) on a pseudo-terminal at 9600 8E1 with
# checksum. Press F5 in the window to open the port. Closing the window stops the simulator.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-"$here/build"}
"$here/scripts/setup.sh" "$build"

demo="$build/demo"
line=/tmp/zr410-demo-line
mkdir -p "$demo/CFG" "$HOME/ZR410_DATA"
cp -f "$build/bin/ZR410" "$demo/"
[ -x "$build/bin/ZR410_Graph" ] && cp -f "$build/bin/ZR410_Graph" "$demo/"
[ -d "$build/bin/Help" ] && cp -rf "$build/bin/Help" "$demo/"

# Settings of a fresh demo; an operator's later changes are kept on the next run.
[ -f "$demo/Comm.CFG" ] || printf '%s\r\n' "$line" 9600 E 8 1 SUM > "$demo/Comm.CFG"
if [ ! -f "$demo/CFG/SetMulti.INI" ]; then
    for k in $(seq 1 99); do
        if [ "$k" -le 3 ]; then printf 'O\t라인 %s\r\n' "$k"; else printf 'X\t\r\n'; fi
    done | iconv -f UTF-8 -t CP949 > "$demo/CFG/SetMulti.INI"
fi
if [ ! -f "$demo/CFG/SaveData.INI" ]; then
    printf '%s\r\n' Yes 5 초 "$HOME/ZR410_DATA" ZR410 | iconv -f UTF-8 -t CP949 > "$demo/CFG/SaveData.INI"
fi

control=/tmp/zr410-demo-control
"$build/bin/zr410-sim" --link "$line" --devices 1,2,3 --protocol SUM --baud 9600 --quiet \
    --control "$control" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true' EXIT
# Controllers 1 and 2 start running, heating towards their set values, so the values, the
# chart and the data file move as soon as the port is opened; 3 stays stopped for trying a
# command.
python3 - "$control" <<'PY'
import socket, sys, time
for _ in range(50):
    try:
        s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        s.connect(sys.argv[1])
        break
    except OSError:
        time.sleep(0.1)
else:
    sys.exit("zr410-sim did not open its control socket")
f = s.makefile("rw")
for command in ("run 1 1", "run 2 1"):
    f.write(command + "\n")
    f.flush()
    f.readline()
PY

echo "ZR410 is starting in $demo; the simulator serves devices 1, 2 and 3 on $line."
echo "Controllers 1 and 2 are running; 3 is stopped."
echo "Press F5 (설정 > 통신포트 열기) to open the port. Values and the chart move at once, and"
echo "$HOME/ZR410_DATA/ZR410_01.DAT grows every 5 seconds."
echo "To try a command: click 3 in the device list, then RUN. To watch the file being written:"
echo "도움말 > 그래프 뷰어, choose ZR410_01.DAT and tick 따라가기."
cd "$demo"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    ./ZR410
else
    echo "No display found: running under a virtual display (xvfb-run)."
    xvfb-run -a -s "-screen 0 1400x900x24" ./ZR410
fi
