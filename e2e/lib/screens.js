// What the browser tests of the service's own screens share: dates as the database and the
// pages write them, posting a page and waiting for the next, signing in through the login
// screen, what the home screen shows, and a screen's controls as drawn or placed.
"use strict";

const assert = require("node:assert/strict");
const { layoutSettled, post } = require("./pages");

// The day serial (days since 30 December 1899, local time) of a date, as the database keeps it.
const serialOf = (date) => date.getTime() / 86400000 + 25569 - date.getTimezoneOffset() / 1440;
// A date in the server's short date format (dd/mm/yyyy).
const pad = (n) => String(n).padStart(2, "0");
const shortDate = (d) => `${pad(d.getDate())}/${pad(d.getMonth() + 1)}/${d.getFullYear()}`;

// A new session of `service` signed in through the login screen, with every post it sends
// counted (`posts`).
async function signIn(service, name, password, viewport = { width: 1000, height: 700 }) {
  const opened = await service.openStartForm({ viewport });
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

// What the home screen shows: header, caption, both lists (rows by their first cells, the
// current one marked light blue), the labels, the comments and the buttons' states.
function homeState(page) {
  return page.evaluate(() => {
    const text = (id) => document.getElementById(id).innerText;
    const table = (id) => [...document.querySelectorAll(`#${id} tr[id]`)];
    const current = (rows) => rows.findIndex((row) =>
      getComputedStyle(row).backgroundColor === "rgb(173, 216, 230)");
    const requests = table("tblDBGREQUEST");
    const notes = table("tblDBGREQUESTSTATUS");
    return {
      title: document.title,
      user: text("LBLUSUARIOFRAENCABEZADO1"),
      date: text("LBLFECHAFRAENCABEZADO1"),
      caption: document.querySelector("#tblDBGREQUEST caption").innerText,
      requests: requests.map((row) => [...row.cells].map((cell) => cell.innerText.trim())),
      currentRequest: current(requests),
      dial: text("EDTDIAL"),
      followUp: text("LBLREQUESTSTATUSTITLE"),
      notes: notes.map((row) => [...row.cells].map((cell) => cell.innerText.trim())),
      currentNote: current(notes),
      noteDate: text("EDTSTATUSDIAL"),
      comments: document.getElementById("DBMMCOMMENTS").value,
      remind: !document.getElementById("BTNRECORDAR").disabled,
      cancel: !document.getElementById("BTNCANCELAR").disabled,
      mail: document.getElementById("BTNENVIAEMAIL") !== null,
    };
  });
}

// Asserts how the browser drew a screen whose region `region` fills a window `width` wide:
// every control of `design` ({ id: [left, top, width, height] } as the screen places it in the
// region; [left, top] for one sized by its text) in its place relative to the others and of
// its size, the whole moved by no more than the runtime's placement inside a bordered region
// (up to 3 pixels up and left); the region as wide as the window, and the header's sign-out
// link at its right edge. Read once the page's layout has come to rest.
async function assertDrawnAsDesigned(page, region, width, design) {
  await layoutSettled(page);
  const drawn = await page.evaluate(([all, ids]) => {
    const box = (id) => {
      const r = document.getElementById(id).getBoundingClientRect();
      return [r.left, r.top, r.width, r.height].map(Math.round);
    };
    const first = Object.keys(all)[0];
    const shift = [box(first)[0] - all[first][0], box(first)[1] - all[first][1]];
    const boxes = Object.fromEntries(Object.keys(all).map((id) => {
      const [left, top, w, h] = box(id);
      return [id, [left - shift[0], top - shift[1], w, h].slice(0, all[id].length)];
    }));
    return { shift, boxes, rights: ids.map((id) => box(id)[0] + box(id)[2]) };
  }, [design, [region, "LNKLOGOUTFRAENCABEZADO1"]]);
  assert.deepEqual(drawn.boxes, design);
  assert.ok(drawn.shift.every((d) => d >= -3 && d <= 0), `shifted by ${drawn.shift}`);
  const [regionRight, linkRight] = drawn.rights;
  assert.equal(regionRight, width);
  assert.ok(regionRight - linkRight >= 0 && regionRight - linkRight <= 8,
            `link ends at ${linkRight}`);
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

module.exports = {
  assertDrawnAsDesigned, homeState, post, serialOf, shortDate, shownOn, signIn,
};
