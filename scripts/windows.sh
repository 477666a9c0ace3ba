#!/usr/bin/env bash
# The Windows stage: cross-builds the 32-bit console executable into build-win,
# checks what it links against, runs the end-to-end cases against it under
# Wine, and checks the packages a player unpacks.
#
# The cases are driven by the native test binary of $KDX_NATIVE_BUILD (default
# build, the folder scripts/test.sh uses), which is configured and built here
# when it is missing. All programs in one Wine prefix share one namespace of
# named mutexes, so the cases run one at a time, in a prefix of this stage's
# own, and nothing of Wine's outlives the stage.
#
# A kernel that runs no 32-bit code cannot start the 32-bit Wine. There the
# cases run against a 64-bit build of the same sources under the 64-bit Wine
# instead, and the shipped 32-bit executable is built, inspected and packaged
# but not started.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh

readonly NATIVE="${KDX_NATIVE_BUILD:-build}"
readonly WIN=build-win
readonly WIN64="$WIN/x64"
readonly started=$SECONDS

say() { printf '== %s\n' "$*"; }
fail() {
  printf 'windows.sh: %s\n' "$*" >&2
  exit 1
}

# The i386 packages can be installed only once the architecture is known.
add_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo dpkg --add-architecture i386
}

# The 32-bit Wine runs only where the kernel runs 32-bit programs.
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

cross_build() {
  local build=$1 toolchain=$2
  cmake --no-warn-unused-cli -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$build" -j"$(nproc)"
}

# A console program for the given machine that needs no DLL but the system's.
check_exe() {
  local exe=$1 objdump=$2 magic=$3 machine=$4
  local headers dlls
  headers=$("$objdump" -p "$exe")
  grep -q "^Magic.*($magic)" <<<"$headers" || fail "$exe is not $magic"
  grep -q "^Subsystem.*(Windows CUI)" <<<"$headers" || fail "$exe is no console program"
  "$objdump" -f "$exe" | grep -q "^architecture: $machine," || fail "$exe is not for $machine"
  dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | sort -f)
  [ "$(tr 'A-Z' 'a-z' <<<"$dlls" | tr '\n' ' ')" = "kernel32.dll msvcrt.dll " ] ||
    fail "$exe needs DLLs beyond the system's: $(tr '\n' ' ' <<<"$dlls")"
  say "$exe: $magic console program for $machine, imports $(tr '\n' ' ' <<<"$dlls")"
}

native_tests() {
  [ -f "$NATIVE/CMakeCache.txt" ] ||
    cmake -S . -B "$NATIVE" -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
  cmake --build "$NATIVE" -j"$(nproc)" --target kdx-tests kdx-cvar-editor
}

# A fresh prefix with a server that stays up between the cases: a server
# started by a case's editor would hold that case's output pipes open for as
# long as it lingers after the editor ends.
start_wine() {
  export WINEDEBUG=-all WINEPREFIX="$PWD/$WIN/wine-prefix"
  [ -d "$WINEPREFIX" ] && { wineserver -k 2>/dev/null || true; }
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  trap stop_wine EXIT
  wineserver -p </dev/null >/dev/null 2>&1
  "$WINE" wineboot -i </dev/null >/dev/null 2>&1
}

stop_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

run_cases() {
  KDX_EDITOR="$PWD/$1" KDX_LAUNCHER="$WINE" "$NATIVE/tests/kdx-tests" \
    --gtest_filter='EndToEnd*' --gtest_brief=1
}

# The start-up block that a first run appends to a missing autoexec.cfg.
execblock() {
  local eol=$1 name
  printf '%s// VOXA execution commands...%s' "$eol" "$eol"
  for name in talvin warden4 merok vorne dastrel warden5 husk zog kolvar orlek tenro raik \
    osmer yarrel drovan; do
    printf 'exec %s_cvars.cfg%s' "$name" "$eol"
  done
  printf 'exec nerith_cvars.cfg'
}

# The start of what a first run shows.
firstrunlines() { printf 'First run?: yes%sGenerating autoexec.cfg...%sWelcome' "$1" "$1"; }

