// What the browser tests read and wait for in the test library's pages: the log label in
// which the test forms show what the server saw, the next page after a post, a new page's
// layout at rest, and a condition of the test itself.
"use strict";

const assert = require("node:assert/strict");

// The log label's lines, one per event the server saw.
async function logLines(page) {
  const text = await page.evaluate(() => document.getElementById("LBLLOG").innerText);
  return text === "" ? [] : text.split("\n");
}

// Waits for the log label to hold at least `count` lines and returns them.
async function waitForLogLines(page, count) {
  await page.waitForFunction((n) => {
    const text = document.getElementById("LBLLOG").innerText;
    return (text === "" ? 0 : text.split("\n").length) >= n;
  }, count);
  return logLines(page);
}

// Waits for the page of track number `track` to have run its Initialize() (which makes the
// form's client object, and shows the messages the server queued).
const pageReady = (page, track) =>
  page.waitForFunction((t) => window.GTrackID === t && window.IWCLForm, track);

// Runs `action`, which posts the page, and waits for the next page.
async function post(page, action) {
  const track = await page.evaluate(() => GTrackID);
  await action();
  await pageReady(page, track + 1);
}

// Runs `action`, which posts the page, and waits for the next page; returns the log lines the
// post added.
async function posted(page, action) {
  const [track, before] = [await page.evaluate(() => GTrackID), (await logLines(page)).length];
  await action();
  await pageReady(page, track + 1);
  return (await logLines(page)).slice(before);
}

// Waits for the client library's re-layout of a new page, which runs on timers, to come to
// rest: two readings of every element's box 100 ms apart that agree.
async function layoutSettled(page) {
  let last = "";
  for (let reading = 0; reading < 30; reading++) {
    const boxes = await page.evaluate(() => [...document.querySelectorAll("[id]")].map((e) => {
      const r = e.getBoundingClientRect();
      return [r.left, r.top, r.width, r.height].join(",");
    }).join(";"));
    if (boxes === last) return;
    last = boxes;
    await page.waitForTimeout(100);
  }
  throw new Error("the page's layout did not come to rest");
}

// Waits for a condition of the test (not of the page), five seconds at most.
async function waitUntil(condition) {
  for (let i = 0; i < 200 && !condition(); i++) await new Promise((r) => setTimeout(r, 25));
  assert.ok(condition(), "timed out");
}

module.exports = { layoutSettled, logLines, pageReady, post, posted, waitForLogLines, waitUntil };
