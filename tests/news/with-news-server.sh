#!/bin/sh
# with-news-server.sh ROOT program.exe [args...]
# Starts the loopback news server on the pages under ROOT, runs the Windows
# program under Wine with VEXA_NEWS_SERVER="PORT REFUSED_PORT", then stops
# the server. Exits with the program's status.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root="$1"; shift
mkdir -p "$root"
port_file="$root/server.port"
rm -f "$port_file"
python3 "$here/news_server.py" "$root" "$port_file" &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true' EXIT
tries=0
while [ ! -s "$port_file" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
        echo "the news server did not start" >&2
        exit 1
    fi
    sleep 0.1
done
VEXA_NEWS_SERVER=$(cat "$port_file")
export VEXA_NEWS_SERVER
status=0
"$here/../../scripts/wine-run" "$@" || status=$?
exit $status
