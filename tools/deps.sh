#!/bin/bash
# Checks, before anything is installed or built, that every Debian package the given task
# needs is there, and installs the missing ones with apt-get: directly as root, through
# sudo otherwise. Without apt-get, or without root and sudo, it lists them and fails.
# Usage: tools/deps.sh run|test|npm  (run: build and start the program; test: everything;
# npm: only the page's browser drivers from npm, which the build asks for where they are missing)
set -euo pipefail

# Debian package (a|b: either will do, a is installed)   what it provides. The names hold on
# Debian 12 and 13 alike; where a release pins a version (clang 14 or 19), a package of
# Debian's defaults names it, as libclang-rt-dev the runtime of the release's clang.
RUN_PACKAGES=(
  "cmake                              CMake, the build system"
  "g++                                the C++ compiler"
  "make                               make"
  "pkg-config                         pkg-config, which finds SDL"
  "libsdl1.2-dev|libsdl1.2-compat-dev SDL 1.2 development files"
)
TEST_PACKAGES=(
  "googletest                         GoogleTest sources"
  "libgtest-dev                       GoogleTest"
  "libbenchmark-dev                   Google Benchmark"
  "clang                              clang, for the fuzzers"
  "libclang-rt-dev                    clang's sanitizer and libFuzzer runtimes, for the clang above"
  "python3                            Python 3, for the whole-program tests"
  "xvfb                               Xvfb, a virtual X server"
  "xdotool                            xdotool, which sends keys"
  "x11-apps                           xwd, which reads the screen back"
  "x11-utils                          xwininfo and xprop"
  "imagemagick                        ImageMagick's convert and compare"
  "libsdl1.2-compat                   SDL 1.2 on top of SDL2, a second library to test against"
  "openbox                            a window manager, which SDL2's full screen asks for"
  "emscripten                         emscripten, for the web page"
  "librsvg2-bin                       rsvg-convert, which draws the page's icons from the SVG"
  "chromium                           Chromium, which runs the web page headless"
  "firefox-esr                        Firefox ESR, which runs the web page headless"
  "webkit2gtk-driver                  WebKitWebDriver and MiniBrowser, which run the page in WebKit"
  "dpkg-dev                           dpkg-shlibdeps, for the package's dependencies"
  "file                               file, which CPack's dependency scan uses"
  "fakeroot                           fakeroot"
  "lintian                            lintian, which checks the package"
  "desktop-file-utils                 desktop-file-validate"
)

# Node.js runs the page's tests, npm installs their browser drivers (package.json). A node from
# elsewhere brings its own npm, and Debian's npm package refuses to sit beside it.
command -v node >/dev/null || TEST_PACKAGES+=("nodejs  Node.js, which runs the page's tests")
command -v npm >/dev/null || TEST_PACKAGES+=("npm     npm, which installs the page's browser drivers")

case "${1:-}" in
  run) wanted=("${RUN_PACKAGES[@]}") ;;
  test) wanted=("${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}") ;;
  npm) wanted=() ;;
  *) echo "usage: $0 run|test|npm" >&2; exit 2 ;;
esac

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
missing_lines=()
for line in "${wanted[@]}"; do
  read -r choices what <<<"$line"
  found=
  for package in ${choices//|/ }; do
    if installed "$package"; then found=1; fi
  done
  if [ -z "$found" ]; then
    missing+=("${choices%%|*}")
    missing_lines+=("$(printf '  %-38s %s' "${choices//|/ or }" "$what")")
  fi
done
give_up() {
  echo "Missing Debian packages ($1):" >&2
  printf '%s\n' "${missing_lines[@]}" >&2
  echo "Install them as root with: apt-get install ${missing[*]}" >&2
  exit 1
}

install_missing() {
  if ! command -v apt-get >/dev/null; then
    give_up "there is no apt-get here to install them"
  fi
  if [ "$EUID" -eq 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt_get=(apt-get)
  else
    command -v sudo >/dev/null || give_up "installing them needs root, and there is no sudo"
    echo "Installing ${#missing[@]} missing Debian packages with sudo, since apt-get needs root:" \
      "${missing[*]}"
    apt_get=(sudo apt-get)
  fi
  "${apt_get[@]}" update
  "${apt_get[@]}" install -y --no-install-recommends "${missing[@]}"
}

# The browser drivers as package-lock.json pins them, into node_modules; again only when the
# lock file changed. npm refuses a Node.js older than a package's engines (.npmrc).
install_npm_packages() {
  cd "$(dirname "$0")/.."
  if ! cmp -s package-lock.json node_modules/.installed-lock && ! npm ci --no-audit --no-fund; then
    echo "Missing npm packages, which the page's tests need (npm ci failed: the npm registry" \
      "could not be reached, or this Node.js, $(node --version), is older than they accept):" >&2
    node -p 'const {dependencies, engines} = require("./package.json");
      Object.entries(dependencies).map(([name, version]) => `  ${name} ${version}`).join("\n")
      + `\nThey need Node.js ${engines.node}.`' >&2
    exit 1
  fi
  cp package-lock.json node_modules/.installed-lock # newer than the lock file, for make
}

[ ${#missing[@]} -eq 0 ] || install_missing
[ "$1" = run ] || install_npm_packages
