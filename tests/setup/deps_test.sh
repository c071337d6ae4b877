#!/bin/bash
# tools/deps.sh against a dpkg database in which nothing is installed: with no apt-get it
# lists what is missing and stops run.sh before the build, and so it does for a user who is
# not root and has no sudo (nobody, when this script runs as root).
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
mkdir -p "$scratch/dpkg/info" "$scratch/dpkg/updates" "$scratch/no-apt" "$scratch/no-sudo"
: >"$scratch/dpkg/status"
cp -r "$(dirname "$0")/../../tools" "$scratch/tools"
for tool in dpkg-query dirname apt-get; do
  [ "$tool" = apt-get ] || ln -s "$(command -v $tool)" "$scratch/no-apt/"
  ln -s "$(command -v $tool)" "$scratch/no-sudo/"
done

# Runs a command with only the given PATH; expects status 1 and every further argument
# within its error output.
expect_failure() {
  local path=$1 command=$2 status=0 errors pattern words
  shift 2
  read -r -a words <<<"$command"
  errors=$("${as_user[@]}" env -i PATH="$path" DPKG_ADMINDIR="$scratch/dpkg" \
    /bin/bash "$scratch/tools/${words[0]}" "${words[@]:1}" 2>&1 >/dev/null) || status=$?
  for pattern in "$@"; do
    [[ $status -eq 1 && $errors == *"$pattern"* ]] ||
      { echo "deps: wanted status 1 and '$pattern'; got $status: $errors" >&2; exit 1; }
  done
  [[ $command == "deps.sh test" || $errors != *xvfb* ]] ||
    { echo "deps: run.sh asks for test packages: $errors" >&2; exit 1; }
}

as_user=()
expect_failure "$scratch/no-apt" run.sh "(there is no apt-get here to install them)" \
  "  libsdl1.2-dev or libsdl1.2-compat-dev  SDL 1.2 development files" \
  "apt-get install cmake g++ make pkg-config libsdl1.2-dev"
[ "$EUID" -ne 0 ] || as_user=(runuser -u nobody --)
expect_failure "$scratch/no-sudo" "deps.sh test" \
  "(installing them needs root, and there is no sudo)" "  xvfb  "
echo "deps: missing packages listed and nothing built, without apt-get and without root"
