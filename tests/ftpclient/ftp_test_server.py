"""A loopback FTP server for the FTP client tests.

Two accounts share the root folder: "alice" (password "s3cret") may do everything,
"viewer" (password "look") may only look. Failed logins are answered at once, and the
third one makes the server hang up.

For the upload tests the server can also write every command line it receives to a
file, read uploads slowly (bytes per second), stop reading an upload after a number of
bytes, or misbehave once an upload has brought a number of bytes: close its sending
side of the data connection and read on ("--half-close-upload-after"), or reset the
data connection and claim success on the control connection ("--reset-upload-after").
"""
import argparse
import socket
import struct

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--idle-timeout", type=float, default=300)
    parser.add_argument("--banner", default="")
    parser.add_argument("--command-log", default="")
    parser.add_argument("--read-limit", type=int, default=0)
    parser.add_argument("--stop-reading-after", type=int, default=-1)
    parser.add_argument("--half-close-upload-after", type=int, default=-1)
    parser.add_argument("--reset-upload-after", type=int, default=-1)
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user("alice", "s3cret", args.root, perm="elradfmwMT")
    authorizer.add_user("viewer", "look", args.root, perm="elr")

    class Handler(FTPHandler):
        def pre_process_command(self, line, cmd, arg):
            if args.command_log:
                with open(args.command_log, "a", encoding="latin-1") as log:
                    log.write(repr(line) + "\n")
            return super().pre_process_command(line, cmd, arg)

    base = ThrottledDTPHandler if args.read_limit > 0 else DTPHandler

    class DataHandler(base):
        def __init__(self, sock, cmd_channel):
            super().__init__(sock, cmd_channel)
            if args.read_limit > 0 or args.stop_reading_after >= 0:
                # A small receive window, so that the client sees how fast we read.
                self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
                self.ac_in_buffer_size = 1024

        def readable(self):
            if 0 <= args.stop_reading_after <= self.tot_bytes_received:
                return False
            return super().readable()

        def handle_read(self):
            super().handle_read()
            if self._closed or not self.receive:
                return
            if 0 <= args.half_close_upload_after <= self.tot_bytes_received and not self.half_closed:
                self.half_closed = True
                self.socket.shutdown(socket.SHUT_WR)
            if 0 <= args.reset_upload_after <= self.tot_bytes_received:
                self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.transfer_finished = True
                self._resp = ("226 Transfer complete.", lambda *a: None)
                self.close()

        handle_read_event = handle_read
        half_closed = False

    if args.read_limit > 0:
        DataHandler.read_limit = args.read_limit
    Handler.dtp_handler = DataHandler

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
