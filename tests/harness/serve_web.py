#!/usr/bin/env python3
"""Serves the browser build's folder on 127.0.0.1 and prints its address.

  python3 tests/harness/serve_web.py FOLDER [PORT]     PORT 0: any free one

The page needs nothing of a server but files and the right type for
WebAssembly (application/wasm, which lets the browser compile it while it
loads). Nothing is kept by the browser's HTTP cache; the page's own service
worker keeps the game, so a rebuilt game is fetched at the next load and
played from the one after.
"""

import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".webmanifest": "application/manifest+json"}

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def log_message(self, *args):
        pass


def main():
    if len(sys.argv) not in (2, 3):
        sys.stderr.write(__doc__)
        return 2
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), functools.partial(Handler, directory=sys.argv[1]))
    print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
