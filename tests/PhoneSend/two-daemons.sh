#!/bin/sh
# Two real KDE Connect daemons, one standing for the phone, each in a network
# namespace of its own; the namespaces are joined by a veth pair on a private
# /24, so discovery has a route but never leaves the pair.
#   two-daemons.sh up DIR      start both, pair them; prints KEY=VALUE lines
#   two-daemons.sh restart-phone DIR   a new phone daemon, reconnected
#   two-daemons.sh stop-phone DIR      the phone's daemon ends
#   two-daemons.sh down DIR    ends every process and namespace of DIR
# Root only. Every wait is bounded; every process is ended by its id.
set -eu
command=$1
dir=$2
kdeconnectd=/usr/lib/x86_64-linux-gnu/libexec/kdeconnectd
tag=$(basename "$dir" | tr -cd 'a-zA-Z0-9' | tail -c 6)
desk=velumo-desk-$tag
phone=velumo-phone-$tag

# Polls "$@" until it succeeds, at most $tries tenths of a second.
until_true() {
    tries=$1
    shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# A zombie has ended: only its parent (here init) may still have to reap it.
running() {
    case $(ps -o stat= -p "$1" 2>/dev/null) in
    "" | Z*) return 1 ;;
    esac
}

bus_of() { echo "unix:path=$dir/$1/bus"; }

on_bus() {
    who=$1
    shift
    DBUS_SESSION_BUS_ADDRESS=$(bus_of "$who") "$@"
}

# A daemon of instance $1 in namespace $2, named $3.
start_daemon() {
    who=$1
    ns=$2
    home=$dir/$who
    platform=
    [ "$who" = phone ] && platform=phone
    ip netns exec "$ns" env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" \
        DBUS_SESSION_BUS_ADDRESS="$(bus_of "$who")" QT_QPA_PLATFORM=offscreen PLASMA_PLATFORM=$platform \
        "$kdeconnectd" >"$home/daemon.log" 2>&1 &
    echo $! >"$home/daemon.pid"
    # A call before the name exists would start a second daemon.
    on_bus "$who" gdbus wait --session --timeout 20 org.kde.kdeconnect
}

start_instance() {
    who=$1
    ns=$2
    name=$3
    home=$dir/$who
    mkdir -p "$home/.config/kdeconnect" "$home/.local/share" "$home/.cache" "$home/run" "$home/Downloads"
    chmod 700 "$home/run"
    printf '[General]\nname=%s\n' "$name" >"$home/.config/kdeconnect/config"
    ip netns exec "$ns" dbus-daemon --session --address="$(bus_of "$who")" --nofork --nopidfile \
        >"$home/bus.log" 2>&1 &
    echo $! >"$home/bus.pid"
    until_true 50 test -S "$home/bus"
    start_daemon "$who" "$ns"
}

call() {
    who=$1
    path=$2
    method=$3
    shift 3
    on_bus "$who" gdbus call --session --timeout 5 --dest org.kde.kdeconnect --object-path "$path" \
        --method "$method" "$@"
}

# The name may be on the bus a moment before the daemon's objects are.
self_id() {
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        id=$(call "$1" /modules/kdeconnect org.kde.kdeconnect.daemon.selfId 2>/dev/null | sed "s/^('\(.*\)',)$/\1/")
        [ -n "$id" ] && echo "$id" && return 0
        sleep 0.1
    done
    return 1
}

lists() { call "$1" /modules/kdeconnect org.kde.kdeconnect.daemon.devices "$3" false | grep -q "'$2'"; }

has_pairing_request() {
    call phone "/modules/kdeconnect/devices/$1" org.kde.kdeconnect.device.hasPairingRequests | grep -q true
}

can_share() {
    call "$1" "/modules/kdeconnect/devices/$2" org.kde.kdeconnect.device.hasPlugin kdeconnect_share | grep -q true
}

not_running() { ! running "$1"; }

