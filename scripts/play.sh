#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from the data folder.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing "${game_packages[@]}"
build build Release
cd "$repo_root/data"
exec ../build/velmora
