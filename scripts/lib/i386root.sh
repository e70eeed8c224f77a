# The Debian i386 root in which the shipped 32-bit build runs, under a 32-bit Wine of its own:
# the machine's Wine has no 32-bit half, and giving the machine the i386 architecture would
# break it. Source this file after scripts/lib/wine.sh.
#
# Some kernels run no 32-bit code at all (virtual machines that run 64-bit user code only: an
# i386 program fails with "Exec format error", and a 64-bit one cannot switch to a 32-bit code
# segment either, so no Wine runs it). There no root is made, and the tests run the 64-bit twin.
#
# The root is made once, by scripts/bootstrap, under build/ (LARKSPUR_I386_ROOT names another
# folder). A run mounts into it what its programs need, only ever in a mount namespace of its
# own (scripts/in-private-network), and unmounts it again on every way out. Nothing deletes the
# root while anything is mounted in it: with /dev bound, a recursive delete would wipe the
# machine's own device nodes.

I386_ROOT=${LARKSPUR_I386_ROOT:-"$LARKSPUR_ROOT/build/i386-root"}
# Written last, once Wine is in: a root without it is half made and is made again.
I386_READY=.larkspur-ready
# The 32-bit prefix lies in the clone, beside the 64-bit one; the clone is seen at the same path
# inside the root, so the paths that scripts and tests hand to Wine mean the same in and out.
I386_WINEPREFIX=${LARKSPUR_WINEPREFIX32:-"$LARKSPUR_ROOT/build/wineprefix32"}
I386_MIRROR=${LARKSPUR_DEBIAN_MIRROR:-http://deb.debian.org/debian}

i386_root_ready() {
    [ -f "$I386_ROOT/$I386_READY" ]
}

# Whether this kernel runs i386 programs.
kernel_runs_i386() {
    arch-test i386 >/dev/null 2>&1
}

# Whether the shipped 32-bit build runs here, in a root made and mounted for it.
i386_usable() {
    i386_root_ready && kernel_runs_i386
}

# The build that the end-to-end layer and the demo run: the shipped 32-bit one wherever it
# runs, else its 64-bit twin.
tested_preset() {
    if i386_usable; then echo mingw-i686; else echo mingw-x64; fi
}

# The mount points at or below a folder, deepest first.
mounts_under() {  # folder
    local folder
    folder=$(realpath -m "$1")
    # findmnt writes a space in a path as \x20; the root's own paths have none.
    findmnt -rn -o TARGET | awk -v folder="$folder" \
        '$0 == folder || index($0, folder "/") == 1 { print length($0) "\t" $0 }' |
        sort -rn | cut -f 2-
}

# Deletes a root, only when nothing is mounted in it.
remove_root() {  # folder
    local mounted
    mounted=$(mounts_under "$1")
    if [ -n "$mounted" ]; then
        echo "refusing to delete $1: mounted in it: $(echo $mounted)" >&2
        return 1
    fi
    rm -rf --one-file-system "$1"
}

# Binds a host folder or file at the same place inside the root.
bind_into_root() {  # source, [target inside the root]
    local target=$I386_ROOT${2:-$1}
    if [ -d "$1" ]; then mkdir -p "$target"; else [ -e "$target" ] || : >"$target"; fi
    mount --bind "$1" "$target"
}

# Unmounts everything below the root, deepest first. A mount still busy (a process that
# outlived its run holds it) is detached lazily: it leaves the tree at once.
unmount_i386_root() {
    local target status=0
    while IFS= read -r target; do
        [ -n "$target" ] || continue
        umount "$target" 2>/dev/null || umount -l "$target" || status=1
    done < <(mounts_under "$I386_ROOT")
    return "$status"
}

# The system folders the root's programs need (package scripts too).
mount_i386_system() {
    mount -t proc proc "$I386_ROOT/proc" &&
        bind_into_root /dev && bind_into_root /dev/pts
}

# Everything a run needs: the system folders, /tmp (the display's socket, the test Dovecot's
# folder and the files the tests share with it), the host's name lookup (files only, inside the
# private network) and the clone. Call it inside a mount namespace of its own, with a trap that
# calls unmount_i386_root.
mount_i386_root() {
    if ! i386_root_ready; then
        echo "the i386 root $I386_ROOT is not made: run scripts/bootstrap" >&2
        return 1
    fi
    mount_i386_system && bind_into_root /tmp &&
        bind_into_root /etc/hosts && bind_into_root /etc/nsswitch.conf &&
        bind_into_root "$LARKSPUR_ROOT" || { unmount_i386_root; return 1; }
}

i386_root_mounted() {
    findmnt -rn "$I386_ROOT$LARKSPUR_ROOT" >/dev/null
}

# The command line that runs a command inside the mounted root, in the current folder, with the
# project's 32-bit Wine prefix and the variables the tests read: I386_COMMAND.
i386_command() {
    local vars=(PATH=/usr/bin:/bin HOME=/root WINEPREFIX="$I386_WINEPREFIX" WINEARCH=win32
                WINEDEBUG="$WINEDEBUG" WINEDLLOVERRIDES="$WINEDLLOVERRIDES") name
    for name in DISPLAY LANG LC_ALL ${!LARKSPUR_*}; do
        [ -n "${!name+set}" ] && vars+=("$name=${!name}")
    done
    I386_COMMAND=(chroot "$I386_ROOT" /usr/bin/env -i "${vars[@]}"
                  /bin/sh -c 'cd "$0" && exec "$@"' "$PWD")
}

in_i386_root() {  # command...
    i386_command
    "${I386_COMMAND[@]}" "$@"
}

# Makes the root with Debian's debootstrap and installs Wine in it; a half-made root is made
# anew. Needs root and the network.
ensure_i386_root() {
    i386_root_ready && return 0
    if [ -e "$I386_ROOT" ]; then
        echo "bootstrap: removing the half-made i386 root $I386_ROOT"
        remove_root "$I386_ROOT" || return 1
    fi
    echo "bootstrap: making the i386 root $I386_ROOT (Debian bookworm, about 1.2 GB)"
    local log=$LARKSPUR_ROOT/build/i386-root.log
    mkdir -p "$(dirname "$I386_ROOT")"
    if ! debootstrap --variant=minbase --arch=i386 bookworm "$I386_ROOT" "$I386_MIRROR" \
        >"$log" 2>&1; then
        tail -n 20 "$log" >&2
        echo "debootstrap failed: see $log" >&2
        return 1
    fi
    # apt there refuses an index past its validity when this machine's clock runs ahead.
    echo 'Acquire::Check-Valid-Until "false";' >"$I386_ROOT/etc/apt/apt.conf.d/99larkspur"
    # Package scripts start no services in there.
    printf '#!/bin/sh\nexit 101\n' >"$I386_ROOT/usr/sbin/policy-rc.d"
    chmod +x "$I386_ROOT/usr/sbin/policy-rc.d"
    if ! unshare --mount -- bash -c '
        source "$0/scripts/lib/wine.sh" && source "$0/scripts/lib/i386root.sh" || exit 1
        trap unmount_i386_root EXIT
        mount_i386_system || exit 1
        chroot "$I386_ROOT" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
            DEBIAN_FRONTEND=noninteractive sh -c "apt-get update -qq &&
                apt-get install -y -qq --no-install-recommends wine wine32 libwine &&
                apt-get clean"' "$LARKSPUR_ROOT" >>"$log" 2>&1; then
        tail -n 20 "$log" >&2
        echo "installing Wine into the i386 root failed: see $log" >&2
        return 1
    fi
    : >"$I386_ROOT/$I386_READY"
}

# Makes the project's 32-bit prefix with the root's Wine, on the display of ensure_display.
ensure_i386_wineprefix() {
    wineprefix_ready "$I386_WINEPREFIX" && return 0
    unshare --mount -- bash -c '
        source "$0/scripts/lib/wine.sh" && source "$0/scripts/lib/i386root.sh" || exit 1
        trap unmount_i386_root EXIT
        mount_i386_root && ensure_wineprefix "$I386_WINEPREFIX" in_i386_root' "$LARKSPUR_ROOT"
}
