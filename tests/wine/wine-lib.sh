# shellcheck shell=bash
#
# wine-lib.sh - helpers for running our Windows binaries under Wine in tests.
#
# Source it from bash; it is safe under `set -u` and `set -e` and does not
# change the caller's shell options. Everything public is named wl_*; names
# starting with wl__ / WL__ are internal.
#
#   source tests/wine/wine-lib.sh
#   trap wl_cleanup EXIT
#   wl_prefix_new "$(mktemp -d)/prefix"    # exports WINEPREFIX/WINEARCH/WINEDEBUG
#   wl_xvfb_start                          # exports DISPLAY
#   wl_cdrom D "$media" ZELDISC 1234ABCD   # D: is a CD-ROM showing $media
#   wine "$WINEPREFIX/drive_c/setup.exe" &
#   wl_wait 20 test -f "$WINEPREFIX/drive_c/done.txt"
#   wl_reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' 'OXD Agent'
#
# Knobs (all optional):
#   WL_CACHE          folder of the pristine prefix template
#                     (default: <repo>/build/wine-template-$WL_ARCH)
#   WL_ARCH           win32 or win64 (default: win32 where i386 programs run)
#   WL_WINE_TIMEOUT   seconds any single helper-run wine command may take (120)
#   WL_XVFB_TIMEOUT   seconds to wait for Xvfb to accept connections (15)
#   WL_XVFB_FIRST     first display number tried (90)
#   WL_VERBOSE        set to 1 to log what the helpers do on stderr
#
# Isolation: every prefix loses dosdevices/z: and every symlink Wine puts under
# drive_c/users/*/ (Desktop, Documents, ... -> $HOME) becomes a real, empty
# folder. winemenubuilder is disabled so Wine writes no menu entries or MIME
# data to $HOME. Note that Wine still lets a program name host files through
# \\?\unix\... paths; this keeps honest tests inside their prefix, it is not a
# sandbox.

# Where this file lives, so the template cache follows the checkout wherever
# it is.
WL_LIB_DIR="$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")" && pwd -P)"
WL_REPO_DIR="$(cd -- "$WL_LIB_DIR/../.." && pwd -P)"

# State. Re-sourcing keeps what an earlier source set up.
: "${WL_PREFIX:=}"
: "${WL__XVFB_PID:=}"
: "${WL__XVFB_DISPLAY:=}"
: "${WL__XVFB_LOG:=}"
: "${WL__OLD_DISPLAY_SET:=}"
: "${WL__OLD_DISPLAY:=}"
if ! declare -p WL__PREFIXES >/dev/null 2>&1; then
    declare -ga WL__PREFIXES=()
fi

# wl_i386_runs
# True when this machine runs 32-bit x86 Linux programs, which the win32 side
# of Wine is made of. Some virtual machines run 64-bit user code only: their
# kernel refuses every i386 program ("Exec format error"), so Wine cannot
# start there at all.
wl_i386_runs() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The Windows of the test prefixes (WL_ARCH, may be set by the caller):
# win32 where i386 programs run. Elsewhere win64: Wine's 64-bit side alone
# (wine64) runs the 64-bit builds of our programs from build/win64, and
# `wine` and `wineboot` lead to it through tests/wine/wine64/. WL_WIN_BUILD is
# the build folder whose programs the prefixes run.
if [[ -z ${WL_ARCH:-} ]]; then
    if wl_i386_runs; then WL_ARCH=win32; else WL_ARCH=win64; fi
fi
if [[ $WL_ARCH == win64 ]]; then
    WL_WIN_BUILD=$WL_REPO_DIR/build/win64
    [[ :$PATH: == *":$WL_LIB_DIR/wine64:"* ]] || export PATH=$WL_LIB_DIR/wine64:$PATH
else
    WL_WIN_BUILD=$WL_REPO_DIR/build/win
fi

# DLLs that must never run in a test prefix: the Mono/Gecko installers (they
# pop up a dialog and hang when a display exists) and winemenubuilder (writes
# .desktop files and MIME types into $HOME).
WL__DLL_OFF='mscoree=;mshtml=;winemenubuilder.exe=d'

wl__log() {
    if [[ ${WL_VERBOSE:-0} == 1 ]]; then
        printf 'wine-lib: %s\n' "$*" >&2
    fi
    return 0
}

wl__err() {
    printf 'wine-lib: error: %s\n' "$*" >&2
    return 0
}

wl__now_ms() {
    local ns
    ns=$(date +%s%N)
    printf '%s\n' $((ns / 1000000))
}

