"""A loopback FTP server for the FTP client tests.

Two accounts share the root folder: "alice" (password "s3cret") may do everything,
"viewer" (password "look") may only look. Failed logins are answered at once, and the
third one makes the server hang up.
"""
import argparse

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--idle-timeout", type=float, default=300)
    parser.add_argument("--banner", default="")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user("alice", "s3cret", args.root, perm="elradfmwMT")
    authorizer.add_user("viewer", "look", args.root, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    Handler.max_login_attempts = 3
    Handler.timeout = args.idle_timeout
    if args.banner:
        Handler.banner = args.banner

    server = FTPServer(("127.0.0.1", args.port), Handler)
    # A bounded poll, so that the idle timer is looked at even when nothing arrives.
    server.serve_forever(timeout=0.2)


if __name__ == "__main__":
    main()
