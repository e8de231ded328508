#!/usr/bin/env bash
# Installs what is missing, builds and starts the editor.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" "$here/build/run"
exec "$here/build/run/app/vantrel-assistant" "$@"
