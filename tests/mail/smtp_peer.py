#!/usr/bin/python3
# Test peer for the mail tests: a real SMTP server (aiosmtpd) on 127.0.0.1 with AUTH LOGIN and
# plain, STARTTLS or implicit TLS, storing each accepted message in a folder.
#
# Prints the port it listens on, then serves until its standard input is closed.
# Each message is stored as <n>.eml (the data as received) and <n>.env (envelope: the sender
# on the first line, one recipient per line after it).
import argparse
import asyncio
import os
import ssl
import sys

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


class StoreHandler:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, str(self.count))
        with open(base + ".env.tmp", "w", encoding="utf-8") as env:
            env.write(envelope.mail_from + "\n")
            for rcpt in envelope.rcpt_tos:
                env.write(rcpt + "\n")
        with open(base + ".eml", "wb") as eml:
            eml.write(envelope.original_content or envelope.content)
        os.rename(base + ".env.tmp", base + ".env")
        return "250 2.0.0 Message accepted"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        ok = (mechanism == "LOGIN" and isinstance(auth_data, LoginPassword)
              and auth_data.login == user.encode() and auth_data.password == password.encode())
        return AuthResult(success=ok, handled=False)
    return authenticate


async def serve(args):
    context = None
    if args.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)
    handler = StoreHandler(args.folder)
    authenticator = make_authenticator(args.user, args.password)

    def factory():
        return SMTP(handler,
                    hostname="peer.test",
                    authenticator=authenticator,
                    auth_required=True,
                    # Implicit TLS is TLS already; plain mode tests AUTH without it.
                    auth_require_tls=(args.mode == "starttls"),
                    require_starttls=(args.mode == "starttls"),
                    tls_context=context if args.mode == "starttls" else None)

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, "127.0.0.1", 0,
                                      ssl=context if args.mode == "implicit" else None)
    print(server.sockets[0].getsockname()[1], flush=True)
    # Serve until the test closes our standard input.
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["plain", "starttls", "implicit"], required=True)
    parser.add_argument("--folder", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--user", default="mailer")
    parser.add_argument("--password", default="secret")
    asyncio.run(serve(parser.parse_args()))


if __name__ == "__main__":
    main()
