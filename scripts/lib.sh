# Shared set-up for the kit's scripts: find what Debian packages are missing
# and install them (as root) or say how to (as anyone else).

KIT_PACKAGES=(
  cmake ninja-build g++ pkg-config libedit-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev xvfb xauth
  libpng-dev zlib1g-dev clang-14 libclang-rt-14-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools googletest wine64
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 libz-mingw-w64-dev
  scdoc dpkg-dev file lintian systemd zsh
  wixl msitools osslsigncode zip unzip openssl
  openssh-server openssh-client fail2ban
)

kit_missing_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

# kit_ensure_packages PKG...: installs what is missing, or prints the apt-get
# line and returns 1 when not root.
kit_ensure_packages() {
  local missing
  missing=$(kit_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing. Install them with:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    return 1
  fi
  echo "Installing: $missing" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >&2
  # shellcheck disable=SC2086
  apt-get install -y -qq $missing >&2
}