# Unpacks the archive into an empty folder, which must then hold exactly the
# program, the marker and the README, and starts a program there with the
# remaining words: the marker must start a first run. `eol` is the line end
# the program writes.
check_package() {
  local archive=$1 program=$2 eol=$3
  shift 3
  local dir
  dir=$(mktemp -d)
  (cd "$dir" && cmake -E tar xf "$archive")
  [ "$(cd "$dir" && find . -mindepth 1 | sort | tr '\n' ' ')" = \
    "./README.md ./firstruncheck.voxa ./$program " ] ||
    fail "$archive holds: $(cd "$dir" && find . -mindepth 1 | tr '\n' ' ')"
  [ "$(cat "$dir/firstruncheck.voxa")" = yes ] && [ "$(wc -c <"$dir/firstruncheck.voxa")" -eq 3 ] ||
    fail "the marker in $archive is not \"yes\""
  cmp -s README.md "$dir/README.md" || fail "the README in $archive is not the repository's"
  (cd "$dir" && printf '17\n' | "$@" >"$dir.console")
  cmp -s <(firstrunlines "$eol") <(head -c "$(firstrunlines "$eol" | wc -c)" "$dir.console") ||
    fail "$archive did not start a first run: $(head -c 80 "$dir.console" | od -c)"
  cmp -s <(execblock "$eol") "$dir/autoexec.cfg" ||
    fail "autoexec.cfg from $archive: $(od -c "$dir/autoexec.cfg" | head)"
  [ "$(cat "$dir/firstruncheck.voxa")" = no ] || fail "the marker from $archive was not rewritten"
  rm -rf "$dir" "$dir.console"
  say "$archive: the program, the marker and the README; a first run there"
}

add_i386
need_packages cmake make g++-mingw-w64-i686-win32 wine wine32:i386
if runs_32bit; then
  WINE=wine
else
  need_packages wine64 g++-mingw-w64-x86-64-win32
  WINE=/usr/lib/wine/wine64
fi
need_packages "${BUILD_PACKAGES[@]}"

say "cross-building the 32-bit Windows console program in $WIN"
cross_build "$WIN" cmake/mingw-w64-i686.cmake
check_exe "$WIN/kdx-cvar-editor.exe" i686-w64-mingw32-objdump PE32 i386
(cd "$WIN" && cpack -G ZIP >/dev/null)
native_tests
(cd "$NATIVE" && cpack -G TGZ >/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN/CMakeCache.txt")

under_test="$WIN/kdx-cvar-editor.exe"
if [ "$WINE" != wine ]; then
  say "this kernel runs no 32-bit programs: the cases run against a 64-bit build under Wine"
  cross_build "$WIN64" cmake/mingw-w64-x86_64.cmake
  check_exe "$WIN64/kdx-cvar-editor.exe" x86_64-w64-mingw32-objdump PE32+ i386:x86-64
  under_test="$WIN64/kdx-cvar-editor.exe"
fi

say "the end-to-end cases against $under_test under $WINE"
start_wine
run_cases "$under_test"

zip="$PWD/$WIN/kdx-cvar-editor-$version-win32.zip"
# A runtime folder of its own keeps the native program's lock apart from any
# editor already running for this user.
runtime=$(mktemp -d)
check_package "$PWD/$NATIVE/kdx-cvar-editor-$version-Linux.tar.gz" kdx-cvar-editor \
  $'\n' env XDG_RUNTIME_DIR="$runtime" ./kdx-cvar-editor
rm -rf "$runtime"
if [ "$WINE" = wine ]; then
  check_package "$zip" kdx-cvar-editor.exe $'\r\n' wine ./kdx-cvar-editor.exe
else
  # The zip's own program cannot start here; the stand-in runs over its files.
  check_package "$zip" kdx-cvar-editor.exe $'\r\n' "$WINE" "$PWD/$under_test"
fi

stop_wine
trap - EXIT
say "Windows stage done in $((SECONDS - started)) s"
