#!/usr/bin/env bash
# Serves the web pages (build/web/pages by default) on 127.0.0.1 until Ctrl+C.
set -euo pipefail
pages="${1:-build/web/pages}"
port="${PORT:-8000}"
echo "Serving $pages on 127.0.0.1:$port: open that address in a browser (Ctrl+C stops it)."
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$pages"
