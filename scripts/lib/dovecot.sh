# A private Dovecot POP3 server on 127.0.0.1 and ::1 for the tests. Source this file inside a private
# network namespace (scripts/in-private-network), then start_dovecot / stop_dovecot. It listens
# on the POP3 port itself, 110 (STLS offered), and on the POP3-over-TLS port, 995, because the
# program takes its ports from the "pop3" and "pop3s" service entries; the master runs as root
# (for those ports) and drops to nobody for logins and mail.
# Three more instances serve TLS only, each with a certificate that a check must refuse:
#   9951  issued by an authority nobody trusts
#   9952  expired
#   9953  issued for another name than localhost
# The certificates are made here, at every start, by a test authority of this run; its key is
# destroyed as soon as they are signed. A check must connect to "localhost", the name they carry.
# Beside them, POP3 servers over TLS that test a client's handshake (scripts/lib/tls-peer.py),
# with the good certificate, on 127.0.0.1:
#   9954  TLS 1.0 only
#   9955  TLS 1.1 only
#   9956  asks for a client certificate that it can do without
# Mailboxes, all as Maildir under $LARKSPUR_POP3_MAILDIR:
#   three  / three-secret   three messages
#   empty  / empty-secret   no message
# Exports LARKSPUR_POP3_PORT, LARKSPUR_POP3_MAILDIR, LARKSPUR_POP3_LOG (the log of the server on
# 110 and 995) and LARKSPUR_POP3_AUTHORITY (the test authority's certificate, PEM, which the
# tests trust inside the Wine prefix only) for the tests.
#
# The server's files live in a folder of their own under /tmp, not in the clone: nobody must be
# able to pass every folder above them, and a clone may lie under a folder only its owner enters.

export LARKSPUR_POP3_PORT=${LARKSPUR_POP3_PORT:-110}
LARKSPUR_POP3S_PORT=995
LARKSPUR_REFUSED_CERTIFICATES=(untrusted:9951 expired:9952 wrong-name:9953)
LARKSPUR_TLS_PEERS=(tls1:9954 tls1_1:9955 certificate-request:9956)

write_message() {  # file, number
    cat > "$1" <<MAIL
From: Test Sender <sender@example.invalid>
To: three@example.invalid
Subject: Test message $2
Date: Mon, 7 Dec 2026 09:0$2:00 +0000
Message-ID: <larkspur-test-$2@example.invalid>

This is test message number $2.
MAIL
}

# Signs a server certificate for the key and request in $1 with the authority in $2:
# server name $3, valid from $4 to $5 (openssl's YYYYMMDDHHMMSSZ).
sign_certificate() {
    local dir=$1 authority=$2 name=$3 from=$4 to=$5 ca
    ca=$(mktemp -d "$DOVECOT_DIR/tls/ca.XXXXXX")
    : >"$ca/index.txt"
    echo 01 >"$ca/serial"
    cat >"$ca/ca.cnf" <<CNF
[ca]
default_ca = test
[test]
database = $ca/index.txt
new_certs_dir = $ca
serial = $ca/serial
default_md = sha256
policy = any
unique_subject = no
[any]
commonName = supplied
[server]
basicConstraints = CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = DNS:$name
CNF
    openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes \
        -keyout "$dir/key.pem" -out "$ca/request.pem" -subj "/CN=$name" 2>/dev/null &&
        openssl ca -batch -notext -config "$ca/ca.cnf" -extensions server \
            -cert "$authority/ca.pem" -keyfile "$authority/ca.key" -in "$ca/request.pem" \
            -out "$dir/cert.pem" -startdate "$from" -enddate "$to" >/dev/null 2>&1
    local signed=$?
    rm -rf "$ca"
    return $signed
}

make_authority() {  # folder, common name
    mkdir -p "$1"
    openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
        -keyout "$1/ca.key" -out "$1/ca.pem" -subj "/CN=$2" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
}

# The test authority, the good certificate and the three refused ones, under $DOVECOT_DIR/tls.
make_certificates() {
    local tls=$DOVECOT_DIR/tls yesterday nextweek
    yesterday=$(date -u -d '1 day ago' +%Y%m%d%H%M%SZ)
    nextweek=$(date -u -d '7 days' +%Y%m%d%H%M%SZ)
    make_authority "$tls/trusted" "Larkspur Test Authority" &&
        make_authority "$tls/stranger" "Larkspur Unknown Authority" || return 1
    mkdir -p "$tls/good" "$tls/untrusted" "$tls/expired" "$tls/wrong-name"
    sign_certificate "$tls/good" "$tls/trusted" localhost "$yesterday" "$nextweek" &&
        sign_certificate "$tls/untrusted" "$tls/stranger" localhost "$yesterday" "$nextweek" &&
        sign_certificate "$tls/expired" "$tls/trusted" localhost 20240101000000Z 20250101000000Z &&
        sign_certificate "$tls/wrong-name" "$tls/trusted" mail.larkspur.invalid "$yesterday" \
            "$nextweek" || return 1
    # Nothing may be signed with them again.
    rm -f "$tls/trusted/ca.key" "$tls/stranger/ca.key"
    export LARKSPUR_POP3_AUTHORITY=$tls/trusted/ca.pem
}

