"""A throw-away FTP server for the tests: one user on one folder, on 127.0.0.1.

Prints the port it listens on as its first line of output, then serves until it is stopped.
With --cert and --key it requires explicit TLS on the control and data connections.
With --no-mlsd it answers MLSD as an unknown command, like servers that only know LIST and MDTM.
With --rate BYTES it moves at most that many bytes a second each way on a data connection (plain only).
"""
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


class TlsDataHandler(TLS_DTPHandler):
    """Lets a client start TLS on a passive data connection before it sends its transfer command.

    libcurl does so; pyftpdlib would take the early handshake bytes for a closed connection.
    """

    def readable(self):
        if self._ssl_accepting or self._ssl_want_read:
            return True
        if not self.receive:
            return False
        return super().readable()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--no-mlsd", action="store_true")
    parser.add_argument("--rate", type=int, default=0)
    args = parser.parse_args()

    logging.basicConfig(level=logging.WARNING, stream=sys.stderr)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    base = TLS_FTPHandler if args.cert else FTPHandler

    class Handler(base):
        pass

    Handler.authorizer = authorizer
    Handler.permit_foreign_addresses = False
    if args.cert:
        Handler.certfile = args.cert
        Handler.keyfile = args.key
        Handler.tls_control_required = True
        Handler.tls_data_required = True
        Handler.dtp_handler = TlsDataHandler
    if args.rate and not args.cert:

        class SlowData(ThrottledDTPHandler):
            read_limit = args.rate
            write_limit = args.rate

        Handler.dtp_handler = SlowData
        Handler.use_sendfile = False  # sendfile would hand the whole file to the socket at once
    if args.no_mlsd:
        Handler.proto_cmds = {k: v for k, v in base.proto_cmds.items() if k not in ("MLSD", "MLST")}

    server = FTPServer(("127.0.0.1", 0), Handler)
    print(server.socket.getsockname()[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
