#!/usr/bin/env python3
"""A plain FTP or explicit-TLS FTP server on 127.0.0.1 for the upload tests (pyftpdlib).

It listens on a free port, writes that port to --port-file once it accepts connections, and serves until
SIGTERM. Users: --user NAME:PASSWORD:FOLDER (writable) and --reader NAME:PASSWORD:FOLDER (read-only).
"""

import argparse
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--user", action="append", default=[])
    parser.add_argument("--reader", action="append", default=[])
    parser.add_argument("--tls-cert", help="a PEM file with the certificate and its key: FTPS, TLS demanded")
    parser.add_argument("--no-rename-over", action="store_true", help="refuse RNTO onto an existing file")
    parser.add_argument("--no-mlsd", action="store_true", help="know no MLSD, as vsftpd does not")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    for login, perm in [(u, "elradfmw") for u in args.user] + [(r, "elr") for r in args.reader]:
        name, password, folder = login.split(":", 2)
        authorizer.add_user(name, password, folder, perm=perm)

    base = FTPHandler
    if args.tls_cert:
        from pyftpdlib.handlers import TLS_FTPHandler

        base = TLS_FTPHandler

    class Handler(base):
        def ftp_RNTO(self, path):
            if args.no_rename_over and self.fs.lexists(path):
                self.respond("553 Rename refused: the target exists.")
                return
            return super().ftp_RNTO(path)

        def ftp_MLSD(self, path):
            if args.no_mlsd:
                self.respond('500 Command "MLSD" not understood.')
                return
            return super().ftp_MLSD(path)

    Handler.authorizer = authorizer
    Handler.passive_ports = None
    if args.tls_cert:
        Handler.certfile = args.tls_cert
        Handler.tls_control_required = True
        Handler.tls_data_required = True
        # pyftpdlib's data connections fail TLS 1.3's session resumption that clients ask for; the upload's
        # client takes what the server offers, so the test server offers TLS 1.2.
        from OpenSSL import SSL

        Handler.ssl_options = Handler.ssl_options | SSL.OP_NO_TLSv1_3

    server = FTPServer(("127.0.0.1", 0), Handler)
    server.max_cons = 32
    signal.signal(signal.SIGTERM, lambda *_: server.close_all() or sys.exit(0))
    port = server.socket.getsockname()[1]
    temporary = args.port_file + ".part"
    with open(temporary, "w") as out:
        out.write(str(port))
    os.replace(temporary, args.port_file)
    server.serve_forever(handle_exit=False)


if __name__ == "__main__":
    main()
