#!/usr/bin/env bash
# Installs the Debian package given with apt and shows that it works as its service would, without systemd:
# the service's user and its data folder seeded with the sample data are there; the unit's own ExecStart
# line, run as the unit's user against a local ngircd, registers and joins; SIGHUP takes a changed reply
# phrase; SIGTERM makes the bot say QUIT, write its files and end with 0; a purge removes the data folder.
# As root, in a throw-away root such as the one CI makes: it installs the package and makes a user.
set -euo pipefail
package="$(realpath "$1")"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends "$package" >/dev/null

data=/var/lib/tessarin
unit="$(dpkg -L tessarin | grep '/systemd/system/tessarin.service$')"
user="$(sed -n 's/^User=//p' "$unit")"
exec_start="$(sed -n 's/^ExecStart=//p' "$unit")"
getent passwd "$user" >/dev/null
for file in settings.conf messages.conf tessarin.ini PokerDeck.txt custom/rumour.txt; do
    [ "$(stat -c %U "$data/$file")" = "$user" ] || { echo "$data/$file is missing or not the bot's"; exit 1; }
done
echo "installed: $(dpkg-query -W -f='${Package} ${Version}' tessarin), user $user, $(ls "$data" | wc -l) files in $data"

work="$(mktemp -d)"
server_pid=""
bot_pid=""
cleanup() {
    for pid in $bot_pid $server_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# A free loopback port and an ngircd that listens only there; started as root it runs as nobody, which
# must still be able to write its pid file.
port=""
for candidate in $(shuf -i 20000-60000 -n 50); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then
        port="$candidate"
        break
    fi
done
chmod 777 "$work"
echo "Tessarin package test" >"$work/motd"
cat >"$work/ngircd.conf" <<CONF
[Global]
Name = irc.package.test
Info = Tessarin package test
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

# The operator's edits: the server on lines 1 and 2 of settings.conf, a channel to join.
sed -i -e "1s/.*/127.0.0.1\r/" -e "2s/.*/$port\r/" "$data/settings.conf"
printf '#ops\r\n' >"$data/favorite_channels.conf"
touch -d 2001-01-01 "$data/settings.conf"

# The operator's IRC client: every line the server sends goes to a file that the checks below read.
exec 3<>"/dev/tcp/127.0.0.1/$port"
printf 'NICK op\r\nUSER op 0 * :Operator\r\nJOIN #ops\r\n' >&3
(
    while IFS= read -r line; do
        line="${line%$'\r'}"
        case "$line" in
        PING*) printf 'PONG %s\r\n' "${line#PING }" >&3 ;;
        esac
        printf '%s\n' "$line"
    done <&3
) >"$work/op.log" &

# Waits up to 15 seconds for a line matching the pattern in the file.
wait_for() {
    local file="$1" pattern="$2"
    for _ in $(seq 150); do
        if grep -qE "$pattern" "$file"; then
            return 0
        fi
        sleep 0.1
    done
    echo "never came in $file: $pattern"
    cat "$file"
    exit 1
}

wait_for "$work/op.log" " 366 op #ops "
# The unit's command line, as the unit's user, from its working folder.
cd "$data"
# shellcheck disable=SC2086 # the command line is split into words as systemd splits it
setpriv --reuid="$user" --regid="$user" --init-groups -- $exec_start >"$work/bot.log" 2>&1 &
bot_pid=$!
cd /
wait_for "$work/op.log" "^:Tessarin!.* JOIN :?#ops"

printf 'PRIVMSG #ops :,nosuchcommand\r\n' >&3
wait_for "$work/op.log" "PRIVMSG op :I can't imagine what the hell you are babbling about\."
printf 'Pardon?\r\n' >"$data/messages.conf"
kill -HUP "$bot_pid"
wait_for "$work/bot.log" "^Read the files again on SIGHUP: 1 of 11 reply phrases"
printf 'PRIVMSG #ops :,nosuchcommand\r\n' >&3
wait_for "$work/op.log" "PRIVMSG op :Pardon\?"

kill -TERM "$bot_pid"
status=0
wait "$bot_pid" || status=$?
bot_pid=""
wait_for "$work/op.log" "^:Tessarin!.* QUIT :.*Stopped by the operator\."
[ "$status" -eq 0 ] || { echo "the bot ended with $status"; cat "$work/bot.log"; exit 1; }
[ "$(stat -c %Y "$data/settings.conf")" -gt "$(date -d 2001-01-02 +%s)" ] || { echo "settings.conf not saved"; exit 1; }
head -c 9 "$data/messages.conf" | grep -q '^Pardon?' || { echo "messages.conf not saved"; exit 1; }
# The store: the database driver came with the package, and the service's user could write its file.
if grep -q "^Could not use" "$work/bot.log" || [ ! -s "$data/tessarin.db" ]; then
    echo "tessarin.db not kept"; cat "$work/bot.log"; exit 1
fi
echo "the service's command line registered, took SIGHUP, said QUIT on SIGTERM, saved, kept its store and ended with 0"

apt-get purge -y -qq tessarin >/dev/null
[ ! -e "$data" ] || { echo "$data is still there after the purge"; exit 1; }
echo "purged"
