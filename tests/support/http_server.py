"""A small HTTP server for the tests: answers every GET with the status and body given on the
command line, after the delay in seconds given as an optional third argument, and prints each
request as it arrived (its request line and Host header) on standard output. The first line it
prints is "PORT <n>", the ephemeral port it listens on."""
import http.server
import sys
import time

status = int(sys.argv[1])
body = sys.argv[2].encode("utf-8")
delay = float(sys.argv[3]) if len(sys.argv) > 3 else 0.0


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        print("REQUEST " + self.requestline, flush=True)
        print("HOST " + str(self.headers.get("Host")), flush=True)
        if delay > 0:
            time.sleep(delay)
        self.send_response(status)
        self.send_header("Content-Type", "text/plain; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
print("PORT %d" % server.server_address[1], flush=True)
server.serve_forever()
