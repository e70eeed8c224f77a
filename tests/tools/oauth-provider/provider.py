#!/usr/bin/env python3
"""A stand-in account provider for the tests, on loopback inside the private network.

HTTPS (the test authority's certificate) serves what the program talks to:
  GET  /authorize  issues a code for the login_hint (or "oauth") and redirects to the loopback
                   redirect URI with code and state; the test plays the browser and follows it
  POST /token      authorization_code with PKCE (S256) checked, and refresh_token grants, which
                   hand out a new refresh token each time, as Microsoft's do (the old one stays
                   good)
Plain HTTP on a second loopback port serves the test Dovecot and the test scripts:
  /introspect      token introspection (POST form "token=", or a Bearer header) for Dovecot's
                   oauth2 passdb; plain HTTP because Dovecot's HTTP client would otherwise need
                   the test authority in a CA file of its own, and this port never leaves the
                   namespace's loopback
  POST /expire     every access token issued so far expires, so a test can see a refresh
  POST /hold       the refresh grants that come from now on wait for
  POST /release    which answers them
Only the client ID given on the command line is served; codes are good once.
"""

import argparse
import base64
import hashlib
import http.server
import json
import secrets
import ssl
import threading
import urllib.parse

LIFETIME = 3600

lock = threading.Lock()
codes = {}      # code -> (client_id, redirect_uri, challenge, user)
access = {}     # access token -> user; removed when expired
refresh = {}    # refresh token -> user
released = threading.Event()
released.set()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    client_id = ""

    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        data = json.dumps(body).encode() if isinstance(body, dict) else body.encode()
        self.send_response(status)
        self.send_header("Content-Type",
                         "application/json" if isinstance(body, dict) else "text/plain")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for name, value in headers:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(data)

    def form(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode() if length else ""
        return {k: v[0] for k, v in urllib.parse.parse_qs(body).items()}

    def query(self):
        return {k: v[0] for k, v in
                urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query).items()}


class Provider(Handler):
    def do_GET(self):
        if urllib.parse.urlsplit(self.path).path != "/authorize":
            return self.answer(404, "not found")
        q = self.query()
        redirect = q.get("redirect_uri", "")
        if (q.get("response_type") != "code" or q.get("client_id") != self.client_id
                or not redirect.startswith("http://127.0.0.1:")
                or q.get("code_challenge_method") != "S256" or not q.get("code_challenge")
                or not q.get("state")):
            return self.answer(400, "bad authorization request")
        code = secrets.token_urlsafe(24)
        with lock:
            codes[code] = (q["client_id"], redirect, q["code_challenge"],
                           q.get("login_hint") or "oauth")
        target = redirect + "?" + urllib.parse.urlencode({"code": code, "state": q["state"]})
        self.answer(302, "", [("Location", target)])

    def do_POST(self):
        if self.path != "/token":
            return self.answer(404, "not found")
        f = self.form()
        if f.get("client_id") != self.client_id:
            return self.answer(400, {"error": "invalid_client"})
        with lock:
            if f.get("grant_type") == "authorization_code":
                grant = codes.pop(f.get("code", ""), None)
                verifier = f.get("code_verifier", "").encode()
                challenge = base64.urlsafe_b64encode(
                    hashlib.sha256(verifier).digest()).rstrip(b"=").decode()
                if (not grant or grant[1] != f.get("redirect_uri")
                        or grant[2] != challenge):
                    return self.answer(400, {"error": "invalid_grant",
                                             "error_description": "The code is not good."})
                user = grant[3]
                token = secrets.token_urlsafe(32)
                refresh[token] = user
            elif f.get("grant_type") == "refresh_token":
                lock.release()
                released.wait(30)
                lock.acquire()
                token = f.get("refresh_token", "")
                user = refresh.get(token)
                if not user:
                    return self.answer(400, {"error": "invalid_grant",
                                             "error_description": "The refresh token is not good."})
                token = secrets.token_urlsafe(32)
                refresh[token] = user
            else:
                return self.answer(400, {"error": "unsupported_grant_type"})
            issued = secrets.token_urlsafe(32)
            access[issued] = user
        self.answer(200, {"token_type": "Bearer", "access_token": issued, "expires_in": LIFETIME,
                          "refresh_token": token, "scope": "test"})


class Introspection(Handler):
    def introspect(self, token):
        with lock:
            user = access.get(token)
        self.answer(200, {"active": True, "username": user} if user else {"active": False})

    def bearer(self):
        value = self.headers.get("Authorization", "")
        return value[7:] if value.startswith("Bearer ") else ""

    def do_GET(self):
        if urllib.parse.urlsplit(self.path).path != "/introspect":
            return self.answer(404, "not found")
        self.introspect(self.query().get("token") or self.bearer())

    def do_POST(self):
        if self.path == "/expire":
            with lock:
                access.clear()
            return self.answer(200, "expired")
        if self.path in ("/hold", "/release"):
            (released.clear if self.path == "/hold" else released.set)()
            return self.answer(200, self.path[1:])
        if self.path != "/introspect":
            return self.answer(404, "not found")
        self.introspect(self.form().get("token") or self.bearer())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--introspection-port", type=int, required=True)
    parser.add_argument("--certificate", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--client-id", required=True)
    args = parser.parse_args()
    Handler.client_id = args.client_id

    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(args.certificate, args.key)
    secure = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Provider)
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    plain = http.server.ThreadingHTTPServer(("127.0.0.1", args.introspection_port), Introspection)
    threading.Thread(target=plain.serve_forever, daemon=True).start()
    secure.serve_forever()


if __name__ == "__main__":
    main()
