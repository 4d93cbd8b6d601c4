# Sourced by the shell tests. A test that lacks a tool skips (exit 77, as ctest's SKIP_RETURN_CODE)
# on a developer's machine. In CI (CI=true) every tool the tests need is installed before the
# suites, so a missing one is a broken setup: the test fails instead of passing silently.
skip_missing_tool() {
    if [ "${CI:-}" = true ]; then
        echo "FAIL: $* (CI installs every tool the tests need)" >&2
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}
