#!/usr/bin/env bash
# Installs the Debian packages that are missing, and only those.
#   install-deps.sh app   what building and running the app needs
#   install-deps.sh all   that, and what the tests and benchmarks need (the default)
set -euo pipefail
app_packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsqlite3-dev fonts-dejavu-core
)
test_packages=(
  googletest libgtest-dev libbenchmark-dev qt6-base-private-dev
  xvfb xauth xdotool poppler-utils sqlite3
)
case "${1:-all}" in
  app) packages=("${app_packages[@]}") ;;
  all) packages=("${app_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 [app|all]" >&2; exit 2 ;;
esac
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
