#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once as released, once more under
# AddressSanitizer and UndefinedBehaviorSanitizer. Starts its own X server for the GL tests.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing "${game_packages[@]}" "${test_packages[@]}"

# -noreset: the server must outlive the many short-lived windows of the tests.
run_headless() {
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
}

build build Release
run_headless ctest --test-dir "$repo_root/build" --output-on-failure -j2

build build-sanitize RelWithDebInfo -DVELMORA_SANITIZE=ON
# Mesa unloads its software rasteriser with the last GL context, before the leak check runs,
# which leaves its allocations nameless; kept loaded, they match the Mesa suppressions.
mesa_driver=$(ls /usr/lib/*/dri/swrast_dri.so 2>/dev/null | head -n1 || true)
if [ -n "$mesa_driver" ]; then
    export LD_PRELOAD="$mesa_driver"
fi
export ASAN_OPTIONS="verify_asan_link_order=0:detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$repo_root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
run_headless ctest --test-dir "$repo_root/build-sanitize" --output-on-failure -j2
