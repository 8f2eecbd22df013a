// Starts the staged service for browser tests: requestqx-host on a free loopback port with a
// private copy of RequestQX9.so (so its cache folder is the test's own) beside copies of the
// staged Files folder (which the host serves too) and database, and headless Chromium with a
// fresh profile. Everything started here is stopped by stop(). With { testLibrary: true } the
// copy is made of the browser tests' own library instead, whose start form is the test form;
// with { publicFiles: [paths] } those files join the copied Files folder, for this run only;
// with { database: file } the sessions open a copy of that database file instead of the
// staged one. The copy the sessions open is the returned `database`, which `query` reads.
"use strict";

const { execFileSync, spawn, spawnSync } = require("node:child_process");
const fs = require("node:fs");
const net = require("node:net");
const os = require("node:os");
const path = require("node:path");
const { chromium } = require("playwright-core");

const stage = path.resolve(process.env.QX_STAGE || path.join(__dirname, "..", "..", "build", "stage"));
const chromiumPath = process.env.QX_CHROMIUM || "/usr/bin/chromium";
// The browser tests' library, which make test builds in the release tree beside the stage.
const testLibrary = path.resolve(process.env.QX_TEST_LIBRARY ||
  path.join(stage, "..", "release", "tests", "browser", "RequestQX9-e2e.so"));

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on("error", reject);
    server.listen(0, "127.0.0.1", () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

async function waitForPing(base, host) {
  for (let i = 0; i < 200; i++) {
    if (host.exitCode !== null) throw new Error(`requestqx-host exited with ${host.exitCode}`);
    try {
      const reply = await fetch(`${base}/RequestQX9/PING`);
      if (reply.status === 200) return;
    } catch {
      // not listening yet
    }
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error("requestqx-host did not answer in time");
}

// The running service and browser: { base, context, database, stop(), openPage(),
// openStartForm() }.
async function startService(options = {}) {
  for (const file of ["requestqx-host", "RequestQX9.so", "Files/SessionEnd.htm",
                      "database/Requests.mdb"]) {
    if (!fs.existsSync(path.join(stage, file))) {
      throw new Error(`${path.join(stage, file)} is missing: run "make stage" first`);
    }
  }
  const library = options.testLibrary ? testLibrary : path.join(stage, "RequestQX9.so");
  if (!fs.existsSync(library)) {
    throw new Error(`${library} is missing: build it with ` +
                    '"cmake --build build/release --target RequestQX9-e2e" (make test does)');
  }
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "qx-e2e-"));
  // Under the service's own name, so that the library behaves exactly as the staged one.
  fs.copyFileSync(library, path.join(work, "RequestQX9.so"));
  // Every session opens the database beside the library: a copy of the staged one, or of the
  // test's own.
  const database = path.join(work, "database", "Requests.mdb");
  fs.mkdirSync(path.join(work, "database"));
  fs.copyFileSync(options.database || path.join(stage, "database", "Requests.mdb"), database);
  // The library's files folder lies beside it, as in an install (pages name its pictures);
  // the host serves the same one.
  const files = path.join(work, "Files");
  fs.cpSync(path.join(stage, "Files"), files, { recursive: true });
  for (const file of options.publicFiles || []) {
    fs.copyFileSync(file, path.join(files, path.basename(file)));
  }
  const port = await freePort();
  const base = `http://127.0.0.1:${port}`;
  const log = fs.openSync(path.join(work, "host.log"), "w");
  const host = spawn(path.join(stage, "requestqx-host"),
    ["--bind", "127.0.0.1", "--port", String(port), "--extension", path.join(work, "RequestQX9.so"),
     "--root", files],
    { stdio: ["ignore", log, log] });
  let context;
  try {
    await waitForPing(base, host);
    context = await chromium.launchPersistentContext(path.join(work, "profile"), {
      executablePath: chromiumPath,
      headless: true,
      args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync"],
    });
  } catch (e) {
    host.kill("SIGTERM");
    throw e;
  }
  async function stop() {
    if (context) await context.close();
    if (host.exitCode === null && host.signalCode === null) {
      const exited = new Promise((r) => host.once("exit", r));
      host.kill("SIGTERM");
      await exited;
    }
    fs.closeSync(log);
    fs.rmSync(work, { recursive: true, force: true });
  }
  // A new page (a new session) that records script errors and the console's error messages
  // (a failed load among them) and answers dialogs, keeping their texts.
  async function openPage() {
    const page = await context.newPage();
    const errors = [];
    const dialogs = [];
    page.on("pageerror", (error) => errors.push(error.message));
    page.on("console", (message) => {
      if (message.type() === "error") errors.push(message.text());
    });
    // Answers queued by the test (false: cancel) go to the next dialogs; the rest are accepted.
    const answers = [];
    page.on("dialog", async (dialog) => {
      dialogs.push(dialog.message());
      if (answers.length && !answers.shift()) await dialog.dismiss();
      else await dialog.accept();
    });
    return { page, errors, dialogs, answers };
  }
  // The start form in a new page, opened as a person opens it, once the probe page has posted
  // the window size and the form's Initialize() has run (client objects made, lock released).
  // With `form` ("frmControlsTest.html") the session starts on that form instead.
  async function openStartForm({ viewport, form } = {}) {
    const opened = await openPage();
    if (viewport) await opened.page.setViewportSize(viewport);
    await opened.page.goto(`${base}/RequestQX9${form ? "/" + form : ""}`);
    await opened.page.waitForFunction(() => typeof GTrackID === "number" && window.IWCLForm &&
                                            window.locked === false);
    return opened;
  }
  // Reads the database the sessions work on from another process, as the desktop tools do:
  // the rows of `sql` as sqlite3 prints them.
  const query = (sql) => execFileSync("sqlite3", [database, sql]).toString().trim();
  return { base, context, database, stop, openPage, openStartForm, query };
}

// A new database file at `file` with the service's empty tables, made by the staged admin tool;
// with { demo: true } filled with the tool's demo data.
function createDatabase(file, { demo = false } = {}) {
  const tool = path.join(stage, "requestqx-admin");
  if (!fs.existsSync(tool)) throw new Error(`${tool} is missing: run "make stage" first`);
  const made = spawnSync(tool, ["init-db", file, ...(demo ? ["--demo"] : [])], { encoding: "utf8" });
  if (made.status !== 0) {
    throw new Error(`requestqx-admin init-db failed: ${made.error ? made.error.message : made.stderr}`);
  }
}

// The service over a database of the test's own: made by the staged admin tool, then filled by
// `sql` (statements in sqlite3's language).
async function startServiceOver(sql) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "qx-database-"));
  try {
    const database = path.join(folder, "Requests.mdb");
    createDatabase(database);
    execFileSync("sqlite3", ["-bail", database], { input: sql });
    return await startService({ database });
  } finally {
    // The sessions open a copy.
    fs.rmSync(folder, { recursive: true, force: true });
  }
}

module.exports = { startService, startServiceOver, createDatabase, stage };
