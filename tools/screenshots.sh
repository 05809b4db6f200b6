#!/usr/bin/env bash
# Takes a picture of each of the operator's windows on a virtual X display (Xvfb), with the bot connected
# to a throw-away local ngircd. All pictures go to build/screenshots/; the main window's is copied to
# docs/main-window.png for the README.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel "$(nproc)" --target tessarin_screenshots

work="$(mktemp -d)"
server_pid=""
cleanup() {
    if [ -n "$server_pid" ]; then
        kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# A free loopback port, and an ngircd that listens only there. Started as root, ngircd runs as nobody,
# which must still be able to write its pid file.
port="$(python3 - <<'PY'
import random, socket
for candidate in random.sample(range(20000, 32000), 200):
    with socket.socket() as probe:
        try:
            probe.bind(("127.0.0.1", candidate))
        except OSError:
            continue
        print(candidate)
        break
PY
)"
chmod 777 "$work"
echo "Welcome to the Tessarin screenshot server" >"$work/motd"
cat >"$work/ngircd.conf" <<CONF
[Global]
Name = irc.example.net
Info = Tessarin screenshot server
Listen = 127.0.0.1
Ports = $port
MotdFile = $work/motd
PidFile = $work/ngircd.pid
[Limits]
MaxNickLength = 30
MaxPenaltyTime = 0
[Options]
PAM = no
Ident = no
DNS = no
CONF
/usr/sbin/ngircd -n -f "$work/ngircd.conf" >"$work/ngircd.log" 2>&1 &
server_pid=$!
for _ in $(seq 50); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
        break
    fi
    sleep 0.1
done

mkdir -p build/screenshots docs
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
    build/app/tessarin_screenshots build/screenshots "127.0.0.1:$port"
cp build/screenshots/main-window.png docs/main-window.png
ls -l build/screenshots docs/main-window.png
