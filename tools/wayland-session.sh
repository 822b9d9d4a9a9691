# What a private Wayland session needs in its HOME before it starts, for the X11 stage and the
# pointer benchmark alike. Sourced: . tools/wayland-session.sh

# grant_fake_input HOME PROBE: the .desktop entry by which KWin grants the probe fake input; KWin
# reads it only when it starts.
grant_fake_input() {
  mkdir -p "$1/share/applications"
  printf '[Desktop Entry]\nType=Application\nName=wayland-probe\nExec=%s\n%s\n' "$2" \
    X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input >"$1/share/applications/probe.desktop"
}

# kwin_session HOME SOCKET SCRIPT [OPTION...]: sets `session` to a headless kwin_wayland with
# Xwayland that runs SCRIPT and ends with it. KWin runs from a copy without the binary's file
# capabilities, which a container may refuse; its Qt platform plugin loads only under the name
# kwin_wayland.
kwin_session() {
  mkdir -p "$1/bin"
  cp /usr/bin/kwin_wayland "$1/bin/"
  session=("$1/bin/kwin_wayland" --virtual --xwayland --width 1280 --height 800 --socket "$2"
    "${@:4}" --exit-with-session "$3")
}

# install_gnome_extension HOME BUILD: the GNOME Shell extension, in the form the build made for
# the installed shell, in the session's first data folder.
install_gnome_extension() {
  local form
  mkdir -p "$1/share/gnome-shell/extensions"
  form=$(sed -n 's/^MASCOT_GNOME_SHELL_FORMAT:STRING=//p' "$2/CMakeCache.txt")
  cp -r "$2/gnome-shell/$form/." "$1/share/gnome-shell/extensions/"
}
