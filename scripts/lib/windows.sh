# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by scripts/test --windows and scripts/package --windows: the Qt prefix, the native host
# tools the cross build needs, the cross build itself, and a Wine of our own to run it.

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# windows_qt_prefix: builds the Qt prefix once (cached) and prints it.
windows_qt_prefix() {
    "$ROOT/scripts/windows-qt" | tail -n 1
}

# windows_qt_translations PREFIX: Qt's Russian texts, which the tests load from the prefix as the
# installed program does from its own folder. Debian's files serve: a .qm is the same everywhere.
windows_qt_translations() {
    mkdir -p "$1/translations"
    cp -u /usr/share/qt6/translations/qtbase_ru.qm "$1/translations/"
}

# build_host_tools: the native programs a cross build runs on this machine (the icon drawer, the
# printer simulator, the Linux inkwick-cli the installed Windows one is checked against), built in
# the normal build folder.
build_host_tools() {
    local dir="$ROOT/build"
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)" --target make_icons printer-sim inkwick-cli >/dev/null
}

# configure_and_build_windows BUILD_DIR QT_PREFIX [cmake options...]
configure_and_build_windows() {
    local dir="$1" prefix="$2"
    shift 2
    local launcher=()
    command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DINKWICK_HOST_BUILD_DIR="$ROOT/build" "$@" >/dev/null
    cmake --build "$dir" --parallel "$(nproc)"
}

# Where the programs find the Qt and MinGW DLLs when they run from the build folder.
windows_dll_dirs() {
    local prefix="$1" cxx
    cxx="$(command -v x86_64-w64-mingw32-g++-posix)"
    printf '%s:%s:%s' "$prefix/bin" \
        "$(dirname "$("$cxx" -print-file-name=libstdc++-6.dll)")" \
        "$(dirname "$("$cxx" -print-file-name=libwinpthread-1.dll)")"
}

# wine_prefix DIR: a Wine of our own in DIR (not the user's ~/.wine), made once.
wine_prefix() {
    export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64 INKWICK_WINE="$WINE"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the Wine prefix $WINEPREFIX"
        env -u DISPLAY "$WINE" wineboot -i >/dev/null 2>&1 || true
        # The version the programs are made for (a new prefix says Windows 7).
        env -u DISPLAY "$WINE" winecfg /v win10 >/dev/null 2>&1 || true
        "$WINESERVER" -w
    fi
}

# wine_start: the Wine server and Wine's own services for the runs that follow, their output out
# of the way. Started by the first program instead, they would inherit its output and hold it
# open: ctest would wait on that test until its timeout.
wine_start() {
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    "$WINE" reg query 'HKLM\Software\Wine\Ports' >/dev/null 2>&1 </dev/null || true
}

# wine_com_port COMn UNIX_PATH: Wine's COMn is the device at UNIX_PATH (a link may come later).
wine_com_port() {
    "$WINE" reg add 'HKLM\Software\Wine\Ports' /v "$1" /d "$2" /f >/dev/null 2>&1
}

# Ends every Wine process of our prefix; nothing may be left running after the tests.
wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
    [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -w 2>/dev/null || true
}

# nsis_file_lists STAGE INSTALL_NSH UNINSTALL_NSH: what the installer copies from the program
# folder STAGE, and what its uninstaller deletes: those files and the folders they leave empty.
nsis_file_lists() {
    local stage="$1" files="$2" unfiles="$3" f d win sub
    : >"$files"
    : >"$unfiles"
    while read -r f; do
        win="${f//\//\\}"
        sub="$(dirname "$f")"
        if [ "$sub" = . ]; then sub=""; else sub="\\${sub//\//\\}"; fi
        printf 'SetOutPath "$INSTDIR%s"\nFile "%s/%s"\n' "$sub" "$stage" "$f" >>"$files"
        printf 'Delete "$INSTDIR\\%s"\n' "$win" >>"$unfiles"
    done < <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
    while read -r d; do
        printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}" >>"$unfiles"
    done < <(cd "$stage" && find . -mindepth 1 -type d | sed 's|^\./||' | sort -r)
}

# windows_installer BUILD_DIR: the program folder `cmake --install` makes from the build, and
# from it Inkwick-<version>-x64-setup.exe (NSIS) and the portable zip. Prints the two files.
windows_installer() {
    local dir="$1" version name stage files unfiles setup zip
    version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$dir/CMakeCache.txt")"
    name="Inkwick-$version-x64"
    stage="$dir/$name"
    rm -rf "$stage"
    cmake --install "$dir" --prefix "$stage" --strip >/dev/null

    files="$dir/install.nsh"
    unfiles="$dir/uninstall.nsh"
    nsis_file_lists "$stage" "$files" "$unfiles"

    setup="$dir/$name-setup.exe"
    zip="$dir/$name-portable.zip"
    rm -f "$setup" "$zip"
    makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DFILES="$files" \
        -DUNFILES="$unfiles" -DOUTFILE="$setup" "$ROOT/packaging/windows/inkwick.nsi" >/dev/null
    (cd "$dir" && zip -qr9 "$zip" "$name")
    echo "$setup"
    echo "$zip"
}
