#!/usr/bin/env bash
# Installs the project and builds a program against the installed copy both
# ways, with CMake's package and with pkg-config, using the lines the top
# README's "Installing the libraries" gives, word for word, as a teacher would
# type them at the top of a checkout. They run in a scratch folder that looks
# like one: build/default is the build under test, the sources are this
# tree's, and $HOME is the scratch folder, so that nothing outside it is
# touched. Then every installed module is linked alone, both ways.
#   install_test.sh <scratch folder> <build folder> <source folder>
set -euo pipefail
scratch=$1 build=$2 source=$3

rm -rf "$scratch"
mkdir -p "$scratch/build"
ln -s "$build" "$scratch/build/default"
ln -s "$source/install_example" "$scratch/"
cd "$scratch"
export HOME=$scratch
# The programs must find libpeltra by themselves.
unset LD_LIBRARY_PATH

cmake --build build/default && cmake --install build/default --prefix "$HOME/peltra"
cmake -S install_example -B build/outside -DCMAKE_PREFIX_PATH="$HOME/peltra"
cmake --build build/outside
build/outside/outside_program
export PKG_CONFIG_PATH="$HOME/peltra/lib/pkgconfig"
# pkg-config's flags are meant to split into words.
# shellcheck disable=SC2046
g++ install_example/outside_program.cpp $(pkg-config --cflags --libs peltra-radar peltra-range_buffer peltra-autopilot peltra-tracker peltra-simulator) -o build/outside_program
build/outside_program

expected="RAD-00: 3 readings within [0.2, 16], resolution 20, field of view 60, a Ranger: yes
autopilot: intercepted the bogie; tracker: resolved, within 1 m of it at the last readings"
for program in build/outside/outside_program build/outside_program; do
  if [ "$("$program")" != "$expected" ]; then
    echo "$program did not print:" >&2
    echo "$expected" >&2
    exit 1
  fi
done
# Only the package's own folder lands on the include path.
[ "$(ls "$HOME/peltra/include")" = peltra ]

# Each module by its name alone: every target of the package, and every
# pkg-config package, each linked into a program of its own.
cmake -S "$source/sensors/tests/install_each_module" -B build/each -G Ninja \
  -DCMAKE_PREFIX_PATH="$HOME/peltra"
cmake --build build/each
g++ -c "$source/sensors/tests/install_each_module/main.cpp" -o build/each/main.o
# The links run side by side; each failure is reported with what it said.
declare -A links
for pc in "$PKG_CONFIG_PATH"/*.pc; do
  package=$(basename "$pc" .pc)
  # shellcheck disable=SC2046
  g++ build/each/main.o $(pkg-config --libs "$package") -o "build/each/$package" \
    2>"build/each/$package.log" &
  links[$package]=$!
done
failed=0
for package in "${!links[@]}"; do
  if ! wait "${links[$package]}"; then
    echo "$package does not link by its name alone:" >&2
    cat "build/each/$package.log" >&2
    failed=1
  fi
done
exit $failed
