// What the browser tests of the service's own screens share: the service started over a
// database of the test's own, signing in through the login screen, and waiting for the page
// that a post brings.
"use strict";

const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { pageReady } = require("./pages");
const { createDatabase, startService } = require("./service");

// The service started over a new database made of the empty tables and the statements `sql`,
// in a temporary folder named after `prefix`: { service, query(sql), stop() }. query() reads
// and writes the sessions' database from another process, as the desktop tools do, and
// returns sqlite3's output (rows on lines, columns joined by "|").
async function startWithDatabase(prefix, sql) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), prefix));
  const database = path.join(folder, "Requests.mdb");
  createDatabase(database);
  execFileSync("sqlite3", ["-bail", database], { input: sql });
  const service = await startService({ database });
  return {
    service,
    query: (statement) => execFileSync("sqlite3", [service.database, statement]).toString().trim(),
    async stop() {
      await service.stop();
      fs.rmSync(folder, { recursive: true, force: true });
    },
  };
}

// Runs `action`, which posts the page, and waits for the next page to have initialised.
async function post(page, action) {
  const track = await page.evaluate(() => GTrackID);
  await action();
  await pageReady(page, track + 1);
}

// A new session of `service` signed in through the login screen, in a window wide enough for
// every screen, with every post it sends counted in `posts`.
async function signIn(service, name, password) {
  const opened = await service.openStartForm({ viewport: { width: 1000, height: 700 } });
  const { page } = opened;
  opened.posts = 0;
  page.on("request", (request) => {
    if (request.method() === "POST") opened.posts++;
  });
  await page.selectOption("#CBUSERNAME", { label: name });
  await page.fill("#EDTPASSWORD", password);
  await post(page, () => page.click("#BTNACEPTAR"));
  return opened;
}

// What the page shows of the elements named: `texts` their texts (trimmed), `boxes` their
// places and sizes as [left, top, width, height] within the element `region`, whatever the
// page's scrolling.
function shownOn(page, region, { texts = [], boxes = [] }) {
  return page.evaluate(([regionId, textIds, boxIds]) => {
    const origin = document.getElementById(regionId).getBoundingClientRect();
    const box = (id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return [r.left - origin.left, r.top - origin.top, r.width, r.height];
    };
    return {
      texts: textIds.map((id) => document.getElementById(id).innerText.trim()),
      boxes: boxIds.map(box),
    };
  }, [region, texts, boxes]);
}

module.exports = { post, shownOn, signIn, startWithDatabase };
