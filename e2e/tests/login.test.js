// The login screen in headless Chromium over a database the test makes: the list of the
// service language's users in the query's order, the three refusals as alerts, a password
// differing in ASCII letter case signing in (by the button and by Enter), and Cancel.
"use strict";

const assert = require("node:assert/strict");
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { after, before, test } = require("node:test");
const { startService, createDatabase } = require("../lib/service");

// The staged host's session-end page is English, so the service works in "EN".
const users = [
  [1, "EN", "Ana Torres", "Secret"],
  [2, "EN", "Bruno Núñez", "clave"],
  [3, "ES", "Aaron Otro", "x"],
  [4, "EN", null, "x"],  // a row the desktop tools left without a name
  [5, "EN", "carla Méndez", "Señor"],
];

let service;
let folder;

before(async () => {
  folder = fs.mkdtempSync(path.join(os.tmpdir(), "qx-login-"));
  const database = path.join(folder, "Requests.mdb");
  createDatabase(database);
  const filled = spawnSync("python3", ["-c", `
import json, sqlite3, sys
c = sqlite3.connect(sys.argv[1])
c.executemany("INSERT INTO Users (Id_User, Id_Language, UserName, Password) VALUES (?, ?, ?, ?)",
              json.loads(sys.argv[2]))
c.commit()
`, database, JSON.stringify(users)], { encoding: "utf8" });
  assert.equal(filled.status, 0, filled.stderr);
  service = await startService({ database });
});

after(async () => {
  if (service) await service.stop();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

// Waits for the page that the post with track number `track` brought.
async function nextPage(page, track) {
  await page.waitForFunction((t) => window.GTrackID === t && window.locked === false, track);
}

// The page after a password that was accepted: the home screen greeting the user, or, in a
// build without the home screen, the login with the alert that says it is missing.
async function expectSignedIn(page, dialogs, userName) {
  await page.waitForFunction(() => window.GTrackID === 2 && window.locked === false);
  const title = await page.title();
  if (title !== "Login in ZazAZ") {
    assert.equal(title, `Online failures report [${userName}]`);
    assert.deepEqual(dialogs, []);
  } else {
    assert.deepEqual(dialogs,
      ["The home screen is not available: no form class TfrmHome is registered."]);
  }
}

test("the list shows the language's users in the query's order and has the focus", async () => {
  const { page, errors } = await service.openStartForm();
  assert.equal(await page.title(), "Login in ZazAZ");
  const options = await page.$$eval("#CBUSERNAME option", (all) => all.map((o) => o.textContent));
  assert.deepEqual(options, ["-- User name --", "", "Ana Torres", "Bruno Núñez", "carla Méndez"]);
  assert.equal(await page.evaluate(() => document.activeElement.id), "CBUSERNAME");
  assert.equal(await page.getAttribute("#IMGLOGIN", "alt"), "IcoLogin");
  const icon = await page.evaluate(() => {
    const img = document.getElementById("IMGLOGIN");
    return [img.complete, img.naturalWidth, img.naturalHeight];
  });
  assert.deepEqual(icon, [true, 48, 48]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("each refusal is an alert over the unchanged screen", async () => {
  const { page, errors, dialogs } = await service.openStartForm();
  await page.fill("#EDTPASSWORD", "Secret");
  await page.click("#BTNACEPTAR");
  await nextPage(page, 2);
  assert.deepEqual(dialogs, ["Select a user name from the list."]);

  await page.selectOption("#CBUSERNAME", { index: 1 });  // the user without a name
  await page.click("#BTNACEPTAR");
  await nextPage(page, 3);
  assert.equal(dialogs[1], "User  was not found in the Database.");

  await page.selectOption("#CBUSERNAME", { label: "Ana Torres" });
  await page.fill("#EDTPASSWORD", "Secrets");
  await page.click("#BTNACEPTAR");
  await nextPage(page, 4);
  assert.equal(dialogs[2], "Invalid password. Try again.");
  // The name stays chosen, the password is emptied.
  assert.equal(await page.$eval("#CBUSERNAME", (s) => s.options[s.selectedIndex].text), "Ana Torres");
  assert.equal(await page.inputValue("#EDTPASSWORD"), "");

  // Enter in the password field is Accept; an accented letter's case counts.
  await page.selectOption("#CBUSERNAME", { label: "carla Méndez" });
  await page.fill("#EDTPASSWORD", "SEÑOR");
  await page.press("#EDTPASSWORD", "Enter");
  await nextPage(page, 5);
  assert.deepEqual(dialogs.slice(3), ["Invalid password. Try again."]);
  assert.deepEqual(errors, []);
  await page.close();
});

// Signs in as `userName` with `typed` in a new session, sending the page with `submit`.
async function signIn(userName, typed, submit) {
  const { page, errors, dialogs } = await service.openStartForm();
  await page.selectOption("#CBUSERNAME", { label: userName });
  await page.fill("#EDTPASSWORD", typed);
  await submit(page);
  await expectSignedIn(page, dialogs, userName);
  assert.deepEqual(errors, []);
  await page.close();
}

test("a password differing only in ASCII letter case signs in", () =>
  signIn("Ana Torres", "sECRET", (page) => page.click("#BTNACEPTAR")));

test("Enter in the password field signs in like Accept", () =>
  signIn("Bruno Núñez", "CLAVE", (page) => page.press("#EDTPASSWORD", "Enter")));

test("Cancel ends the session with \"Login canceled.\"", async () => {
  const { page, errors } = await service.openStartForm();
  const appID = await page.evaluate(() => window.GAppID);
  await page.click("#BTNCANCELAR");
  await page.waitForFunction(() => document.body && document.body.textContent.trim() === "Login canceled.");
  // The session is gone: naming it again leads to the session-end page.
  await page.goto(`${service.base}/RequestQX9/EXEC/2/${appID}`);
  await page.waitForURL(/\/files\/SessionEnd\.htm$/);
  assert.deepEqual(errors, []);
  await page.close();
});
