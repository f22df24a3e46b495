#!/usr/bin/env bash
# Installs the project and builds the example consumer against the installed
# copy, with the lines the top README's "Installing the libraries" gives,
# word for word, as a teacher would type them at the top of a checkout. They
# run in a scratch folder that looks like one: build/default is the build
# under test, the sources are this tree's, and $HOME is the scratch folder, so
# that nothing outside it is touched.
#   install_test.sh <scratch folder> <build folder> <source folder>
set -euo pipefail
scratch=$1 build=$2 source=$3

rm -rf "$scratch"
mkdir -p "$scratch/build" "$scratch/sensors/tests"
ln -s "$build" "$scratch/build/default"
ln -s "$source/sensors/tests/install_consumer" "$scratch/sensors/tests/"
cd "$scratch"
export HOME=$scratch

cmake --install build/default --prefix "$HOME/peltra"
cmake -S sensors/tests/install_consumer -B build/consumer -DCMAKE_PREFIX_PATH="$HOME/peltra"
cmake --build build/consumer
build/consumer/radar_outside

# Only the package's own folder lands on the include path.
[ "$(ls "$HOME/peltra/include")" = peltra ]
