# debian_packages.sh: sourced by the set-up scripts. as_root runs a command
# as root (through sudo when needed); install_missing_packages installs with
# apt-get only the Debian packages that are not there yet, so a machine that
# has them all needs neither root nor the network.

as_root() {
    if [[ $(id -u) == 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "$(basename "$0"): need root (or sudo) to run: $*" >&2
        return 1
    fi
}

install_missing_packages() {
    local package missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}\n' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
            missing+=("$package")
    done
    ((${#missing[@]})) || return 0
    echo "Installing ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}
