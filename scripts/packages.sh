# Debian packages the build, the tests and the demo need. Sourced by the other scripts.
QUILLORY_PACKAGES=(
    build-essential cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-serialport-dev libsqlite3-dev libgtest-dev
    python3 python3-hl7 python3-dbfread python3-dbf socat
)

# Installs the packages that are missing: directly as root, otherwise it prints the command.
quillory_install_packages() {
    local missing=()
    for package in "${QUILLORY_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
    else
        echo "Missing packages. Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        return 1
    fi
}
