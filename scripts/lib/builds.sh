# Sourced by the scripts that build: the two builds every script shares, each configured one way.
#   build/native   clang with AddressSanitizer and UndefinedBehaviorSanitizer, the tests and the
#                  fuzz targets (the libraries instrumented for libFuzzer); no benchmarks
#   build/windows  MinGW-w64, Release: the Windows program, orlaspin-cli.exe and their tests
# Ninja builds them; ccache, when installed, is used by CMakeLists.txt itself. Needs $root.

orlaspin_build_root="${ORLASPIN_BUILD_DIR:-$root/build}"

# orlaspin_configure DIR CMAKE_ARGS...: configures DIR with Ninja (Unix Makefiles without it). A
# folder that an earlier layout configured with another generator or compiler is configured anew.
orlaspin_configure() {
  local dir="$1" generator="Unix Makefiles" compiler=""
  shift
  command -v ninja >/dev/null && generator="Ninja"
  local arg
  for arg in "$@"; do
    case "$arg" in -DCMAKE_CXX_COMPILER=*) compiler="${arg#-DCMAKE_CXX_COMPILER=}" ;; esac
  done
  if [ -f "$dir/CMakeCache.txt" ]; then
    local had_generator had_compiler
    had_generator="$(sed -n 's/^CMAKE_GENERATOR:INTERNAL=//p' "$dir/CMakeCache.txt")"
    had_compiler="$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$dir/CMakeCache.txt")"
    if [ "$had_generator" != "$generator" ] ||
      { [ -n "$compiler" ] && [ "$(basename -- "$had_compiler")" != "$compiler" ]; }; then
      rm -rf "$dir/CMakeCache.txt" "$dir/CMakeFiles"
    fi
  fi
  cmake -S "$root" -B "$dir" -G "$generator" "$@"
}

# The sanitizer build of the tests and the fuzz targets.
orlaspin_configure_native() {
  orlaspin_configure "$orlaspin_build_root/native" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DORLASPIN_SANITIZE=ON -DORLASPIN_FUZZ=ON "$@"
}

# The Windows build, as it ships.
orlaspin_configure_windows() {
  orlaspin_configure "$orlaspin_build_root/windows" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release "$@"
}
