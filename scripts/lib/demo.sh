# The demo of scripts/run: a complete account for the test server's mailbox "three" in the
# project's Wine prefix, and a note of where that mailbox lies, so that `scripts/run --deliver`
# in another shell can drop a message into it. Source this file after scripts/lib/wine.sh and
# scripts/lib/i386root.sh. The demo runs the shipped 32-bit build in the i386 root where there
# is one.
#
# LARKSPUR_DEMO_DIR (default build/demo) holds the note "mailbox" while a demo runs, and the
# screenshots of a demo on Xvfb.

LARKSPUR_ROOT=${LARKSPUR_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
DEMO_DIR=${LARKSPUR_DEMO_DIR:-"$LARKSPUR_ROOT/build/demo"}
DEMO_NOTE="$DEMO_DIR/mailbox"
DEMO_SETTINGS_KEY='HKEY_CURRENT_USER\Software\Brightmoor\Larkspur'
DEMO_PRESET=$(tested_preset)
build_runner "$DEMO_PRESET"
DEMO_RUNNER=("${BUILD_RUNNER[@]}")

# Section, value name and value of the demo account: the test server's mailbox "three" (three
# messages), a direct connection, a check every minute, the message window and the sound on.
demo_settings() {
    cat <<'LIST'
Mailbox	Pop3 Server Address	"127.0.0.1"
Mailbox	Login Username	"three"
Mailbox	Password	"three-secret"
Notification	Show Window	dword:00000001
Notification	Play Sound	dword:00000001
Notification	Default Sound	dword:00000001
General	Repeat Mail Check	dword:00000001
General	Repeat Mail Interval	dword:00000001
General	Use Dial-up Networking	dword:00000000
LIST
}

# Writes the demo account into the settings, value by value, where a value is missing. A value
# that exists came from an earlier demo or from the Properties dialog, and stays as it is.
seed_demo_settings() {
    local present reg section name value missing=0
    # "Section<TAB>Value name" for every value the settings key holds now.
    present=$("${DEMO_RUNNER[@]}" wine reg query "$DEMO_SETTINGS_KEY" /s 2>/dev/null | tr -d '\r' | awk '
        /^HKEY_/ { n = split($0, parts, "\\"); section = parts[n]; next }
        match($0, /^    .+    REG_[A-Z_]+/) {
            line = substr($0, 5); sub(/    REG_[A-Z_]+.*$/, "", line); print section "\t" line
        }')
    reg=$(mktemp --suffix=.reg)
    echo REGEDIT4 >"$reg"
    while IFS=$'\t' read -r section name value; do
        grep -qxF "$section"$'\t'"$name" <<<"$present" && continue
        printf '\n[%s\\%s]\n"%s"=%s\n' "$DEMO_SETTINGS_KEY" "$section" "$name" "$value" >>"$reg"
        missing=$((missing + 1))
    done < <(demo_settings)
    local status=0
    if [ "$missing" -gt 0 ]; then
        "${DEMO_RUNNER[@]}" wine regedit /S "$reg" >/dev/null 2>&1 || status=1
    fi
    rm -f "$reg"
    return "$status"
}

# Leaves the note of the demo mailbox for `scripts/run --deliver`.
leave_demo_note() {  # mailbox folder
    mkdir -p "$DEMO_DIR"
    printf '%s\n' "$1" >"$DEMO_NOTE"
}

remove_demo_note() {
    rm -f "$DEMO_NOTE"
}

# The mailbox folder of the running demo, from its note; fails when no demo runs. Only a
# mailbox of the test server's own folder is taken, since root writes into it.
demo_mailbox() {
    local mailbox
    [ -f "$DEMO_NOTE" ] && mailbox=$(head -n 1 "$DEMO_NOTE") || return 1
    case "$mailbox" in
        /tmp/larkspur-pop3.*/mail/*) ;;
        *) return 1 ;;
    esac
    case "$mailbox" in *..*) return 1 ;; esac
    [ -d "$mailbox/new" ] && [ -d "$mailbox/tmp" ] || return 1
    printf '%s\n' "$mailbox"
}

# Delivers one new message into a mailbox the way a mail server does: written in tmp/, then
# moved into new/, owned by the mailbox's owner. Prints the message's number.
deliver_demo_message() {  # mailbox folder
    local mailbox=$1 count name
    count=$(find "$mailbox/new" "$mailbox/cur" -type f | wc -l)
    count=$((count + 1))
    name="$(date +%s).P$$.demo$count.larkspur"
    cat >"$mailbox/tmp/$name" <<MAIL || return 1
From: Larkspur Demo <demo@example.invalid>
To: three@example.invalid
Subject: Demo message $count
Date: $(date -R)
Message-ID: <larkspur-demo-$name@example.invalid>

This message was delivered by scripts/run --deliver.
MAIL
    chown --reference="$mailbox" "$mailbox/tmp/$name" && chmod 600 "$mailbox/tmp/$name" &&
        mv "$mailbox/tmp/$name" "$mailbox/new/$name" || return 1
    echo "$count"
}
