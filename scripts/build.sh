#!/usr/bin/env bash
# Configures and builds into the folder given as $1 (default build/); extra args go to cmake.
set -euo pipefail
dir=${1:-build}
shift || true
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
fi
cmake --build "$dir"
