# Shared set-up for the build, run and test scripts: packages, the private
# Wine prefix and the private X display. Sourced, not run.

TANDREL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${TANDREL_BUILD_DIR:-$TANDREL_ROOT/build}
TANDREL_DISPLAY=${TANDREL_DISPLAY:-:87}

export WINEPREFIX=${TANDREL_WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEARCH=win64
# Wine's debug channels stay off unless TANDREL_WINEDEBUG names some (the
# tests' heap checks do).
export WINEDEBUG=${TANDREL_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=$TANDREL_DISPLAY

# The font that shows the Japanese texts (Debian's fonts-ipafont-gothic).
CJK_FONT=/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_packages() {
    local missing=""
    dpkg --print-foreign-architectures | grep -qx i386 || missing="i386"
    for cmd in wine /usr/lib/wine/wine /usr/lib/wine/wine64 Xvfb cmake \
               i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix makensis \
               /usr/bin/convert /usr/bin/import xwininfo ffmpeg; do
        command -v "$cmd" >/dev/null 2>&1 || missing="$missing $cmd"
    done
    [ -f /usr/src/googletest/CMakeLists.txt ] || missing="$missing googletest"
    [ -f "$CJK_FONT" ] || missing="$missing fonts-ipafont-gothic"
    [ -z "$missing" ] && return 0
    echo "Installing build and test packages (missing:$missing)..."
    sudo_if_needed dpkg --add-architecture i386
    sudo_if_needed apt-get update -qq
    sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        wine wine32 wine64 xvfb g++-mingw-w64-i686 g++-mingw-w64-x86-64 \
        cmake googletest nsis fonts-ipafont-gothic imagemagick x11-utils ffmpeg >/dev/null
}

# Some kernels run no 32-bit code: IA-32 emulation is switched off at boot,
# as on some virtual machines, and Wine's 32-bit loader fails with "Exec
# format error". There the kernel hands i386 programs to qemu's user-mode
# emulator, registered with binfmt_misc. Debian's 32-bit Wine has no
# preloader: it reserves the address space above 2 GB up to its stack by
# halving requests that qemu moves elsewhere, and qemu puts the stack at the
# top of the guest's space. A guest of 4 GB took about 60 s to start a
# program, one of 2 GB and 4 MB takes about 2.5 s; it still holds 2 GB, all
# that a 32-bit program that is not large-address aware can use.
export QEMU_RESERVED_VA=0x80400000
I386_BINFMT=/proc/sys/fs/binfmt_misc/qemu-i386
# Told to the tests: qemu keeps a 32-bit program's memory at other addresses
# than the program sees, so what another process writes into it lands
# elsewhere.
if [ "$(head -n 1 "$I386_BINFMT" 2>/dev/null)" = enabled ]; then export TANDREL_I386_EMULATED=1; fi

ensure_i386_programs() {
    /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
    echo "This kernel runs no 32-bit programs; running them under qemu-i386..."
    command -v qemu-i386-static >/dev/null 2>&1 ||
        sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq qemu-user-static >/dev/null
    [ -e /proc/sys/fs/binfmt_misc/register ] ||
        sudo_if_needed mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    if [ ! -e "$I386_BINFMT" ]; then
        printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
            sudo_if_needed tee /proc/sys/fs/binfmt_misc/register >/dev/null
    fi
    echo 1 | sudo_if_needed tee "$I386_BINFMT" >/dev/null
    export TANDREL_I386_EMULATED=1
    /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
    echo "32-bit programs do not start, even under qemu-i386" >&2
    return 1
}

# The loader for a Windows program: 64-bit ones start straight in wine64,
# without the 32-bit loader's detour (a whole emulated start under qemu).
wine_loader_for() {
    local machine
    machine=$(od -An -tx1 -j "$(od -An -tu4 -j 60 -N 4 "$1" | tr -d ' ')" -N 6 "$1" 2>/dev/null | tr -d ' \n')
    if [ "$machine" = "504500006486" ]; then echo /usr/lib/wine/wine64; else echo wine; fi
}

display_running() {
    local n=${TANDREL_DISPLAY#:}
    [ -S "/tmp/.X11-unix/X$n" ] && [ -f "/tmp/.X$n-lock" ] &&
        kill -0 "$(tr -d ' ' < "/tmp/.X$n-lock")" 2>/dev/null
}

ensure_display() {
    display_running && return 0
    local n=${TANDREL_DISPLAY#:}
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    setsid Xvfb "$TANDREL_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp \
        </dev/null >/dev/null 2>&1 &
    for _ in $(seq 100); do display_running && return 0; sleep 0.1; done
    echo "Xvfb did not start on $TANDREL_DISPLAY" >&2
    return 1
}

# Wine's helper processes inherit the standard handles of the first Wine
# program; started here with /dev/null, they never hold a ctest pipe open.
quiet_wine() { "$@" </dev/null >/dev/null 2>&1; }

ensure_prefix() {
    [ -f "$WINEPREFIX/.tandrel-ready" ] || create_prefix
    ensure_dialog_fonts
}

create_prefix() {
    echo "Creating the Wine prefix $WINEPREFIX (about half a minute)..."
    mkdir -p "$WINEPREFIX"
    quiet_wine wineboot -i
    quiet_wine wineserver -w
    # Without a window manager, hiding a managed window costs about 2 s.
    quiet_wine wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
    # A crashing test must fail, not wait in the debugger's dialog.
    quiet_wine wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    quiet_wine wineserver -w
    touch "$WINEPREFIX/.tandrel-ready"
}

# The dialogs ask for "MS UI Gothic" and "Microsoft Sans Serif", which show
# Japanese, and the Japanese pages of the Windows installer for
# "ＭＳ Ｐゴシック"; message boxes, menus and captions use Tahoma and
# Tahoma Bold. Here the first three become IPA P Gothic and both Tahomas
# fall back to it for the glyphs they lack. Wine's own Tahoma and Marlett
# (the caption buttons) are put in the prefix's font folder too, where every
# Wine finds them. A step of its own, with its own marker, so that prefixes
# made before it get it as well.
ensure_dialog_fonts() {
    [ -f "$WINEPREFIX/.tandrel-fonts-2" ] && return 0
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" key font view
    mkdir -p "$fonts"
    for font in "$CJK_FONT" /usr/share/wine/fonts/{tahoma,tahomabd,marlett}.ttf; do
        if [ -f "$font" ]; then ln -sf "$font" "$fonts/"; fi
    done
    key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    for view in 32 64; do
        for font in "MS UI Gothic" "Microsoft Sans Serif" "ＭＳ Ｐゴシック"; do
            quiet_wine wine reg add "$key\FontSubstitutes" /v "$font" /d "IPAPGothic" /f /reg:$view
        done
        for font in Tahoma "Tahoma Bold"; do
            quiet_wine wine reg add "$key\FontLink\SystemLink" /v "$font" /t REG_MULTI_SZ \
                /d "ipagp.ttf,IPAPGothic" /f /reg:$view
        done
    done
    quiet_wine wineserver -w
    touch "$WINEPREFIX/.tandrel-fonts-2"
}

# The wineserver of a prefix works in a directory named after the prefix's
# device and inode; that tells this prefix's server from other prefixes'.
wineserver_running() {
    [ -d "$WINEPREFIX" ] || return 1
    local want pid
    want=$(printf 'server-%s-%x' "$(stat -c %D "$WINEPREFIX")" "$(stat -c %i "$WINEPREFIX")")
    for pid in $(pgrep -u "$(id -u)" wineserver); do
        case "$(readlink "/proc/$pid/cwd")" in */"$want") return 0 ;; esac
    done
    return 1
}

# A program that imports the VfW library needs the desktop. When none runs,
# Wine starts explorer.exe with that program's standard handles, and it
# stays about a second after the program ends, holding ctest's pipe open.
# Started here with /dev/null, the desktop serves every later program; a
# second start ends at once when a desktop already runs.
warm_wine() {
    quiet_wine wineserver -p || true
    quiet_wine wine cmd /c exit || true
    (setsid wine explorer.exe /desktop </dev/null >/dev/null 2>&1 &)
}

ensure_wine() {
    ensure_i386_programs && ensure_display && ensure_prefix && warm_wine
}

# Runs the configuration tool on the display $1 (the user's) until it is
# closed. Without one it runs on the private display: a screenshot of the
# main dialog is saved in the build folder and its path printed, and the
# tool is closed again.
run_config_tool() {
    local exe="$BUILD_DIR/bin/Tandrel64.exe" title="Tandrel64 Config Ve1.00"
    local shot="$BUILD_DIR/config-tool.png" pid
    ensure_display && ensure_prefix
    if [ -n "${1:-}" ]; then
        # The prefix's running Wine belongs to the private display.
        quiet_wine wineserver -k || true
        DISPLAY=$1 wine "$exe" || true
        quiet_wine wineserver -k || true
        return 0
    fi
    warm_wine
    /usr/lib/wine/wine "$exe" </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do xwininfo -name "$title" >/dev/null 2>&1 && break; sleep 0.1; done
    sleep 1
    import -window "$title" "$shot"
    kill "$pid"
    echo "The configuration tool ran on the private display $TANDREL_DISPLAY: $shot"
}

configure_and_build() {
    cmake -S "$TANDREL_ROOT" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
        -DTANDREL_DISPLAY="$TANDREL_DISPLAY" -DTANDREL_WINEPREFIX="$WINEPREFIX" >/dev/null &&
    cmake --build "$BUILD_DIR" -j"$(nproc)"
}
