#!/usr/bin/env bash
# Prints the packages of debian-packages.txt, one a line, without comments.
set -euo pipefail
sed -e 's/#.*//' "$(dirname "$0")/debian-packages.txt" | tr -s ' \t' '\n\n' | sed '/^$/d'