# One instance's configuration: folder, POP3 port (0: none), POP3-over-TLS port, certificate
# folder.
write_dovecot_conf() {
    local dir=$1 pop3=$2 pop3s=$3 certificate=$4
    mkdir -p "$dir/base" "$dir/state"
    cat > "$dir/dovecot.conf" <<CONF
protocols = pop3
listen = 127.0.0.1, ::1
ssl = yes
ssl_cert = <$certificate/cert.pem
ssl_key = <$certificate/key.pem
disable_plaintext_auth = no
auth_mechanisms = plain
auth_failure_delay = 0
base_dir = $dir/base
state_dir = $dir/state
log_path = $dir/dovecot.log
default_login_user = nobody
default_internal_user = nobody
default_internal_group = nogroup
first_valid_uid = 1
passdb {
  driver = passwd-file
  args = scheme=PLAIN $DOVECOT_DIR/passwd
}
userdb {
  driver = static
  args = uid=nobody gid=nogroup home=$LARKSPUR_POP3_MAILDIR/%u
}
mail_location = maildir:$LARKSPUR_POP3_MAILDIR/%u
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1, ::1
    port = $pop3
  }
  inet_listener pop3s {
    address = 127.0.0.1, ::1
    port = $pop3s
    ssl = yes
  }
  chroot =
}
service anvil {
  chroot =
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
CONF
}

listening() {  # port
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

start_dovecot() {
    stop_dovecot
    DOVECOT_DIR=$(mktemp -d /tmp/larkspur-pop3.XXXXXX) || return 1
    chmod 755 "$DOVECOT_DIR"
    export LARKSPUR_POP3_MAILDIR="$DOVECOT_DIR/mail"
    mkdir -p "$LARKSPUR_POP3_MAILDIR"
    local user
    for user in three empty; do
        mkdir -p "$LARKSPUR_POP3_MAILDIR/$user/new" "$LARKSPUR_POP3_MAILDIR/$user/cur" \
                 "$LARKSPUR_POP3_MAILDIR/$user/tmp"
    done
    local i
    for i in 1 2 3; do
        write_message "$LARKSPUR_POP3_MAILDIR/three/new/170000000$i.M$i.larkspur" "$i"
    done
    printf 'three:{PLAIN}three-secret\nempty:{PLAIN}empty-secret\n' > "$DOVECOT_DIR/passwd"
    if ! make_certificates; then
        echo "could not make the test certificates with openssl" >&2
        return 1
    fi
    write_dovecot_conf "$DOVECOT_DIR/server" "$LARKSPUR_POP3_PORT" "$LARKSPUR_POP3S_PORT" \
        "$DOVECOT_DIR/tls/good"
    export LARKSPUR_POP3_LOG="$DOVECOT_DIR/server/dovecot.log"
    local variant ports=("$LARKSPUR_POP3_PORT" "$LARKSPUR_POP3S_PORT")
    for variant in "${LARKSPUR_REFUSED_CERTIFICATES[@]}"; do
        write_dovecot_conf "$DOVECOT_DIR/${variant%%:*}" 0 "${variant##*:}" \
            "$DOVECOT_DIR/tls/${variant%%:*}"
        ports+=("${variant##*:}")
    done
    chown -R nobody:nogroup "$DOVECOT_DIR"
    DOVECOT_PIDS=()
    local conf
    for conf in "$DOVECOT_DIR"/*/dovecot.conf; do
        dovecot -F -c "$conf" >"$(dirname "$conf")/stdout.log" 2>&1 &
        DOVECOT_PIDS+=($!)
    done
    # Each in a process group of its own, which takes its s_server along when it ends.
    TLS_PEER_GROUPS=()
    for variant in "${LARKSPUR_TLS_PEERS[@]}"; do
        setsid python3 "$(dirname "${BASH_SOURCE[0]}")/tls-peer.py" "${variant##*:}" \
            "$DOVECOT_DIR/tls/good/cert.pem" "$DOVECOT_DIR/tls/good/key.pem" "${variant%%:*}" &
        TLS_PEER_GROUPS+=($!)
        ports+=("${variant##*:}")
    done
    local port
    for port in "${ports[@]}"; do
        for i in $(seq 1 100); do
            listening "$port" && continue 2
            sleep 0.1
        done
        echo "Dovecot did not start on port $port:" >&2
        cat "$DOVECOT_DIR"/*/stdout.log "$DOVECOT_DIR"/*/dovecot.log >&2 2>/dev/null
        return 1
    done
}

stop_dovecot() {
    local pid
    for pid in ${TLS_PEER_GROUPS[@]+"${TLS_PEER_GROUPS[@]}"}; do
        kill -- "-$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    TLS_PEER_GROUPS=()
    for pid in ${DOVECOT_PIDS[@]+"${DOVECOT_PIDS[@]}"}; do
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    DOVECOT_PIDS=()
    if [ -n "${DOVECOT_DIR:-}" ]; then
        rm -rf "$DOVECOT_DIR"
        DOVECOT_DIR=
    fi
}