# Ends the processes whose ids the files hold: TERM, then KILL for any that
# is still there after 3 s.
end_pid() {
    pids=
    for file in "$@"; do
        [ -f "$file" ] || continue
        pids="$pids $(cat "$file")"
        rm -f "$file"
    done
    [ -n "$pids" ] || return 0
    kill $pids 2>/dev/null || true
    for pid in $pids; do
        until_true 30 not_running "$pid" || kill -9 "$pid" 2>/dev/null || true
    done
}

# What went wrong, for the test's failure message.
report() {
    status=$?
    [ "$status" -eq 0 ] && return
    echo "two-daemons.sh $command failed (status $status)" >&2
    for log in "$dir"/desk/daemon.log "$dir"/phone/daemon.log; do
        [ -f "$log" ] && tail -n 5 "$log" | sed "s|^|$log: |" >&2
    done
}
trap report EXIT

case $command in
up)
    mkdir -p "$dir"
    ip netns add "$desk"
    ip netns add "$phone"
    ip link add "vd$tag" type veth peer name "vp$tag"
    ip link set "vd$tag" netns "$desk"
    ip link set "vp$tag" netns "$phone"
    ip -n "$desk" addr add 10.213.0.1/24 dev "vd$tag"
    ip -n "$phone" addr add 10.213.0.2/24 dev "vp$tag"
    for pair in "$desk vd$tag" "$phone vp$tag"; do
        set -- $pair
        ip -n "$1" link set lo up
        ip -n "$1" link set "$2" up
        ip -n "$1" route add default dev "$2"
    done
    start_instance desk "$desk" "Test Desktop"
    start_instance phone "$phone" "Test Phone"
    desk_id=$(self_id desk)
    phone_id=$(self_id phone)
    until_true 150 lists desk "$phone_id" true
    until_true 150 lists phone "$desk_id" true
    call desk "/modules/kdeconnect/devices/$phone_id" org.kde.kdeconnect.device.requestPair >/dev/null
    until_true 100 has_pairing_request "$desk_id"
    call phone "/modules/kdeconnect/devices/$desk_id" org.kde.kdeconnect.device.acceptPairing >/dev/null
    until_true 100 can_share desk "$phone_id"
    echo "DESK_BUS=$(bus_of desk)"
    echo "PHONE_BUS=$(bus_of phone)"
    echo "PHONE_ID=$phone_id"
    echo "PHONE_NAME=Test Phone"
    echo "PHONE_DOWNLOADS=$dir/phone/Downloads"
    ;;
restart-phone)
    phone_id=$(self_id phone)
    end_pid "$dir/phone/daemon.pid"
    # The desktop notices first, so the wait below sees the new daemon.
    until_true 100 sh -c "! DBUS_SESSION_BUS_ADDRESS=$(bus_of desk) gdbus call --session --timeout 5 \
        --dest org.kde.kdeconnect --object-path /modules/kdeconnect \
        --method org.kde.kdeconnect.daemon.devices true false | grep -q \"'$phone_id'\""
    start_daemon phone "$phone"
    until_true 150 lists desk "$phone_id" true
    until_true 100 can_share desk "$phone_id"
    ;;
stop-phone)
    end_pid "$dir/phone/daemon.pid"
    ;;
down)
    end_pid "$dir/desk/daemon.pid" "$dir/phone/daemon.pid"
    end_pid "$dir/desk/bus.pid" "$dir/phone/bus.pid"
    ip netns pids "$desk" 2>/dev/null | while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done
    ip netns pids "$phone" 2>/dev/null | while read -r pid; do kill -9 "$pid" 2>/dev/null || true; done
    ip netns del "$desk" 2>/dev/null || true
    ip netns del "$phone" 2>/dev/null || true
    ;;
*)
    echo "usage: $0 up|restart-phone|stop-phone|down DIR" >&2
    exit 2
    ;;
esac
