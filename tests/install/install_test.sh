#!/usr/bin/env bash
# Installs the built program into a temporary prefix (cmake --install) and checks what a user
# gets:
#   - exactly the files of installed-files.txt, each what it should be: the program and its
#     chime's module, a valid menu entry, PNG icons of their folder's size and a well-formed
#     SVG, the help page, the marker, the compressed change log and manual page, and a bash
#     completion that completes the commands, their options and calendar files;
#   - the installed program, started with a fresh home on Xvfb with openbox, makes an empty
#     task file in the user's data folder and shows its window; F1 opens the installed help
#     page; its Settings write a valid autostart entry, which starts it in the start-up mode
#     chosen there; a second start uses the same task file (its reminder comes up, the answer
#     is written there);
#   - the program in the build folder still keeps its task file beside itself; a placement
#     stored above the screen opens with the title bar on it, and the window cannot be made
#     smaller than its minimum.
#
#   tests/install/install_test.sh BUILD_DIR
#
# Needs desktop-file-validate, xmllint and the desktop tools (scripts/install-deps.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)

# fail, step, wait_until, window_named and is_gone.
source "$here/../desktop/steps.sh"

# --- on the desktop: the installed program and the build folder's ---------------------------
if [ "${1:-}" = "--on-desktop" ]; then
    build=$2 prefix=$3 work=$4
    program=$prefix/bin/marmoset-task
    pids=()
    trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait' EXIT

    # A fresh home: no settings and no data of the program's, only a browser for web pages
    # that notes what it was asked to open.
    make_home() {
        local home=$work/$1
        mkdir -p "$home/runtime" "$home/.config" "$home/.local/share/applications"
        chmod 700 "$home/runtime"
        {
            echo '#!/bin/sh'
            echo "printf '%s\\n' \"\$@\" >'$work/opened'"
        } >"$work/browser"
        chmod +x "$work/browser"
        printf '[Desktop Entry]\nType=Application\nName=Test Browser\nExec=%s %%u\nMimeType=text/html;\n' \
            "$work/browser" >"$home/.local/share/applications/test-browser.desktop"
        printf '[Default Applications]\ntext/html=test-browser.desktop\n' \
            >"$home/.config/mimeapps.list"
        echo "$home"
    }
    start() {
        local home=$1
        shift
        env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CURRENT_DESKTOP -u BROWSER \
            HOME="$home" XDG_RUNTIME_DIR="$home/runtime" "$@" >>"$work/program.log" 2>&1 &
        program_pid=$!
        pids+=("$program_pid")
    }
    stop() {
        kill "$program_pid" 2>/dev/null || true
        wait "$program_pid" 2>/dev/null || true
    }
    activate() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true; }
    # Whether the program watches (and so has read) the file with this inode.
    watches_inode() {
        grep -h '^inotify' /proc/"$1"/fdinfo/* 2>/dev/null |
            grep " ino:$(printf '%x' "$2") " >/dev/null
    }

    step "the installed program's first start makes an empty task file in the data folder"
    home=$(make_home home)
    data="$home/.local/share/Marmoset Task"
    start "$home" "$program"
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the window did not show"
    main=$(window_named "Marmoset Task")
    [ -f "$data/nkdat" ] && [ ! -s "$data/nkdat" ] || fail "no empty task file in $data"
    grep -x 'Shareware\\Quillnote\\2.0\\taskfile=nkdat' \
        "$home/.config/Marmoset Task/marmoset-task.ini" >/dev/null ||
        fail "the taskfile setting is not the name in the data folder"
    [ ! -e "$prefix/bin/nkdat" ] || fail "a task file beside the installed program"

    step "F1 opens the installed help page"
    activate "$main"
    xdotool key F1
    wait_until 15 test -s "$work/opened" || fail "the help page was not opened"
    opened=$(sed 's|^file://||' "$work/opened")
    [ "$opened" = "$prefix/share/marmoset-task/nkindex.htm" ] || fail "F1 opened $opened"

    step "Settings: \"Start when I log in\" writes an autostart entry that starts the program"
    activate "$main"
    xdotool key alt+f
    sleep 0.3
    xdotool key s
    wait_until 5 window_named "Settings " >/dev/null || fail "the Settings dialog did not open"
    # The dialog opens with the focus on "Minimized": Space chooses it; then sound, interval,
    # and the login box.
    xdotool key space Tab Tab Tab space Return
    entry=$home/.config/autostart/marmoset-task.desktop
    wait_until 5 test -s "$entry" || fail "no autostart entry"
    desktop-file-validate "$entry" || fail "the autostart entry is not valid"
    grep -x "Exec=$program" "$entry" >/dev/null || fail "the entry does not start $program"
    ini="$home/.config/Marmoset Task/marmoset-task.ini"
    wait_until 5 grep -x 'Shareware\\Quillnote\\2.0\\startup=1' "$ini" >/dev/null ||
        fail "the start-up mode Minimized was not kept: $(cat "$ini")"
    stop

    step "the autostart entry starts the program in the chosen start-up mode"
    # As a session starts it: the entry launched as it stands, with the user's environment.
    env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
        gio launch "$entry" >>"$work/program.log" 2>&1 || fail "gio launch of the entry failed"
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the entry started no window"
    main=$(window_named "Marmoset Task")
    program_pid=$(xprop -id "$main" _NET_WM_PID | awk '{print $3}')
    pids+=("$program_pid")
    [ "$(readlink "/proc/$program_pid/exe")" = "$program" ] || fail "the entry started another program"
    xprop -id "$main" WM_STATE | grep 'window state: Iconic' >/dev/null ||
        fail "the program started from the entry is not minimised"
    kill "$program_pid"
    wait_until 5 is_gone "Marmoset Task" || fail "the program did not end"

    step "a second start uses the same task file"
    printf '#%s{+}0{+}0{+}0{+}Call the bank{+}(none){+}9\r\n' "$(date -d yesterday +%-m/%-d/%Y)" \
        >"$data/nkdat"
    start "$home" "$program"
    wait_until 15 window_named "Missed Appointments!" >/dev/null ||
        fail "the task in the data folder raised no reminder"
    reminder=$(window_named "Missed Appointments!")
    # Past the moment in which a reminder ignores keys.
    sleep 1.2
    activate "$reminder"
    xdotool key Escape
    wait_until 5 is_gone "Missed Appointments!" || fail "Esc did not answer the reminder"
    grep '{+}1{+}0{+}Call the bank' "$data/nkdat" >/dev/null ||
        fail "the answer did not go to the task file in the data folder"
    # The reminder sounded: the installed program found its chime's module.
    ! grep 'beep instead of chiming' "$work/program.log" ||
        fail "the installed program did not load its chime's module"
    # The answer's write left the writers' lock file beside the task file, and nothing else.
    [ "$(ls -A "$data" | tr '\n' ' ')" = "nkdat nkdat.lock " ] ||
        fail "the data folder holds other files: $(ls -A "$data")"
    stop

    step "the program in the build folder keeps its task file beside itself"
    home=$(make_home portable)
    start "$home" "$build/bin/marmoset-task"
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the window did not show"
    wait_until 5 watches_inode "$program_pid" "$(stat -c %i "$build/bin/nkdat")" ||
        fail "the build folder's program does not use $build/bin/nkdat"
    [ ! -e "$home/.local/share/Marmoset Task" ] || fail "the portable copy made a data folder"
    stop

    step "a placement stored above the screen opens with the title bar on it; no thin strip"
    mkdir -p "$home/.config/Marmoset Task"
    printf '[Software]\nShareware\\Quillnote\\2.0\\dim="100,-300,700,100"\n' \
        >"$home/.config/Marmoset Task/marmoset-task.ini"
    start "$home" "$build/bin/marmoset-task"
    wait_until 15 window_named "Marmoset Task" >/dev/null || fail "the window did not show"
    main=$(window_named "Marmoset Task")
    # The frame's top: the client's top less the title bar the window manager reports.
    frame_top() {
        local top extents
        top=$(xwininfo -id "$main" | awk '/Absolute upper-left Y/ {print $4}')
        extents=$(xprop -id "$main" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
        set -- $extents
        [ $# = 4 ] && echo $((top - $3))
    }
    on_screen() { [ "$(frame_top)" = 0 ]; }
    # Framed (the window manager reports the frame) and placed: however busy the machine, the
    # frame ends on the screen and stays there once the window manager is done with it.
    wait_until 20 on_screen || fail "the frame's top is at $(frame_top), not on the screen"
    sleep 2
    on_screen || fail "the frame's top moved to $(frame_top) after it was on the screen"
    size() { xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}'; }
    read -r width0 height0 < <(size)
    xdotool windowsize "$main" 10 10
    # The window manager has answered the request once the size changed, to the minimum.
    shrunk() { [ "$(size)" != "$width0 $height0" ]; }
    wait_until 10 shrunk || fail "the window kept its size ${width0}x$height0 when made smaller"
    read -r width height < <(size)
    ((width >= 250 && height >= 150)) || fail "the window was made ${width}x$height"
    stop
    exit 0
fi

# --- the installed files -------------------------------------------------------------------
build=$(cd "${1:?usage: install_test.sh BUILD_DIR}" && pwd)
for tool in desktop-file-validate xmllint file gzip gio Xvfb openbox xdotool xprop; do
    command -v "$tool" >/dev/null || fail "$tool is missing; scripts/install-deps.sh installs it"
done
work=$(mktemp -d)
trap 'status=$?; [ $status -eq 0 ] || cat "$work/program.log" >&2 2>/dev/null; rm -rf "$work"' EXIT
prefix=$work/prefix

step "cmake --install into a temporary prefix puts exactly the listed files there"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install failed"
}
(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$work/installed"
diff -u "$here/installed-files.txt" "$work/installed" || fail "the installed files differ"

step "each installed file is what it should be"
[ -x "$prefix/bin/marmoset-task" ] || fail "the program is not executable"
file -b "$prefix/bin/marmoset-task" | grep '^ELF' >/dev/null || fail "the program is no ELF file"
file -b "$prefix/lib/marmoset-task/marmoset_sound.so" | grep '^ELF.* shared object' >/dev/null ||
    fail "the chime's module is no shared object"
desktop-file-validate "$prefix/share/applications/marmoset-task.desktop" ||
    fail "the menu entry is not valid"
grep -x 'Exec=marmoset-task' "$prefix/share/applications/marmoset-task.desktop" >/dev/null &&
    grep -x 'Icon=marmoset-task' "$prefix/share/applications/marmoset-task.desktop" >/dev/null ||
    fail "the menu entry does not start the program with its icon"
for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x$size/apps/marmoset-task.png
    file -b "$icon" | grep "^PNG image data, $size x $size," >/dev/null ||
        fail "$icon is not a $size x $size PNG: $(file -b "$icon")"
done
svg=$prefix/share/icons/hicolor/scalable/apps/marmoset-task.svg
xmllint --noout "$svg" || fail "the scalable icon is not well-formed"
[ "$(xmllint --xpath 'name(/*)' "$svg")" = "svg" ] || fail "the scalable icon is no SVG"
cmp "$source_dir/src/res/nkindex.htm" "$prefix/share/marmoset-task/nkindex.htm" ||
    fail "the help page differs from src/res/nkindex.htm"
[ -s "$prefix/share/marmoset-task/installed" ] || fail "the marker is empty"
for doc in share/doc/marmoset-task/changelog.gz share/man/man1/marmoset-task.1.gz; do
    gzip -t "$prefix/$doc" || fail "$doc is not gzip-compressed"
done

step "the bash completion completes the commands, their options and calendar files"
completion=$prefix/share/bash-completion/completions/marmoset-task
bash -n "$completion" || fail "the completion file is not valid bash"
mkdir -p "$work/calendars/sub"
touch "$work/calendars/home.ics" "$work/calendars/notes.txt"
# What bash would offer for these words, the last one being completed.
complete_words() {
    (cd "$work/calendars" && bash -c 'shopt -s extglob; source "$1"; shift
        COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _marmoset_task
        printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "' _ "$completion" "$@")
}
expect_completion() {
    local want=$1
    shift
    [ "$(complete_words "$@")" = "$want" ] ||
        fail "completing \"$*\" gave \"$(complete_words "$@")\", not \"$want\""
}
expect_completion "export" marmoset-task ex
expect_completion "--due --help --tsv" marmoset-task list -
expect_completion "weekly" marmoset-task add Choir --repeat w
expect_completion "--date" marmoset-task add Choir --d
expect_completion "home.ics sub" marmoset-task import ""

"$here/../desktop/on_desktop.sh" "$0" --on-desktop "$build" "$prefix" "$work"
echo "PASS"
