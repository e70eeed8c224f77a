# A private Dovecot POP3 server on 127.0.0.1 for the tests. Source this file inside a private
# network namespace (scripts/in-private-network), then start_dovecot / stop_dovecot. It listens
# on the POP3 port itself, 110, because the program takes its port from the "pop3" service
# entry; the master runs as root (for that port) and drops to nobody for logins and mail.
# Mailboxes, all as Maildir under $LARKSPUR_POP3_MAILDIR:
#   three  / three-secret   three messages
#   empty  / empty-secret   no message
# Exports LARKSPUR_POP3_PORT and LARKSPUR_POP3_MAILDIR for the tests.
#
# The server's files live in a folder of their own under /tmp, not in the clone: nobody must be
# able to pass every folder above them, and a clone may lie under a folder only its owner enters.

export LARKSPUR_POP3_PORT=${LARKSPUR_POP3_PORT:-110}

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

start_dovecot() {
    stop_dovecot
    DOVECOT_DIR=$(mktemp -d /tmp/larkspur-pop3.XXXXXX) || return 1
    chmod 755 "$DOVECOT_DIR"
    export LARKSPUR_POP3_MAILDIR="$DOVECOT_DIR/mail"
    mkdir -p "$DOVECOT_DIR/base" "$DOVECOT_DIR/state" "$LARKSPUR_POP3_MAILDIR"
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
    cat > "$DOVECOT_DIR/dovecot.conf" <<CONF
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain
auth_failure_delay = 0
base_dir = $DOVECOT_DIR/base
state_dir = $DOVECOT_DIR/state
log_path = $DOVECOT_DIR/dovecot.log
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
    address = 127.0.0.1
    port = $LARKSPUR_POP3_PORT
  }
  inet_listener pop3s {
    port = 0
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
    chown -R nobody:nogroup "$DOVECOT_DIR"
    dovecot -F -c "$DOVECOT_DIR/dovecot.conf" >"$DOVECOT_DIR/stdout.log" 2>&1 &
    DOVECOT_PID=$!
    for i in $(seq 1 100); do
        if (exec 3<>"/dev/tcp/127.0.0.1/$LARKSPUR_POP3_PORT") 2>/dev/null; then return 0; fi
        sleep 0.1
    done
    echo "Dovecot did not start:" >&2
    cat "$DOVECOT_DIR/stdout.log" "$DOVECOT_DIR/dovecot.log" >&2 2>/dev/null
    return 1
}

stop_dovecot() {
    if [ -n "${DOVECOT_PID:-}" ]; then
        kill "$DOVECOT_PID" 2>/dev/null
        wait "$DOVECOT_PID" 2>/dev/null
        DOVECOT_PID=
    fi
    if [ -n "${DOVECOT_DIR:-}" ]; then
        rm -rf "$DOVECOT_DIR"
        DOVECOT_DIR=
    fi
}
