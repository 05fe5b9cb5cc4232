#!/usr/bin/env bash
# The demo: a sample distribution of two releases, its install disc, and the installer installing it.
# With a display the installer opens its window; without one it runs unattended, installs, checks the
# result against the release and runs once more to find it installed.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
demo="$build/demo"
name="Velmora 9.00"
rm -rf "$demo"
mkdir -p "$demo/desktop" "$demo/config"
# The log and the preference file of the demo stay in the build folder.
export XDG_DESKTOP_DIR="$demo/desktop" XDG_CONFIG_HOME="$demo/config"

# Writes a file of `lines` lines that differ by release and by path.
make_file() { # path release lines
	mkdir -p "$(dirname "$1")"
	awk -v r="$2" -v n="$3" -v p="$1" 'BEGIN { for (i = 0; i < n; ++i) printf "release %s, %s, line %d\n", r, p, i }' > "$1"
}

# Release 840: aircraft, manuals and plugins. Release 900 changes some, adds scenery and programs, and
# drops the old plugin tool.
for release in 840 900; do
	root="$demo/releases/$release"
	for i in $(seq 1 120); do make_file "$root/Aircraft/Trainer $((i % 6))/part$i.acf" 840 $((i * 7)); done
	for i in $(seq 1 60); do make_file "$root/Instructions/chapter$i.txt" "$release" 200; done
	for i in $(seq 1 40); do make_file "$root/Resources/plugins/data$i.txt" $((release == 900 && i % 4 == 0 ? 900 : 840)) 50; done
	mkdir -p "$root/Output" "$root/Airfoils"
	make_file "$root/Output/preferences.txt" 840 3
	make_file "$root/Airfoils/naca.afl" 840 40
done
make_file "$demo/releases/840/Resources/plugins/tool.exe" 840 10
for i in $(seq 1 40); do
	make_file "$demo/releases/900/Global Scenery/+40-120/+47-$((100 + i)).dsf" 900 1500
done
make_file "$demo/releases/900/Velmora" 900 400       # the program for this platform
make_file "$demo/releases/900/Velmora.exe" 900 400   # the program for another platform

"$build/tools/mkdisc/velmora-mkdisc" --name "$name" --release 840="$demo/releases/840" \
	--release 900="$demo/releases/900" --os 2=Velmora --os '1=*.exe' "$demo/disc"

dest="$demo/install/$name/"
mkdir -p "$demo/install"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
	exec "$build/velmora-installer" --media="$demo/disc" "$dest"
fi

"$build/velmora-installer" --unattended --accept_eula --media="$demo/disc" "$dest"

# The installed tree is release 900 less the other platform's program.
expected=$(cd "$demo/releases/900" && find . -type f ! -name '*.exe' -print0 | sort -z | xargs -0 md5sum)
installed=$(cd "$dest" && find . -type f -print0 | sort -z | xargs -0 md5sum)
if [ "$expected" != "$installed" ]; then
	echo "The installed tree differs from release 900." >&2
	exit 1
fi
echo "The installed tree matches release 900 for this platform."

"$build/velmora-installer" --unattended --accept_eula --media="$demo/disc" "$dest"
