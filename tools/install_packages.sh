#!/bin/bash
# Installs the Debian 12 packages the build, the panel and the tests need.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
sudo_cmd=""
[ "$(id -u)" = 0 ] || sudo_cmd=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo_cmd apt-get update
# shellcheck disable=SC2046
$sudo_cmd apt-get install -y --no-install-recommends $(grep -v '^#' "$here/packages.txt")
