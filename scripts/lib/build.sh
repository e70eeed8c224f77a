# Configures and builds one CMake preset quietly, all of it or the targets named after it;
# prints the compiler's output only on failure.
build_preset() {
    local preset=$1 log
    shift
    log=$(mktemp)
    if ! { cmake --preset "$preset" && cmake --build --preset "$preset" ${1:+--target "$@"}; } \
        >"$log" 2>&1; then
        cat "$log" >&2
        rm -f "$log"
        echo "build of $preset failed" >&2
        return 1
    fi
    rm -f "$log"
}
