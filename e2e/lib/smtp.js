// A real SMTP server for browser tests that send mail: the mail tests' aiosmtpd peer
// (tests/mail/smtp_peer.py, plain SMTP with AUTH LOGIN) run by the system python3 on
// 127.0.0.1, and the mails it stored, read back as the unit tests' SmtpPeer reads them.
"use strict";

const { spawn } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");

const peerScript = path.join(__dirname, "..", "..", "tests", "mail", "smtp_peer.py");
const user = "mailer";
const password = "secret";

// The running peer: { port, user, password, mails(), stop() }. stop() closes its input, which
// makes it exit, waits for that, and removes its folder.
async function startSmtpPeer() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "qx-smtp-"));
  const peer = spawn("/usr/bin/python3",
    [peerScript, "--mode", "plain", "--folder", folder, "--user", user, "--password", password],
    { stdio: ["pipe", "pipe", "pipe"] });
  let log = "";
  peer.stderr.on("data", (chunk) => { log += chunk; });
  const exited = new Promise((resolve) => peer.once("exit", resolve));
  // Its first line is the port it listens on.
  const port = await new Promise((resolve, reject) => {
    let out = "";
    peer.stdout.on("data", (chunk) => {
      out += chunk;
      if (out.includes("\n")) resolve(Number.parseInt(out, 10));
    });
    exited.then(() => reject(new Error(`the SMTP peer did not start: ${log}`)));
  });

  // The stored mails in arrival order: { from, recipients, headers (name → value, folded
  // lines joined), body (lines after the blank one) }.
  function mails() {
    return fs.readdirSync(folder).filter((f) => f.endsWith(".env"))
      .map((f) => Number.parseInt(f, 10)).sort((a, b) => a - b)
      .map((n) => {
        const [from, ...recipients] = fs.readFileSync(path.join(folder, `${n}.env`), "utf8")
          .split("\n").filter((line) => line !== "");
        const text = fs.readFileSync(path.join(folder, `${n}.eml`), "latin1");
        // The data's last line break ends its last line; it starts no empty one.
        const lines = text.split("\r\n").slice(0, text.endsWith("\r\n") ? -1 : undefined);
        const blank = lines.indexOf("");
        const headers = {};
        let last;
        for (const line of lines.slice(0, blank)) {
          if (/^[ \t]/.test(line)) {
            headers[last] += " " + line.trim();
            continue;
          }
          const colon = line.indexOf(":");
          last = line.slice(0, colon);
          headers[last] = line.slice(colon + 1).trim();
        }
        return { from, recipients, headers, body: lines.slice(blank + 1) };
      });
  }

  async function stop() {
    if (peer.exitCode === null) {
      peer.stdin.end();
      await exited;
    }
    fs.rmSync(folder, { recursive: true, force: true });
  }
  return { port, user, password, mails, stop };
}

module.exports = { startSmtpPeer };
