#!/usr/bin/env bash
# The event server that several stations of one event share: PostgreSQL with the roles each kind
# of station needs.
#
#   event-server.sh install                 PostgreSQL and Qt's driver for it (Debian packages)
#   event-server.sh setup [DATABASE]        the database (default "halvex"), its roles and its
#                                           tables on this machine's PostgreSQL server
#   event-server.sh user NAME ROLE          a station's login user; ROLE is tower, registration
#                                           or display; the password is asked for (or taken
#                                           from HALVEX_PASSWORD) and goes into the station's
#                                           ~/.pgpass, never into the program's files
#   event-server.sh start DIR PORT          a private server for the tests: a new cluster in
#                                           DIR, on 127.0.0.1:PORT only, every local user
#                                           trusted, with the database "halvex", its roles and
#                                           the users tower, tower2, registration, display and
#                                           display2 made
#   event-server.sh pause DIR | resume DIR  stops that private server for a while and starts it
#                                           again (the tests' lost server)
#   event-server.sh stop DIR                stops that private server and removes DIR
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

pg_bin() {
    local dir
    dir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n1)
    [ -n "$dir" ] || { echo "PostgreSQL is not installed: run $0 install" >&2; exit 1; }
    echo "$dir"
}

# Runs a command as the server's own user: PostgreSQL refuses to run as root.
as_server_user() {
    if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

install_packages() {
    local missing=()
    for p in postgresql libqt6sql6-psql; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        $sudo_cmd apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

# psql as the superuser against DATABASE; the rest of the arguments go to psql.
superuser_psql() {
    local db=$1
    shift
    if [ -n "${HALVEX_PG_PORT:-}" ]; then
        as_server_user psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p "$HALVEX_PG_PORT" -d "$db" "$@"
    else
        $sudo_cmd runuser -u postgres -- psql -X -q -v ON_ERROR_STOP=1 -d "$db" "$@"
    fi
}

setup_database() {
    local db=${1:-halvex}
    if ! superuser_psql postgres -tAc "SELECT 1 FROM pg_database WHERE datname = '$db'" | grep -q 1; then
        superuser_psql postgres -c "CREATE DATABASE \"$db\""
    fi
    superuser_psql "$db" -f - <"$here/event-server.sql"
}

make_user() {
    local name=$1 role=$2 password=${3-}
    case "$role" in
        tower | registration | display) ;;
        *) echo "The role is tower, registration or display, not \"$role\"." >&2; exit 2 ;;
    esac
    # The password goes in on the standard input, never on a command line others can list.
    { printf "\\set pw '%s'\n" "${password//\'/\'\'}"; cat <<'SQL'; } |
SELECT format('CREATE ROLE %I LOGIN', :'name')
    WHERE NOT EXISTS (SELECT FROM pg_roles WHERE rolname = :'name') \gexec
SELECT format('ALTER ROLE %I PASSWORD %L', :'name', :'pw') WHERE :'pw' <> '' \gexec
SELECT format('GRANT %I TO %I', :'role', :'name') \gexec
SQL
        superuser_psql postgres -v name="$name" -v role="halvex_$role"
}

case "${1:-}" in
    install)
        install_packages
        ;;
    setup)
        setup_database "${2:-halvex}"
        ;;
    user)
        [ $# -eq 3 ] || { echo "usage: $0 user NAME tower|registration|display" >&2; exit 2; }
        password=${HALVEX_PASSWORD:-}
        if [ -z "$password" ]; then
            read -r -s -p "Password for $2: " password
            echo
        fi
        make_user "$2" "$3" "$password"
        echo "Put this line into ~/.pgpass of the station's user (chmod 600):"
        echo "SERVER:5432:halvex:$2:PASSWORD"
        ;;
    start)
        [ $# -eq 3 ] || { echo "usage: $0 start DIR PORT" >&2; exit 2; }
        dir=$2
        port=$3
        bin=$(pg_bin)
        # A server left running there by an interrupted run goes first.
        [ -d "$dir/data" ] && as_server_user "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
        rm -rf "$dir"
        mkdir -p "$dir"
        [ "$(id -u)" -eq 0 ] && chown postgres "$dir"
        as_server_user "$bin/initdb" -D "$dir/data" -A trust -U postgres --no-sync >/dev/null
        echo "-p $port -k $dir -c listen_addresses=127.0.0.1 -c fsync=off" >"$dir/options"
        as_server_user "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -o "$(cat "$dir/options")" \
            start >/dev/null
        export HALVEX_PG_PORT=$port
        setup_database halvex
        for u in tower:tower tower2:tower registration:registration display:display display2:display; do
            make_user "${u%%:*}" "${u##*:}" ""
        done
        ;;
    pause)
        as_server_user "$(pg_bin)/pg_ctl" -D "$2/data" -m fast -w stop >/dev/null
        ;;
    resume)
        as_server_user "$(pg_bin)/pg_ctl" -D "$2/data" status >/dev/null 2>&1 ||
            as_server_user "$(pg_bin)/pg_ctl" -D "$2/data" -l "$2/server.log" -w -o "$(cat "$2/options")" \
            start >/dev/null
        ;;
    stop)
        [ $# -eq 2 ] || { echo "usage: $0 stop DIR" >&2; exit 2; }
        if [ -d "$2/data" ]; then
            as_server_user "$(pg_bin)/pg_ctl" -D "$2/data" -m immediate -w stop >/dev/null || true
        fi
        rm -rf "$2"
        ;;
    *)
        sed -n '2,23p' "$0" | sed 's/^# \{0,1\}//'
        exit 2
        ;;
esac
