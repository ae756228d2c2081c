# SPDX-License-Identifier: GPL-2.0-or-later
# nginx from Debian's packages, serving folders of this machine over http on 127.0.0.1 alone, as a
# repository's web server does. It runs in a root of its own (tools/wurzel.sh), which shares the
# machine's network but nothing else: nothing is installed on the machine, no service is started
# there, and the server ends with the root. Sourced after tools/apt.sh and tools/wurzel.sh, with
# ARBEIT set; needs python3 for a free port:
#   webserver NAME=FOLDER...   serves each FOLDER, read-only, as $WEBSERVER/NAME/; WEBSERVER is
#                              its address, http://127.0.0.1:PORT. What is in a folder is served
#                              as it is when asked for; the folders themselves are the server's
#                              from its start (it sees the mounts of then).

webserver() { # name=folder...
    wurzel webserver "$WURZEL_EIGENE" minbase
    for ordner in "$@"; do
        mkdir -p "$ARBEIT/webserver/srv/www/${ordner%%=*}"
        mount --bind "${ordner#*=}" "$ARBEIT/webserver/srv/www/${ordner%%=*}"
        mount -o remount,bind,ro "$ARBEIT/webserver/srv/www/${ordner%%=*}"
    done
    im_apt webserver update -qq
    im_apt webserver install -y -qq --no-install-recommends nginx >/dev/null
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    mkdir -p "$ARBEIT/webserver/srv/www"
    cat > "$ARBEIT/webserver/etc/nginx/archiv.conf" <<EOF
daemon off;
user www-data;
worker_processes 1;
pid /run/nginx-archiv.pid;
error_log stderr;
events { worker_connections 64; }
http {
    include /etc/nginx/mime.types;
    access_log /var/log/nginx/archiv.log;
    server {
        listen 127.0.0.1:$port;
        root /srv/www;
    }
}
EOF
    im webserver nginx -e stderr -c /etc/nginx/archiv.conf > "$ARBEIT/webserver.log" 2>&1 &
    webserver_prozess=$!
    WEBSERVER=http://127.0.0.1:$port
    # Until it answers: a connection taken.
    until python3 -c 'import socket, sys; socket.create_connection(("127.0.0.1", int(sys.argv[1])), 1)' \
        "$port" 2>/dev/null; do
        kill -0 $webserver_prozess 2>/dev/null ||
            { cat "$ARBEIT/webserver.log" >&2; echo "nginx did not start" >&2; return 1; }
        sleep 0.1
    done
    echo "== nginx $(im webserver dpkg-query -W -f '${Version}' nginx) on $WEBSERVER"
}
