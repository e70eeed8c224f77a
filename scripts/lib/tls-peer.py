#!/usr/bin/env python3
"""A POP3 server over TLS that tests a client's handshake, played on OpenSSL's s_server.

    tls-peer.py PORT CERT KEY ROLE

Roles:
  tls1, tls1_1         speaks only that outdated protocol version; a client must end the check
                       before it sends anything inside the channel
  certificate-request  TLS 1.2, asking for a client certificate that it can do without

Past the handshake it is a mailbox of two messages: greeting, USER, PASS, STAT, QUIT. It serves
one client after the other until it is ended.
"""
import subprocess
import sys

ROLES = {
    "tls1": ["-tls1", "-cipher", "ALL@SECLEVEL=0"],
    "tls1_1": ["-tls1_1", "-cipher", "ALL@SECLEVEL=0"],
    "certificate-request": ["-tls1_2", "-verify", "1"],
}
REPLIES = {"USER": "+OK", "PASS": "+OK Logged in.", "STAT": "+OK 2 320", "QUIT": "+OK bye"}


def main():
    port, cert, key, role = sys.argv[1:5]
    # Line-buffered, so that each line is seen as it is printed: the connection's details once
    # its handshake is complete, then what the client sends.
    server = subprocess.Popen(
        ["stdbuf", "-oL", "openssl", "s_server", "-accept", f"127.0.0.1:{port}",
         "-cert", cert, "-key", key] + ROLES[role],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    for raw in server.stdout:
        line = raw.decode("latin-1").rstrip("\r\n")
        if line.startswith("CIPHER is "):  # a new client, secured
            reply = "+OK ready"
        elif line[:4] in REPLIES:
            reply = REPLIES[line[:4]]
        else:
            continue
        server.stdin.write(reply.encode() + b"\r\n")
        server.stdin.flush()
    return server.wait()


if __name__ == "__main__":
    sys.exit(main())
