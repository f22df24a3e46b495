#!/usr/bin/env bash
# Installs the project and builds a program against the installed copy both
# ways, with CMake's package and with pkg-config, using the lines the top
# README's "Installing the libraries" gives, word for word, as a teacher would
# type them at the top of a checkout. They run in a scratch folder that looks
# like one: build/default is the build under test, the sources are this
# tree's, and $HOME is the scratch folder, so that nothing outside it is
# touched.
#   install_test.sh <scratch folder> <build folder> <source folder>
set -euo pipefail
scratch=$1 build=$2 source=$3

rm -rf "$scratch"
mkdir -p "$scratch/build" "$scratch/sensors/tests"
ln -s "$build" "$scratch/build/default"
ln -s "$source/sensors/tests/install_consumer" "$scratch/sensors/tests/"
cd "$scratch"
export HOME=$scratch
# The programs must find libpeltra by themselves.
unset LD_LIBRARY_PATH

cmake --build build/default && cmake --install build/default --prefix "$HOME/peltra"
cmake -S sensors/tests/install_consumer -B build/consumer -DCMAKE_PREFIX_PATH="$HOME/peltra"
cmake --build build/consumer
build/consumer/radar_outside
export PKG_CONFIG_PATH="$HOME/peltra/lib/pkgconfig"
# pkg-config's flags are meant to split into words.
# shellcheck disable=SC2046
g++ sensors/tests/install_consumer/main.cpp $(pkg-config --cflags --libs peltra-radar peltra) -o build/radar_outside
build/radar_outside

expected="RAD-00: 3 readings within [0.2, 16], resolution 20, field of view 60, a Ranger: yes"
for program in build/consumer/radar_outside build/radar_outside; do
  if [ "$("$program")" != "$expected" ]; then
    echo "$program did not print: $expected" >&2
    exit 1
  fi
done
# Only the package's own folder lands on the include path.
[ "$(ls "$HOME/peltra/include")" = peltra ]
# Every installed module's pkg-config file resolves, and every file its Libs
# name was installed.
for pc in "$PKG_CONFIG_PATH"/*.pc; do
  for word in $(pkg-config --libs "$(basename "$pc" .pc)"); do
    if [[ $word == /* ]] && [ ! -f "$word" ]; then
      echo "$pc names $word, which was not installed" >&2
      exit 1
    fi
  done
done
