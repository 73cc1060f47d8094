# The Debian packages the project needs, installed only when missing: the
# build, every tool a test or script calls (the tests fail, not skip, when
# one is missing under scripts/test), and the checkers of scripts/lint and
# scripts/format-check.
ZEL_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libcurl4-openssl-dev
  libexpat1-dev
  libjpeg62-turbo-dev
  libgtest-dev libgmock-dev googletest
  libbenchmark-dev
  libcpp-httplib-dev
  fonts-dejavu-core
  xvfb xauth x11-utils
  clang libclang-rt-14-dev
  clang-format clang-tidy
)

zel_install_packages() {
  local missing=()
  local p
  for p in "${ZEL_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}
