#!/usr/bin/env bash
# Installs what is missing, builds the saver and starts it on the demo songs,
# with a settings file of its own under build/ (yours is left alone).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUIB_TESTS=OFF -DQUIB_BENCH=OFF >/dev/null
cmake --build build --target quibkaraoke
./scripts/demo-settings.sh "$PWD/build/demo-config" "$PWD/resources/demo"
XDG_CONFIG_HOME="$PWD/build/demo-config" exec build/quibkaraoke /s "$@"
