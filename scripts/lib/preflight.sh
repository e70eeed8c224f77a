# Checks that say in one line what a script needs when the machine lacks it. Source this file.

in_private_network() {
    [ -n "${LARKSPUR_PRIVATE_NETWORK:-}" ] &&
        [ "$LARKSPUR_PRIVATE_NETWORK" = "$(readlink /proc/self/ns/net)" ]
}

require_root() {  # why
    [ "$(id -u)" -eq 0 ] && return 0
    echo "$(basename "$0") needs root: $1 (run it with sudo)" >&2
    return 1
}

require_namespaces() {
    local why
    if ! why=$(unshare --net --mount true 2>&1); then
        echo "$(basename "$0") needs a kernel that allows network namespaces (unshare --net --mount: ${why:-failed})" >&2
        return 1
    fi
}