# "2", "2.5", "0.25" -> milliseconds. Prints nothing and fails on junk.
wl__secs_to_ms() {
    local s=$1 int frac
    [[ $s =~ ^([0-9]+)(\.([0-9]*))?$ ]] || return 1
    int=${BASH_REMATCH[1]}
    frac=${BASH_REMATCH[3]:-}
    frac=${frac}000
    frac=${frac:0:3}
    printf '%s\n' $((10#$int * 1000 + 10#$frac))
}

wl__cache_dir() {
    printf '%s\n' "${WL_CACHE:-$WL_REPO_DIR/build/wine-template-$WL_ARCH}"
}

# What a template was built for; a template built by another Wine or for
# another user is rebuilt rather than trusted.
wl__template_id() {
    local v
    v=$(wine --version 2>/dev/null) || v=unknown
    printf 'wine=%s user=%s arch=%s\n' "$v" "$(id -un)" "$WL_ARCH"
}

# Run a wine command for one prefix, from inside the prefix (no "could not
# open working directory" noise now that Z: is gone), bounded in time.
# Usage: wl_wine_in PREFIX ARGS...
wl_wine_in() {
    local pfx=$1
    shift
    (
        cd -- "$pfx/drive_c" 2>/dev/null || cd -- "$pfx" || exit 1
        WINEPREFIX=$pfx WINEARCH=$WL_ARCH WINEDEBUG=-all \
            timeout -k 5 "${WL_WINE_TIMEOUT:-120}" wine "$@"
    )
}

# Stop the wineserver of PREFIX and everything running in it, and wait until
# it is really gone.
wl_server_stop() {
    local pfx=$1
    WINEPREFIX=$pfx wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$pfx timeout -k 5 60 wineserver -w >/dev/null 2>&1 || true
    return 0
}

# Cut a prefix off from the host: no Z:, and no user-folder links to $HOME.
wl__sanitize() {
    local pfx=$1 link
    rm -f -- "$pfx/dosdevices/z:" || return 1
    [[ -d $pfx/drive_c/users ]] || return 0
    while IFS= read -r -d '' link; do
        rm -f -- "$link" && mkdir -p -- "$link" || return 1
    done < <(find "$pfx/drive_c/users" -mindepth 2 -type l -print0)
    return 0
}

# Fails if wl__sanitize's promises do not hold for PREFIX.
wl__sanitized() {
    local pfx=$1 left
    if [[ -e $pfx/dosdevices/z: || -L $pfx/dosdevices/z: ]]; then
        wl__err "$pfx/dosdevices/z: still exists"
        return 1
    fi
    left=$(find "$pfx/drive_c/users" -mindepth 2 -type l -print -quit 2>/dev/null)
    if [[ -n $left ]]; then
        wl__err "symlink left under users: $left"
        return 1
    fi
    return 0
}

# Does the prefix actually work? Runs a console program and reads the
# registry, which is what breaks if the prefix's own path matters.
wl__prefix_works() {
    local pfx=$1 out
    out=$(wl_wine_in "$pfx" cmd /c echo wl-alive 2>/dev/null) || return 1
    out=${out//$'\r'/}
    [[ $out == *wl-alive* ]] || return 1
    out=$(WINEPREFIX=$pfx wl_reg_value \
        'HKLM\Software\Microsoft\Windows NT\CurrentVersion' CurrentBuildNumber) ||
        return 1
    [[ $out =~ ^[0-9]+$ ]] || return 1
    return 0
}

# Is the template at DIR complete and made for this Wine and user?
wl__template_ok() {
    local t=$1 f
    for f in system.reg user.reg userdef.reg .wl-template \
        drive_c/windows/system32/kernel32.dll; do
        [[ -s $t/$f ]] || return 1
    done
    [[ -L $t/dosdevices/c: ]] || return 1
    [[ $(<"$t/.wl-template") == "$(wl__template_id)" ]] || return 1
    return 0
}

# Fresh prefix with wineboot at DIR (DIR must be absent or empty), with the
# settings every test prefix gets. Leaves no wineserver running.
wl__wineboot() {
    local pfx=$1 t0
    mkdir -p -- "$pfx" || return 1
    t0=$(wl__now_ms)
    (
        cd -- "$pfx" || exit 1
        unset DISPLAY
        WINEPREFIX=$pfx WINEARCH=$WL_ARCH WINEDEBUG=-all WINEDLLOVERRIDES=$WL__DLL_OFF \
            timeout -k 5 "${WL_WINE_TIMEOUT:-120}" wineboot -i >/dev/null 2>&1
    ) || {
        wl__err "wineboot -i failed for $pfx"
        wl_server_stop "$pfx"
        return 1
    }
    # Keep winemenubuilder off for good, not only while booting.
    wl_wine_in "$pfx" reg add 'HKCU\Software\Wine\DllOverrides' \
        /v winemenubuilder.exe /t REG_SZ /d '' /f >/dev/null 2>&1 || {
        wl__err "could not disable winemenubuilder in $pfx"
        wl_server_stop "$pfx"
        return 1
    }
    # Let the server write the registry out and go away before anyone copies
    # or touches the files.
    wl_server_stop "$pfx"
    wl__sanitize "$pfx" || return 1
    wl__log "wineboot $pfx took $(($(wl__now_ms) - t0)) ms"
    return 0
}

# Build the template (caller holds the cache lock).
wl__template_build() {
    local t=$1 tmp="$1.build.$$"
    wl__log "building wine template at $t"
    rm -rf -- "$tmp" "$t" || return 1
    mkdir -p -- "$(dirname -- "$t")" || return 1
    if ! wl__wineboot "$tmp"; then
        rm -rf -- "$tmp"
        return 1
    fi
    wl__template_id >"$tmp/.wl-template" || return 1
    mv -- "$tmp" "$t" || { rm -rf -- "$tmp"; return 1; }
    return 0
}

# wl_prefix_new DIR
# Makes a throwaway prefix at DIR (absent or empty) and exports
# WINEPREFIX, WINEARCH=$WL_ARCH and WINEDEBUG=-all. Copies a cached pristine
# template when it can; falls back to wineboot otherwise.
wl_prefix_new() {
    if (($# != 1)) || [[ -z $1 ]]; then
        wl__err "usage: wl_prefix_new DIR"
        return 2
    fi
    local dir cache lockfd ok=0 t0
    t0=$(wl__now_ms)
    dir=$(realpath -m -- "$1") || return 1
    if [[ -e $dir && ! -d $dir ]]; then
        wl__err "$dir exists and is not a folder"
        return 1
    fi
    if [[ -d $dir && -n $(ls -A -- "$dir") ]]; then
        wl__err "$dir is not empty; refusing to use it as a new prefix"
        return 1
    fi
    mkdir -p -- "$dir" || return 1
    # Registered before any work so wl_cleanup removes half-made prefixes too.
    : >"$dir/.wl-prefix"
    WL__PREFIXES+=("$dir")
    WL_PREFIX=$dir

    cache=$(wl__cache_dir)
    mkdir -p -- "$(dirname -- "$cache")" || return 1
    exec {lockfd}>"$cache.lock" || return 1
    if ! flock -w 600 "$lockfd"; then
        wl__err "timed out waiting for the template lock $cache.lock"
        exec {lockfd}>&-
        return 1
    fi

    if [[ -f $cache.copy-broken && $(<"$cache.copy-broken") == "$(wl__template_id)" ]]; then
        wl__log "copied prefixes are known not to work here; using wineboot"
    else
        local attempt
        for attempt in 1 2; do
            if ! wl__template_ok "$cache"; then
                wl__template_build "$cache" || break
            fi
            wl_server_stop "$cache"
            find "$dir" -mindepth 1 -delete 2>/dev/null
            if ! cp -a -- "$cache/." "$dir/"; then
                wl__err "copying $cache to $dir failed"
                rm -rf -- "$cache"
                continue
            fi
            rm -f -- "$dir/.wl-template"
            : >"$dir/.wl-prefix"
            if wl__prefix_works "$dir"; then
                ok=1
                break
            fi
            wl__err "copied prefix at $dir does not work (try $attempt); rebuilding the template"
            wl_server_stop "$dir"
            rm -rf -- "$cache"
        done
        if ((ok == 0)) && wl__template_ok "$cache"; then
            # The template itself is fine but its copies are not: stop trying.
            wl__template_id >"$cache.copy-broken"
        fi
    fi
    exec {lockfd}>&-

    if ((ok == 0)); then
        wl__log "falling back to wineboot for $dir"
        find "$dir" -mindepth 1 -delete 2>/dev/null
        : >"$dir/.wl-prefix"
        if ! wl__wineboot "$dir" || ! wl__prefix_works "$dir"; then
            wl__err "could not make a working prefix at $dir"
            wl_server_stop "$dir"
            return 1
        fi
    fi

    # The checks above ran Wine in the prefix; make sure nothing put links
    # back, and leave no server behind.
    wl_server_stop "$dir"
    wl__sanitize "$dir" || return 1
    wl__sanitized "$dir" || return 1

    export WINEPREFIX=$dir WINEARCH=$WL_ARCH WINEDEBUG=-all
    wl__log "prefix $dir ready in $(($(wl__now_ms) - t0)) ms"
    return 0
}

# wl_xvfb_start
# Starts Xvfb (1024x768x24) on the first free display from :90 up and exports
# DISPLAY once the server answers. Does nothing if ours is already running.
wl_xvfb_start() {
    if [[ -n $WL__XVFB_PID ]] && kill -0 "$WL__XVFB_PID" 2>/dev/null; then
        export DISPLAY=$WL__XVFB_DISPLAY
        return 0
    fi
    command -v Xvfb >/dev/null || { wl__err "Xvfb not found"; return 1; }
    command -v xdpyinfo >/dev/null || { wl__err "xdpyinfo not found"; return 1; }
    local n first=${WL_XVFB_FIRST:-90} last pid log deadline timeout_ms
    timeout_ms=$(wl__secs_to_ms "${WL_XVFB_TIMEOUT:-15}") || {
        wl__err "bad WL_XVFB_TIMEOUT"
        return 2
    }
    last=$((first + 100))
    for ((n = first; n < last; n++)); do
        if [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; then
            continue
        fi
        log=$(mktemp "${TMPDIR:-/tmp}/wl-xvfb.$n.XXXXXX") || return 1
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset \
            >"$log" 2>&1 </dev/null &
        pid=$!
        deadline=$(($(wl__now_ms) + timeout_ms))
        while :; do
            if ! kill -0 "$pid" 2>/dev/null; then
                # Lost a race for this display (or it failed): try the next.
                wait "$pid" 2>/dev/null
                wl__log "Xvfb :$n exited early: $(tr '\n' ' ' <"$log")"
                rm -f -- "$log"
                pid=
                break
            fi
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                break
            fi
            if (($(wl__now_ms) >= deadline)); then
                wl__err "Xvfb :$n did not accept connections in ${WL_XVFB_TIMEOUT:-15} s; log: $(tr '\n' ' ' <"$log")"
                kill "$pid" 2>/dev/null
                wait "$pid" 2>/dev/null
                rm -f -- "$log"
                return 1
            fi
            sleep 0.2
        done
        [[ -n $pid ]] || continue
        WL__XVFB_PID=$pid
        WL__XVFB_DISPLAY=:$n
        WL__XVFB_LOG=$log
        if [[ -n ${DISPLAY+x} ]]; then
            WL__OLD_DISPLAY_SET=1
            WL__OLD_DISPLAY=$DISPLAY
        else
            WL__OLD_DISPLAY_SET=
            WL__OLD_DISPLAY=
        fi
        export DISPLAY=:$n
        wl__log "Xvfb pid $pid on :$n"
        return 0
    done
    wl__err "no free X display between :$first and :$((last - 1))"
    return 1
}

# wl_xvfb_stop
# Stops the Xvfb that wl_xvfb_start started and restores DISPLAY.
wl_xvfb_stop() {
    [[ -n $WL__XVFB_PID ]] || return 0
    local pid=$WL__XVFB_PID
    kill "$pid" 2>/dev/null
    if ! wl_wait 5 wl__gone "$pid"; then
        kill -9 "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    [[ -n $WL__XVFB_LOG ]] && rm -f -- "$WL__XVFB_LOG"
    if [[ ${DISPLAY-} == "$WL__XVFB_DISPLAY" ]]; then
        if [[ -n $WL__OLD_DISPLAY_SET ]]; then
            export DISPLAY=$WL__OLD_DISPLAY
        else
            unset DISPLAY
        fi
    fi
    WL__XVFB_PID= WL__XVFB_DISPLAY= WL__XVFB_LOG=
    return 0
}

# True once PID is no longer running (a zombie counts as gone).
wl__gone() {
    local st
    kill -0 "$1" 2>/dev/null || return 0
    st=$(ps -o stat= -p "$1" 2>/dev/null) || return 0
    [[ $st == Z* ]]
}

# wl_cdrom DRIVE_LETTER DIR LABEL SERIAL_HEX
# Shows DIR to Wine as a CD-ROM drive with the given volume label and serial
# number (1-8 hex digits). Files added to or removed from DIR show up live.
# Ends by stopping the prefix's wineserver (Wine reads label and serial once
# per server), which also ends every Wine program running in the prefix, so
# call it before starting what you want to test.
wl_cdrom() {
    if (($# != 4)); then
        wl__err "usage: wl_cdrom DRIVE_LETTER DIR LABEL SERIAL_HEX"
        return 2
    fi
    local letter=${1%:} dir=$2 label=$3 serial=$4 link
    if [[ ! $letter =~ ^[A-Za-z]$ ]]; then
        wl__err "wl_cdrom: bad drive letter '$1'"
        return 2
    fi
    letter=${letter,,}
    if [[ $letter == c ]]; then
        wl__err "wl_cdrom: C: is the system drive"
        return 2
    fi
    if [[ ! $serial =~ ^[0-9A-Fa-f]{1,8}$ ]]; then
        wl__err "wl_cdrom: serial must be 1-8 hex digits, got '$serial'"
        return 2
    fi
    if [[ $label == *$'\n'* ]]; then
        wl__err "wl_cdrom: label must be one line"
        return 2
    fi
    if [[ -z ${WINEPREFIX:-} || ! -d $WINEPREFIX/dosdevices ]]; then
        wl__err "wl_cdrom: WINEPREFIX is not a prefix (run wl_prefix_new first)"
        return 1
    fi
    mkdir -p -- "$dir" || return 1
    dir=$(cd -- "$dir" && pwd -P) || return 1
    printf '%s\n' "$label" >"$dir/.windows-label" || return 1
    printf '%s\n' "${serial^^}" >"$dir/.windows-serial" || return 1

    link=$WINEPREFIX/dosdevices/$letter:
    if [[ -e $link && ! -L $link ]]; then
        wl__err "wl_cdrom: $link exists and is not a symlink"
        return 1
    fi
    ln -sfn -- "$dir" "$link" || return 1
    wl_wine_in "$WINEPREFIX" reg add 'HKLM\Software\Wine\Drives' \
        /v "$letter:" /t REG_SZ /d cdrom /f >/dev/null 2>&1 || {
        wl__err "wl_cdrom: could not write HKLM\\Software\\Wine\\Drives\\$letter:"
        return 1
    }
    wl_server_stop "$WINEPREFIX"
    return 0
}

# wl_wait TIMEOUT_SECONDS COMMAND [ARGS...]
# Runs COMMAND every 0.2 s until it succeeds (returns 0) or TIMEOUT_SECONDS
# (may be fractional) have passed (returns 1). COMMAND always runs at least
# once. A COMMAND that hangs is not interrupted; wrap it in `timeout` if it
# can.
wl_wait() {
    if (($# < 2)); then
        wl__err "usage: wl_wait TIMEOUT_SECONDS COMMAND [ARGS...]"
        return 2
    fi
    local ms deadline
    ms=$(wl__secs_to_ms "$1") || {
        wl__err "wl_wait: bad timeout '$1'"
        return 2
    }
    shift
    deadline=$(($(wl__now_ms) + ms))
    while :; do
        if "$@"; then
            return 0
        fi
        if (($(wl__now_ms) >= deadline)); then
            return 1
        fi
        sleep 0.2
    done
}

# Looks up one value; sets WL__REG_TYPE and WL__REG_DATA.
# An empty NAME means the key's default value.
wl__reg_lookup() {
    local key=$1 name=$2 out line rest shown
    WL__REG_TYPE= WL__REG_DATA=
    if [[ -z ${WINEPREFIX:-} ]]; then
        wl__err "WINEPREFIX is not set"
        return 1
    fi
    if [[ -z $name ]]; then
        out=$(wl_wine_in "$WINEPREFIX" reg query "$key" /ve 2>/dev/null) || return 1
        shown='(Default)'
    else
        out=$(wl_wine_in "$WINEPREFIX" reg query "$key" /v "$name" 2>/dev/null) || return 1
        shown=$name
    fi
    out=${out//$'\r'/}
    # Value lines are: 4 spaces, name, 4 spaces, type[, 4 spaces, data].
    # Names and data may hold blanks (even runs of them), so match the name
    # we asked for as a whole and split the rest on the first 4-space run.
    while IFS= read -r line; do
        [[ $line == '    '* ]] || continue
        rest=${line:4}
        [[ ${rest:0:${#shown}} == "$shown" || ${rest:0:${#shown},,} == "${shown,,}" ]] || continue
        rest=${rest:${#shown}}
        [[ $rest == '    REG_'* ]] || continue
        rest=${rest:4}
        if [[ $rest == *'    '* ]]; then
            WL__REG_TYPE=${rest%%    *}
            WL__REG_DATA=${rest#*    }
        else
            WL__REG_TYPE=$rest
            WL__REG_DATA=
        fi
        [[ $WL__REG_TYPE =~ ^REG_[A-Z0-9_]+$ ]] || continue
        return 0
    done <<<"$out"
    WL__REG_TYPE= WL__REG_DATA=
    return 1
}

# wl_reg_value 'ROOT\KEY' NAME
# Prints the data of value NAME ('' = default value). Fails if missing.
# REG_SZ comes back verbatim, REG_DWORD as 0x..., REG_BINARY as hex digits.
wl_reg_value() { wl__reg_print wl_reg_value WL__REG_DATA "$@"; }

# wl_reg_type 'ROOT\KEY' NAME
# Prints the type of value NAME (REG_SZ, REG_DWORD, ...). Fails if missing.
wl_reg_type() { wl__reg_print wl_reg_type WL__REG_TYPE "$@"; }

# wl__reg_print CALLER FIELD KEY NAME: looks the value up, prints one field.
wl__reg_print() {
    local caller=$1 field=$2
    shift 2
    if (($# != 2)); then
        wl__err "usage: $caller 'ROOT\\KEY' NAME"
        return 2
    fi
    wl__reg_lookup "$1" "$2" || return 1
    printf '%s\n' "${!field}"
}

# wl_cleanup
# Kills the wineserver (and all programs) of every prefix made by
# wl_prefix_new, removes those prefixes, and stops our Xvfb. Safe to call
# more than once and from a trap; never fails and keeps $? for the trap.
wl_cleanup() {
    local rc=$? p
    for p in ${WL__PREFIXES[@]+"${WL__PREFIXES[@]}"}; do
        [[ -n $p && -d $p ]] || continue
        wl_server_stop "$p"
        # Only ever delete folders this library made.
        if [[ -f $p/.wl-prefix ]]; then
            rm -rf -- "$p" 2>/dev/null || true
        else
            wl__err "not removing $p: it has no .wl-prefix marker"
        fi
        if [[ ${WINEPREFIX:-} == "$p" ]]; then
            unset WINEPREFIX
        fi
    done
    WL__PREFIXES=()
    WL_PREFIX=
    wl_xvfb_stop || true
    return "$rc"
}

# wl_russian_locale
# Exports LANG and LC_CTYPE for a Russian UTF-8 locale, under which Wine's
# ANSI code page is 1251 and the uninstaller's texts draw as Cyrillic. LC_ALL
# is unset (it would override them); LC_COLLATE and LC_MESSAGES are C, so
# that sort keeps its order and the tools speak English. Fails, changing
# nothing, when the machine has no such locale (scripts/install-deps makes
# one).
wl_russian_locale() {
    local name
    name=$(locale -a 2>/dev/null | grep -ix 'ru_RU\.utf-\{0,1\}8' | head -n 1) || true
    [[ -n $name ]] || return 1
    unset LC_ALL
    export LANG=$name LC_CTYPE=$name LC_COLLATE=C LC_MESSAGES=C
}

# wl_record NAME
# Prints the text of the constant NAME of common/InstallRecord.h, where the
# programs name every registry key and value and file of the record:
# `wl_record ZelKey` prints SOFTWARE\Tavimo Company\ZEL Musical Player. For
# reg.exe put the root in front: "HKLM\\$(wl_record ZelKey)".
wl_record() {
    if (($# != 1)) || [[ ! $1 =~ ^[A-Za-z0-9_]+$ ]]; then
        wl__err "usage: wl_record NAME"
        return 2
    fi
    local header=$WL_REPO_DIR/common/InstallRecord.h text pattern
    text=$(tr '\n' ' ' <"$header") || return 1
    pattern="char $1\\[\\] = *\"([^\"]*)\""
    if [[ ! $text =~ $pattern ]]; then
        wl__err "wl_record: $header has no constant $1"
        return 1
    fi
    text=${BASH_REMATCH[1]}
    printf '%s\n' "${text//'\\'/'\'}"
}

# The installation that wl_installation lays down, described once for the
# uninstaller's host tests, the Wine suites and the demo: what each line
# means is told at its head.
WL_INSTALLATION=$WL_REPO_DIR/tests/uninstall/installation.txt

# Where wl_installation puts the roots that WL_INSTALLATION names its entries
# by. E: is the folder given to wl_installation, a drive of its own, where no
# two long names in one folder start alike (so DOSBox's short names are the
# "~1" ones).
declare -gA WL_ROOTS=(
    [install]='E:\Program Files\Tavimo\Player'
    [programfiles]='E:\Program Files'
    [agent]='C:\Tools\Tavimo\Agent'
    [windows]='C:\windows'
    [desktop]='C:\Desk'
    [programs]='C:\Menu\Programs'
)

# wl_host_path 'X:\PATH'
# Prints where the Windows path X:\PATH of $WINEPREFIX lies on the host.
wl_host_path() {
    local drive=${1:0:1} path=${1:2}
    printf '%s\n' "$WINEPREFIX/dosdevices/${drive,,}:${path//'\'/'/'}"
}

# The entries of WL_INSTALLATION, one a line, without comments.
wl__entries() {
    grep -v -e '^[[:space:]]*#' -e '^[[:space:]]*$' "$WL_INSTALLATION"
}

# wl__rooted ROOT PATH: the Windows path of PATH below ROOT.
wl__rooted() {
    if [[ -z ${WL_ROOTS[$1]+x} ]]; then
        wl__err "$WL_INSTALLATION names the unknown root '$1'"
        return 1
    fi
    printf '%s\\%s\n' "${WL_ROOTS[$1]}" "$2"
}

# wl__with_roots DATA: each {ROOT} in DATA replaced by the root's path, and
# {created} by the installation folder below its drive.
wl__with_roots() {
    local data=$1 root
    for root in "${!WL_ROOTS[@]}"; do
        data=${data//"{$root}"/"${WL_ROOTS[$root]}"}
    done
    printf '%s\n' "${data//'{created}'/"${WL_ROOTS[install]:3}"}"
}

# wl_installed KIND
# Prints the Windows path of each entry of KIND (program, file, readonly,
# own, log) in WL_INSTALLATION, as wl_installation lays it down; `wl_installed
# own` names the user's own files.
wl_installed() {
    if (($# != 1)); then
        wl__err "usage: wl_installed KIND"
        return 2
    fi
    local kind root path
    while read -r kind root path; do
        [[ $kind == "$1" ]] || continue
        wl__rooted "$root" "$path" || return 1
    done < <(wl__entries)
}

# wl_installation E_FOLDER SHIPPED_FOLDER TOOLS_FOLDER
# Lays down in $WINEPREFIX the ZEL installation as the player's installer
# leaves it, with files of the user's own, in place of one laid down before:
# what tests/uninstall/installation.txt (WL_INSTALLATION) describes, its roots
# where WL_ROOTS puts them; E_FOLDER becomes drive E:. Files hold "x", the
# user's "mine"; the programs (Agent.exe, Uninstall.exe) come from
# SHIPPED_FOLDER, the file with a version is TOOLS_FOLDER's versioned.exe.
# The user's "Shell Folders" name the desktop and Programs roots.
wl_installation() {
    if (($# != 3)); then
        wl__err "usage: wl_installation E_FOLDER SHIPPED_FOLDER TOOLS_FOLDER"
        return 2
    fi
    local e=$1 shipped=$2 tools=$3 c=$WINEPREFIX/drive_c root
    local kind rest path file version hive key name data log=() locked=() reg
    mkdir -p -- "$e" && ln -sfn -- "$e" "$WINEPREFIX/dosdevices/e:" || return 1
    rm -rf -- "${e:?}"/* || return 1
    # The folders on C: that hold the agent, the desktop and the Programs
    # folder go whole; of the Windows folder only what is laid down there.
    for root in agent desktop programs; do
        path=${WL_ROOTS[$root]:3}
        rm -rf -- "${c:?}/${path%%\\*}" || return 1
    done
    reg=$(printf 'REGEDIT4\n')
    while read -r kind rest; do
        version=
        [[ $kind != version ]] || read -r version rest <<<"$rest"
        if [[ $kind == value ]]; then
            read -r hive key name data <<<"$rest"
            data=$(wl__with_roots "$data") && key=$(wl_record "$key") &&
                name=$(wl_record "$name") || return 1
            data=${data//'\'/'\\'}
            case $hive in
            HKLM) hive=HKEY_LOCAL_MACHINE ;;
            HKCU) hive=HKEY_CURRENT_USER ;;
            *) wl__err "$WL_INSTALLATION: unknown hive '$hive'"; return 1 ;;
            esac
            reg+=$(printf '\n\n[%s\\%s]\n"%s"="%s"' "$hive" "$key" "$name" "${data//'"'/'\"'}")
            continue
        fi
        read -r root path <<<"$rest"
        path=$(wl__rooted "$root" "$path") || return 1
        file=$(wl_host_path "$path")
        [[ $kind == log ]] || mkdir -p -- "$(dirname -- "$file")" || return 1
        case $kind in
        program) cp -- "$shipped/${path##*\\}" "$file" ;;
        file) echo x >"$file" ;;
        readonly) echo x >"$file" && locked+=("$file") ;;
        own) echo mine >"$file" ;;
        log) log+=("$path") ;;
        version)
            # The player's versioned file is versioned.exe: its resource
            # must carry the version the description gives.
            grep -qF "VALUE \"FileVersion\", \"$version\"" "$WL_REPO_DIR/tests/tools/versioned.rc" || {
                wl__err "versioned.exe does not carry the version $version"
                return 1
            }
            cp -- "$tools/versioned.exe" "$file"
            ;;
        *) wl__err "$WL_INSTALLATION: unknown entry '$kind'"; false ;;
        esac || return 1
    done < <(wl__entries)
    path=$(wl_host_path "${WL_ROOTS[install]}\\$(wl_record InstallLogFile)") || return 1
    printf '%s\r\n' "${log[@]}" >"$path" || return 1
    # Wine shows a file nobody may write as read-only.
    ((${#locked[@]} == 0)) || chmod a-w -- "${locked[@]}" || return 1
    # One import writes the record (each reg command is a start of Wine).
    # Wine's shell writes its own Desktop back into "Shell Folders" from the
    # other key, so both name the folders of the roots.
    key=$(wl_record ShellFoldersKey) || return 1
    for key in "$key" "${key%\\*}\\User Shell Folders"; do
        reg+=$(printf '\n\n[HKEY_CURRENT_USER\\%s]\n"%s"="%s"\n"%s"="%s"' "$key" \
            "$(wl_record DesktopValue)" "${WL_ROOTS[desktop]//'\'/'\\'}" \
            "$(wl_record ProgramsValue)" "${WL_ROOTS[programs]//'\'/'\\'}")
    done
    printf '%s\n' "$reg" >"$c/installation.reg" || return 1
    wl_wine_in "$WINEPREFIX" reg import 'C:\installation.reg' >/dev/null 2>&1 ||
        { wl__err "could not import the installation's registry values"; return 1; }
    rm -f -- "$c/installation.reg"
}

# The uninstall under Wine: the uninstaller of an installation that
# wl_installation laid down, started as its uninstall entry starts it, its
# dialog read through uninstallctl.exe, which must be in C:\ of $WINEPREFIX.
# What Wine and the program wrote and the exit code are kept in the prefix's
# folder (wl-uninstall.out, wl-uninstall.rc).

# wl_uninstall_boxes
# Prints the states of the dialog's two boxes, the player's (id 201) and the
# favourites' (id 202): "11" when both are checked, nothing without a dialog.
wl_uninstall_boxes() {
    wl_wine_in "$WINEPREFIX" uninstallctl.exe windows 2>/dev/null | tr -d '\r' |
        awk -F'|' '$5 == 201 || $5 == 202 { printf "%s", $6 }'
}

# wl_uninstall_boxes_are STATES
# True when wl_uninstall_boxes prints STATES.
wl_uninstall_boxes_are() { [[ $(wl_uninstall_boxes) == "$1" ]]; }

# wl_uninstall_start
# Starts the installation's Uninstall.exe by its full path, in the
# background, and waits up to 30 s until its dialog is complete: the window
# shows before its controls exist, and both boxes are checked last. Fails when
# the dialog did not come up so; wl_uninstall_output tells what Wine said.
# Variables set on the call (WINEDLLOVERRIDES=...) reach the uninstaller.
wl_uninstall_start() {
    local pfx=$WINEPREFIX
    rm -f -- "$pfx/wl-uninstall.rc"
    ({
        rc=0
        wl_wine_in "$pfx" "${WL_ROOTS[install]}\\Uninstall.exe" >"$pfx/wl-uninstall.out" 2>&1 ||
            rc=$?
        echo "$rc" >"$pfx/wl-uninstall.rc"
    }) &
    wl_wait 30 wl_uninstall_boxes_are 11
}

# wl_uninstall_output
# Prints what Wine and the uninstaller wrote since wl_uninstall_start.
wl_uninstall_output() { cat -- "$WINEPREFIX/wl-uninstall.out" 2>/dev/null || true; }

# wl_uninstall_ended
# True once the uninstaller that wl_uninstall_start started has ended.
wl_uninstall_ended() { [[ -s $WINEPREFIX/wl-uninstall.rc ]]; }

# wl_uninstall_exit_code
# Waits up to 60 s for the uninstaller to end and prints its exit code, or
# "running" when it has not ended.
wl_uninstall_exit_code() {
    wl_wait 60 wl_uninstall_ended || true
    cat -- "$WINEPREFIX/wl-uninstall.rc" 2>/dev/null || echo running
}

# wl_uninstall_helper_done
# True once the MS-DOS helper has done its work after an uninstall of the
# installation: the last thing it removes, the emptied parent of the
# installation folder (E:\Program Files\Tavimo), is gone. Wait for it with
# wl_wait.
wl_uninstall_helper_done() { [[ ! -e $(wl_host_path "${WL_ROOTS[install]%\\*}") ]]; }
