# Shared by the quick-start scripts: package installation and the build.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

game_packages=(build-essential cmake pkg-config libgl-dev libglfw3-dev libglew-dev libbullet-dev
               libglm-dev libsdl2-mixer-dev libgtest-dev)
test_packages=(xvfb xauth xdotool x11-utils imagemagick python3 python3-numpy)

install_missing() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return
    fi
    echo "Installing: ${missing[*]}"
    local as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        as_root=(sudo)
    fi
    "${as_root[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR BUILD_TYPE [extra cmake arguments]
build() {
    local dir="$1" type="$2"
    shift 2
    cmake -S "$repo_root" -B "$repo_root/$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$repo_root/$dir" -j"$(nproc)"
}
