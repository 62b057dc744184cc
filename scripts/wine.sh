# shellcheck shell=bash
# Sourced by the run and test commands: Wine prefixes and a private X server
# for Kestrelpad's Windows build.
#
#   kp_wine_env PREFIX                       environment for Wine in PREFIX
#   kp_wine_prepare_prefix PREFIX [--unmanaged]
#   kp_winepath LINUXPATH                    prints the Windows form
#   kp_free_display                          prints a free display number
#   kp_start_xvfb / kp_stop_xvfb             own Xvfb; exports DISPLAY
#
# Every prepared prefix has a default printer, "Kestrelpad File Printer": the
# platform's PostScript driver on port LPT1:, which writes each job to
# PREFIX/printed.ps (a later job replaces it). A program can also name its own
# output file per job.

KP_WINE_MARKER=.kestrelpad-prefix
KP_WINE_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
KP_PRINTER_NAME="Kestrelpad File Printer"

# Japanese faces Wine would otherwise all map to the fixed-pitch IPAゴシック.
KP_WINE_FONT_REPLACEMENTS=(
    "ＭＳ Ｐゴシック=IPAPGothic"
    "ＭＳ ゴシック=IPAGothic"
    "MS UI Gothic=IPAPGothic"
    "ＭＳ Ｐ明朝=IPAPMincho"
    "ＭＳ 明朝=IPAMincho"
    "MS PGothic=IPAPGothic"
    "MS Gothic=IPAGothic"
    "MS PMincho=IPAPMincho"
    "MS Mincho=IPAMincho"
)

# kp_wine_env PREFIX: exports what every Wine command of this prefix needs. HOME
# is a clean directory inside the prefix, because Wine links the Windows
# desktop and documents folders to it.
kp_wine_env() {
    local prefix
    prefix=$(realpath -m "$1")
    mkdir -p "$prefix/home"
    export WINEPREFIX="$prefix"
    export HOME="$prefix/home"
    export LANG=ja_JP.UTF-8
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# Writes the .reg file with this project's settings to stdout (UTF-8).
kp_wine_settings_reg() {
    local unmanaged=$1 printed=$2 entry
    printf 'Windows Registry Editor Version 5.00\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\n'
    for entry in "${KP_WINE_FONT_REPLACEMENTS[@]}"; do
        printf '"%s"="%s"\n' "${entry%%=*}" "${entry#*=}"
    done
    # The printer's port: each job goes through the shell into the file.
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\Printing\\Spooler]\n"LPT1:"="|cat > '"'"'%s'"'"'"\n' "$printed"
    if [ "$unmanaged" = 1 ]; then
        # Without a window manager every hide or destroy would wait 2 s.
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\n"Managed"="N"\n'
    fi
}

# kp_wine_prepare_prefix PREFIX [--unmanaged]: creates the prefix if needed and
# applies the settings once; a marker file records what was done. Also calls
# kp_wine_env.
kp_wine_prepare_prefix() {
    local prefix=$1 unmanaged=0 done_pattern='^prepared (unmanaged )?with printer$' state='prepared with printer'
    if [ "${2:-}" = --unmanaged ]; then
        unmanaged=1
        done_pattern='^prepared unmanaged with printer$'
        state='prepared unmanaged with printer'
    fi
    kp_wine_env "$prefix"
    local marker="$WINEPREFIX/$KP_WINE_MARKER"
    if [ -f "$marker" ] && grep -q "$done_pattern" "$marker"; then
        return 0
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || { echo "wineboot -i failed for $WINEPREFIX" >&2; return 1; }
    fi
    # regedit reads UTF-16 .reg files; the face names are Japanese.
    local reg="$WINEPREFIX/kestrelpad-settings.reg"
    { printf '\xff\xfe'; kp_wine_settings_reg "$unmanaged" "$WINEPREFIX/printed.ps" | sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$reg"
    wine regedit /S "$(kp_winepath "$reg")" >/dev/null 2>&1 ||
        { echo "regedit could not import $reg" >&2; return 1; }
    rm -f "$reg"
    kp_wine_install_printer || { echo "the file printer could not be installed in $WINEPREFIX" >&2; return 1; }
    # The registry reaches user.reg only when wineserver saves it.
    wineserver -w
    printf '%s\n' "$state" >"$marker"
}

# kp_wine_install_printer: installs the file printer in WINEPREFIX with a small
# Windows helper compiled on the spot. The PostScript driver needs a PPD, which
# ghostscript ships; the platform records only its name, so it is copied into
# the driver folder first.
kp_wine_install_printer() {
    local ppd drivers helper
    ppd=$(ls /usr/share/ghostscript/*/lib/ghostpdf.ppd 2>/dev/null | head -n 1)
    if [ -z "$ppd" ]; then
        echo "ghostpdf.ppd not found: install the ghostscript package" >&2
        return 1
    fi
    drivers="$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3"
    mkdir -p "$drivers" && cp "$ppd" "$drivers/" || return 1
    helper="$WINEPREFIX/printer-setup.exe"
    x86_64-w64-mingw32-gcc -O1 -municode -o "$helper" "$KP_WINE_SCRIPTS/win32/printer-setup.c" -lwinspool ||
        return 1
    wine "$helper" "$KP_PRINTER_NAME" "LPT1:" "$(basename "$ppd")"
    local status=$?
    rm -f "$helper"
    return $status
}

# kp_winepath LINUXPATH: the path as Windows programs under Wine see it.
kp_winepath() {
    winepath -w "$1" 2>/dev/null | tr -d '\r'
}

# kp_free_display: prints the lowest display number from 10 up that has
# neither a lock file nor a socket.
kp_free_display() {
    local n
    for ((n = 10; n < 200; n++)); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo "$n"
            return 0
        fi
    done
    echo "no free X display number" >&2
    return 1
}

# kp_start_xvfb: starts Xvfb on a free display at 1280x1024x24, waits until it
# answers and exports DISPLAY; KP_XVFB_PID is the process to stop.
kp_start_xvfb() {
    local display waited
    for _ in 1 2 3; do
        display=$(kp_free_display) || return 1
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        KP_XVFB_PID=$!
        for ((waited = 0; waited < 100; waited++)); do
            if ! kill -0 "$KP_XVFB_PID" 2>/dev/null; then
                break  # lost a race for the display number: try the next one
            fi
            if DISPLAY=":$display" xdpyinfo >/dev/null 2>&1; then
                export DISPLAY=":$display"
                return 0
            fi
            sleep 0.1
        done
        kp_stop_xvfb
    done
    echo "Xvfb did not start" >&2
    return 1
}

# kp_stop_xvfb: stops the Xvfb that kp_start_xvfb started, and nothing else.
kp_stop_xvfb() {
    if [ -n "${KP_XVFB_PID:-}" ]; then
        kill "$KP_XVFB_PID" 2>/dev/null || true
        wait "$KP_XVFB_PID" 2>/dev/null || true
        KP_XVFB_PID=
    fi
}
