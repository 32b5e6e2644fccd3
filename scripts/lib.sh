# Shared by the set-up scripts: install what is missing from Debian, configure and build.
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_PACKAGES=(g++ clang cmake make pkg-config binutils libgtest-dev libbenchmark-dev clang-format clang-tidy libsndfile1-dev
  lv2-dev liblilv-dev lilv-utils lv2file jalv jackd2 sordi ardour libcairo2-dev libfreetype-dev libx11-dev fonts-inter
  dpkg-dev xvfb xdotool imagemagick)

# Installs the named Debian packages that are not installed yet (sudo only when not root).
ensure_packages() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "Installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [CMAKE OPTIONS...]: configures a Release build in DIR and builds it on two cores.
build() {
  local dir="$1"
  shift
  cmake -S "$REPO" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON "$@" >/dev/null
  cmake --build "$dir" -j2
}

# Fails when a tracked C++ file strays from .clang-format.
check_format() {
  (cd "$REPO" && git ls-files '*.cpp' '*.h' | xargs --no-run-if-empty clang-format --dry-run --Werror)
}

# clang-tidy on the product's own code (not the tests); needs a configured build.
check_tidy() {
  (cd "$REPO" && printf '%s\n' engine/*.cpp host/*.cpp plugin/*.cpp frame/*.cpp frame/*/*.cpp kit/*.cpp editor/*.cpp wrap/*/*.cpp |
    xargs -P 2 -n 8 clang-tidy -p "$1" --quiet 2>/dev/null)
}
