#!/usr/bin/env bash
# The set-up and clean-up of the Windows tests under Wine, run by ctest as fixtures:
#   wine_fixture.sh prefix-up               the prefix made once, its server started once
#   wine_fixture.sh prefix-down             the server stopped
#   wine_fixture.sh agent-start AGENT DIR   the device agent started; its TCP port in DIR/port
#   wine_fixture.sh agent-stop DIR          the device agent stopped
# WINEPREFIX comes from the environment (the tests' properties set it).
# A server of its own before the first test: test programs starting at once would
# otherwise race to start it, and Wine has been seen to drop such a client ("wine
# client error: recvmsg: Connection reset by peer").
set -euo pipefail
: "${WINEPREFIX:?wine_fixture: WINEPREFIX is not set}"

stop_pid() {
  local pid=$1
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

case "${1:-}" in
  prefix-up)
    # Without the overrides (set by the tests' properties), making a prefix waits for ever
    # for the Mono and Gecko installers.
    if [ ! -d "$WINEPREFIX/dosdevices" ]; then
      wineboot -i >/dev/null 2>&1
      wineserver -w # the making's own server ends, so that the one below is persistent
    fi
    wineserver -p </dev/null >/dev/null 2>&1 || true
    # The prefix's services start with the first program a server sees and live as long as
    # it: started here, away from ctest's pipes, which a test program's would hold open.
    wineboot </dev/null >/dev/null 2>&1
    [ -d "$WINEPREFIX/dosdevices" ] || { echo "wine_fixture: no Wine prefix at $WINEPREFIX" >&2; exit 1; }
    ;;
  prefix-down)
    wineserver -k 2>/dev/null || true
    ;;
  agent-start)
    agent=${2:?wine_fixture: agent-start AGENT DIR} dir=${3:?wine_fixture: agent-start AGENT DIR}
    [ -x "$agent" ] || { echo "wine_fixture: no device agent at $agent (scripts/test-windows.sh builds it)" >&2; exit 1; }
    mkdir -p "$dir"
    [ -s "$dir/pid" ] && stop_pid "$(cat "$dir/pid")"
    rm -f "$dir/port" "$dir/pid"
    # Its own session and no pipe of ctest's, so that the set-up ends while the agent plays on.
    setsid "$agent" "$WINEPREFIX/dosdevices" </dev/null >"$dir/port.new" 2>"$dir/agent.log" &
    echo $! >"$dir/pid"
    for _ in $(seq 50); do
      if [ -s "$dir/port.new" ]; then
        head -n 1 "$dir/port.new" >"$dir/port"
        echo "wine_fixture: device agent $(cat "$dir/pid") on TCP port $(cat "$dir/port")"
        exit 0
      fi
      kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
      sleep 0.1
    done
    echo "wine_fixture: the device agent did not start: $(cat "$dir/agent.log")" >&2
    exit 1
    ;;
  agent-stop)
    dir=${2:?wine_fixture: agent-stop DIR}
    [ -s "$dir/pid" ] && stop_pid "$(cat "$dir/pid")"
    rm -f "$dir/pid" "$dir/port" "$dir/port.new"
    ;;
  *)
    echo "wine_fixture: prefix-up, prefix-down, agent-start AGENT DIR or agent-stop DIR" >&2
    exit 64
    ;;
esac
