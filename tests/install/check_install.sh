#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Pressly Pro developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a throw-away root, moves the installed tree away
# from where it was installed, and runs it from there: the launcher files and
# the file managers' actions validate, both programs start, and the bundled
# tools are found inside it.
# Usage: check_install.sh BUILD_DIR TEST_DATA_DIR APP_ID
set -euo pipefail
build="$1" data="$2" id="$3"
root="$(mktemp -d "${TMPDIR:-/tmp}/pressly-install.XXXXXX")"
trap 'rm -rf "$root"' EXIT
DESTDIR="$root/stage" cmake --install "$build" --prefix /usr >/dev/null
mv "$root/stage/usr" "$root/moved"
p="$root/moved"
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$p/share/applications/$id.desktop"
appstreamcli validate --no-net "$p/share/metainfo/$id.metainfo.xml" >/dev/null
for size in 16 32 48 128 256 512; do
  [ -s "$p/share/icons/hicolor/${size}x${size}/apps/$id.png" ] || fail "no ${size}px icon"
done
[ -s "$p/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
[ -s "$p/share/man/man1/pressly.1.gz" ] && [ -s "$p/share/bash-completion/completions/pressly" ] &&
  [ -s "$p/share/bash-completion/completions/pressly-pro" ] || fail "no manual or completion"
[ -s "$p/share/qlogging-categories6/pressly.categories" ] || fail "no logging categories"
grep -qx "ExecStart=/usr/bin/pressly --watch \$PRESSLY_WATCH_ARGS" "$p/lib/systemd/user/pressly-watch.service" || fail "no watch unit"
/usr/bin/python3 "$(dirname "$0")/check_file_managers.py" "$p" >/dev/null || fail "the file managers' actions"
while IFS= read -r link; do
  [[ "$(readlink "$link")" != /* && -e "$link" ]] || fail "$link leads out of the installed tree"
done < <(find "$p" -type l)

mkdir -p "$root/home/runtime" "$root/tmp" "$root/in"
chmod 700 "$root/home/runtime"
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/config" XDG_DATA_HOME="$root/home/data"
export XDG_RUNTIME_DIR="$root/home/runtime" TMPDIR="$root/tmp" PATH=/usr/bin:/bin
unset QT_LOGGING_RULES NO_COLOR
# Checked as installed, but against the moved tree's program; a line it ignores counts as a fault.
sed "s,/usr/bin/pressly,$p/bin/pressly," "$p/lib/systemd/user/pressly-watch.service" >"$root/pressly-watch.service"
said="$(systemd-analyze --user verify --man=no "$root/pressly-watch.service" 2>&1)" && [ -z "$said" ] ||
  fail "the watch unit does not verify: $said"
"$p/bin/pressly" --help | grep -q -- "--verbose" || fail "pressly --help"
for flag in --version:"Pressly Pro" --help:"[PATH...]"; do # no display needed
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$p/bin/pressly-pro" "${flag%%:*}")" &&
    [[ "$out" == *"${flag#*:}"* ]] || fail "pressly-pro ${flag%%:*} without a display: $out"
done
QT_QPA_PLATFORM=offscreen QT_QUICK_BACKEND=software "$p/bin/pressly-pro" --check || fail "the window did not load"

# The completions offer what the programs take: each option they list is in its --help, and presets complete.
for prog in pressly pressly-pro; do
  help="$(env -u DISPLAY -u WAYLAND_DISPLAY "$p/bin/$prog" --help)"
  for option in $(grep -o -- '--[a-z-]*' "$p/share/bash-completion/completions/$prog" | sort -u); do
    grep -q -- "$option\b" <<<"$help" || fail "$prog's completion offers $option, which its --help does not know"
  done
done
presets="$(bash -c 'source "$1"; COMP_WORDS=(pressly --preset ""); COMP_CWORD=2; _pressly; echo "${COMPREPLY[*]}"' _ \
  "$p/share/bash-completion/completions/pressly")"
[ "$presets" = "lossless balanced maximum" ] || fail "pressly --preset completes to: $presets"

cp "$data/png/imagemagick-radial-gradient.png" "$data/svg/sprite-icons.svg" "$data/jpeg/pingus-clouds.jpg" "$root/in/"
out="$("$p/bin/pressly" --verbose --export "$root/out" "$root/in")" || fail "pressly failed: $out"
tools="$p/share/pressly-pro/BundledTools/bin"
for tool in oxipng svgcleaner; do
  grep -qF "Found $tool in app bundle BundledTools/bin/: $tools/$tool" <<<"$out" || fail "$tool not found in $tools"
done
grep -q "sprite-icons.svg: .* → .* svgo" <<<"$out" || fail "the installed svgcleaner adapter did not run svgo: $out"
grep -q "3 files: .* 0 failed" <<<"$out" || fail "$out"
echo "installed tree works from $p"
