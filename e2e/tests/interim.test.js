// The interim start form in headless Chromium: the probe page's automatic post, the button and
// Enter copying accented text into the label, the back-button message, the end of the session,
// and pages whose own scripts raise no errors.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { startService } = require("../lib/service");

let service;

before(async () => {
  service = await startService();
});

after(async () => {
  if (service) await service.stop();
});

async function labelText(page) {
  return (await page.textContent("#LBLECHO")).trim();
}

// Waits for the page that the last post brought.
async function nextPage(page, track) {
  await page.waitForFunction((t) => window.GTrackID === t && window.locked === false, track);
}

test("the start form appears after the probe page's automatic post", async () => {
  // As a person opens the service: the host's root leads to the library.
  const { page, errors } = await service.openPage();
  await page.goto(`${service.base}/`);
  await page.waitForSelector("#EDTTEXT");
  await page.waitForFunction(() => window.locked === false);
  assert.match(page.url(), /\/RequestQX9\/EXEC$/);
  assert.equal(await page.title(), "QX Requests");
  assert.equal(await page.evaluate(() => window.GTrackID), 1);
  assert.match(await page.evaluate(() => window.GAppID), /^[0-9a-z]{28}$/);
  assert.equal(await labelText(page), "Type a text and copy it here.");
  // The window's size travelled with the probe's post.
  const reported = await page.evaluate(() => document.forms.SubmitForm.IW_width.value);
  assert.ok(Number(reported) > 0, `IW_width is ${reported}`);
  assert.deepEqual(errors, []);
  await page.close();
});

test("the button copies the typed text into the label", async () => {
  const { page, errors } = await service.openStartForm();
  await page.fill("#EDTTEXT", "Lámpara ñoña");
  await page.click("#BTNCOPY");
  await nextPage(page, 2);
  assert.equal(await labelText(page), "Lámpara ñoña");
  assert.equal(await page.inputValue("#EDTTEXT"), "Lámpara ñoña");
  assert.deepEqual(errors, []);
  await page.close();
});

test("Enter in the edit posts the page naming the edit", async () => {
  const { page, errors } = await service.openStartForm();
  await page.fill("#EDTTEXT", "Enter pressed");
  await page.press("#EDTTEXT", "Enter");
  await nextPage(page, 2);
  assert.equal(await labelText(page), "Enter pressed");
  // The key was swallowed: the edit holds the text alone.
  assert.equal(await page.inputValue("#EDTTEXT"), "Enter pressed");
  assert.deepEqual(errors, []);
  await page.close();
});

test("a page from the history shows the back-button message over the current page", async () => {
  const { page, errors, dialogs } = await service.openStartForm();
  await page.fill("#EDTTEXT", "first");
  await page.click("#BTNCOPY");
  await nextPage(page, 2);
  await page.goBack();
  await page.waitForFunction(() => window.GTrackID === 1 && window.locked === false);
  await page.fill("#EDTTEXT", "from the past");
  await page.click("#BTNCOPY");
  await page.waitForFunction(() => window.GTrackID === 2 && window.locked === false);
  assert.deepEqual(dialogs, ["You cannot go back with this button.\nUse the Back button"]);
  assert.equal(await labelText(page), "first");
  assert.deepEqual(errors, []);
  await page.close();
});

test("the end button ends the session", async () => {
  const { page, errors } = await service.openStartForm();
  const appID = await page.evaluate(() => window.GAppID);
  await page.click("#BTNTERMINATE");
  await page.waitForFunction(() => document.body && document.body.textContent.includes("Application has terminated"));
  // The session is gone: naming it again leads to the session-end page.
  await page.goto(`${service.base}/RequestQX9/EXEC/2/${appID}`);
  await page.waitForURL(/\/files\/SessionEnd\.htm$/);
  assert.deepEqual(errors, []);
  await page.close();
});

test("a second click while a post is on its way does nothing", async () => {
  const { page, errors } = await service.openStartForm();
  await page.fill("#EDTTEXT", "once");
  const posts = [];
  page.on("request", (request) => {
    if (request.method() === "POST") posts.push(request.url());
  });
  // Both clicks run before the reply can arrive; the page locks at the first.
  await page.evaluate(() => {
    document.getElementById("BTNCOPY").click();
    document.getElementById("BTNCOPY").click();
  });
  await nextPage(page, 2);
  assert.equal(posts.length, 1);
  assert.equal(await labelText(page), "once");
  assert.deepEqual(errors, []);
  await page.close();
});
