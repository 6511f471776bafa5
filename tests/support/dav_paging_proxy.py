"""A proxy in front of a CardDAV server for the tests: it passes every request on as it is, except
that the answer to a sync-collection report is cut into pages of PAGE members, as servers that page
these answers do (RFC 6578: while more is to come, the collection's own response says 507, and the
page's sync token asks for the next page). The last page carries the server's own token.

Usage: dav_paging_proxy.py UPSTREAM_PORT PAGE. The first line it prints is "PORT <n>"."""
import http.client
import http.server
import re
import sys

upstream = int(sys.argv[1])
page = int(sys.argv[2])

RESPONSE = re.compile(rb"<([A-Za-z0-9]+:)?response\b.*?</(?:[A-Za-z0-9]+:)?response>", re.S)
TOKEN = re.compile(rb"<(?:[A-Za-z0-9]+:)?sync-token>(.*?)</(?:[A-Za-z0-9]+:)?sync-token>", re.S)
PAGED = b"paged:"


def cut(data, offset, asked, collection):
    """The page of `data` (a multistatus) from member `offset`; `asked` is the token the client sent."""
    spans = [m.span() for m in RESPONSE.finditer(data)]
    more = offset + page < len(spans)
    first = RESPONSE.search(data)
    p = (first.group(1) or b"") if first else b""  # the prefix the server gives DAV: names
    pieces, last = [], 0
    for i, (start, end) in enumerate(spans):
        pieces.append(data[last:start])
        if offset <= i < offset + page:
            pieces.append(data[start:end])
        last = end
    pieces.append(data[last:])
    data = b"".join(pieces)
    if not more:
        return data
    token = TOKEN.search(data)
    marker = (b"<%sresponse><%shref>%s</%shref><%sstatus>HTTP/1.1 507 Insufficient Storage</%sstatus>"
              b"</%sresponse>" % (p, p, collection, p, p, p, p))
    data = data[:token.start()] + marker + data[token.start():]
    token = TOKEN.search(data)
    next_token = PAGED + str(offset + page).encode() + b":" + asked
    return data[:token.start(1)] + next_token + data[token.end(1):]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def relay(self):
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        paging = self.command == "REPORT" and b"sync-collection" in body
        offset, asked = 0, b""
        if paging:
            found = TOKEN.search(body)
            asked = found.group(1) if found else b""
            if asked.startswith(PAGED):
                _, number, asked = asked.split(b":", 2)
                offset = int(number)
                body = body[:found.start(1)] + asked + body[found.end(1):]
        headers = {k: v for k, v in self.headers.items()
                   if k.lower() not in ("host", "content-length", "connection", "accept-encoding")}
        connection = http.client.HTTPConnection("127.0.0.1", upstream)
        connection.request(self.command, self.path, body, headers)
        answer = connection.getresponse()
        data = answer.read()
        if paging and answer.status == 207:
            data = cut(data, offset, asked, self.path.encode())
        self.send_response(answer.status)
        for key, value in answer.getheaders():
            if key.lower() not in ("content-length", "connection", "transfer-encoding", "date", "server"):
                self.send_header(key, value)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_OPTIONS = do_HEAD = relay


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print("PORT %d" % server.server_address[1], flush=True)
server.serve_forever()
