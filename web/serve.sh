#!/usr/bin/env bash
# Serves web/dist/ on http://127.0.0.1:PORT/ (default 8000) until Ctrl-C.
# Usage: web/serve.sh [PORT]
set -euo pipefail
web=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ -f $web/dist/index.html ]] || { echo "serve: run web/build.sh first" >&2; exit 1; }
exec node "$web/server.mjs" "$web/dist" "${1:-8000}"
