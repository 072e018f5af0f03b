# How Varnel's scripts run Windows programs under Wine, sourced by each of
# them (wine-ctest, wine-run, run-window, take-screenshots) so that the tests,
# `make run` and the screenshots all see the same Wine.

# wine_environment PREFIX: the environment every Wine program of ours runs
# in, with the prefix given (a build's own, never ~/.wine).
wine_environment() {
    export WINEPREFIX="$1"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko installer prompts in a fresh prefix: nothing here
    # needs them.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    # Wine names Unix files by the locale's character set: in a C locale a
    # name in Cyrillic or Chinese has no Windows name at all, as it never
    # would on Windows. UTF-8 gives every name its characters.
    export LC_ALL=C.UTF-8
}

# wine_make_prefix LOG: makes the prefix when it is missing, in a Wine
# session of its own that ends before anything else runs. A program started
# in the session that made the prefix starts a second service manager beside
# the first; the first program to use COM then waits 10 s for RpcSs to start,
# or hangs for good.
wine_make_prefix() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    echo "Creating the Wine prefix $WINEPREFIX (once, takes a few seconds)"
    { wineboot -i && wineserver -w; } >"$1" 2>&1 || { echo "wineboot failed, see $1" >&2; return 1; }
}

# wine_prepare LOG DISPLAY: makes the prefix when it is missing and readies
# it for DISPLAY, "virtual" (Xvfb) or "desktop" (a user's screen); Wine's
# own output goes to LOG. Fails when Wine cannot start.
wine_prepare() {
    wine_make_prefix "$1" || return 1
    # Wine's service processes start with the first program and outlive it,
    # holding on to its output: start them here, with their output in LOG.
    wineboot >>"$1" 2>&1 || { echo "wineboot failed, see $1" >&2; return 1; }
    # A virtual display has no window manager. Wine's managed windows then
    # wait two seconds for one at every hide, and never minimise: Wine
    # manages them itself there. On a desktop, the window manager does.
    if [ "$2" = virtual ]; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$1" 2>&1
    else
        wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >>"$1" 2>&1
    fi
    # Wine draws caption buttons and arrows with the Marlett font, which
    # this Wine does not find by itself: without it they show as letters.
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/marlett.ttf" ] && [ -f /usr/share/wine/fonts/marlett.ttf ]; then
        cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
    fi
    return 0
}

# wine_start LOG: for a script that owns the prefix for its whole run on a
# virtual display: one wineserver for all its programs, until wine_stop.
wine_start() {
    wine_make_prefix "$1" || return 1
    wineserver -p
    wine_prepare "$1" virtual
}

# wine_stop: ends every Wine process of the prefix and waits for them, for a
# script that owns the prefix for its whole run.
wine_stop() {
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
