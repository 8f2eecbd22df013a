// The data grid of the test library over a real SQLite table of sixty requests, in a frame
// that must scroll, driven in Chromium: a click on a linked cell far down the list and a click
// on a title, what each post carries, what the server's events received (the form's log
// label), and the next page, which marks the current record's row and scrolls it into view.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { posted } = require("../lib/pages");
const { startService } = require("../lib/service");

// The grid's RowCurrentColor, clWebLightBlue.
const currentColor = "rgb(173, 216, 230)";
const markup = '<b>Fuga</b> "agua" año';

let service;

before(async () => {
  service = await startService({ testLibrary: true });
});

after(async () => {
  if (service) await service.stop();
});

// The grid form in a new session, with the IW_Action and IW_ActionParam of every post it sends.
async function openGrid() {
  const opened = await service.openStartForm({ viewport: { width: 1000, height: 700 }, form: "frmGridTest.html" });
  opened.posts = [];
  opened.page.on("request", (request) => {
    if (request.method() !== "POST" || !request.url().endsWith("/EXEC")) return;
    const fields = new URLSearchParams(request.postData());
    opened.posts.push([fields.get("IW_Action"), fields.get("IW_ActionParam")]);
  });
  return opened;
}

// What the page shows of the grid: the record rows' numbers (their first cells) with their
// background, the frame's scroll position and inner box, and every record row's box.
function gridState(page) {
  return page.evaluate((current) => {
    const frame = document.getElementById("DBGREQUESTS");
    const box = frame.getBoundingClientRect();
    const top = box.top + frame.clientTop;
    const rows = [...document.querySelectorAll("#tblDBGREQUESTS tr[id]")];
    return {
      numbers: rows.map((row) => Number(row.cells[0].textContent)),
      current: rows.filter((row) => getComputedStyle(row).backgroundColor === current)
        .map((row) => Number(row.cells[0].textContent)),
      scrollTop: frame.scrollTop,
      scrollHeight: frame.scrollHeight,
      maxScrollTop: frame.scrollHeight - frame.clientHeight,
      inner: { top, bottom: top + frame.clientHeight },
      rows: rows.map((row) => {
        const r = row.getBoundingClientRect();
        return { top: r.top, bottom: r.bottom, offsetTop: row.offsetTop };
      }),
    };
  }, currentColor);
}

const row = (state, number) => state.rows[state.numbers.indexOf(number)];

// The frame is scrolled as far as it goes towards putting the row 40 pixels below its top,
// and the whole row is in sight.
function assertScrolledTo(state, number) {
  const shown = row(state, number);
  assert.equal(state.scrollTop, Math.min(shown.offsetTop - 40, state.maxScrollTop));
  assert.ok(shown.top >= state.inner.top && shown.bottom <= state.inner.bottom,
            `row ${number} at ${shown.top}..${shown.bottom}, the frame shows ${state.inner.top}..${state.inner.bottom}`);
}

test("a linked cell far down the list posts its column and key, the event moves the list there, and the next page marks and shows that row", async () => {
  const { page, errors, posts } = await openGrid();
  let state = await gridState(page);
  // Every record, the first current, the frame at its top; row 50 lies beyond the frame's box.
  assert.deepEqual(state.numbers, Array.from({ length: 60 }, (_, i) => i + 1));
  assert.deepEqual(state.current, [1]);
  assert.equal(state.scrollTop, 0);
  assert.ok(state.scrollHeight > 3 * (state.inner.bottom - state.inner.top), "the frame must scroll");
  assert.ok(row(state, 50).top > state.inner.bottom, "row 50 must start out of sight");

  // The stored markup arrives as text, in the link of the description cell.
  const cell = await page.evaluate((n) => {
    const cells = [...document.querySelectorAll("#tblDBGREQUESTS tr[id]")][n - 1].cells;
    return { text: cells[1].textContent.trim(), bold: cells[1].querySelectorAll("b").length,
             links: [...cells[1].querySelectorAll("a")].map((a) => a.textContent) };
  }, 50);
  assert.deepEqual(cell, { text: markup, bold: 0, links: [markup] });

  assert.deepEqual(await posted(page, () => page.getByText(markup, { exact: true }).click()),
                   ["OnClick column 2 value=50 current=50"]);
  assert.deepEqual(posts, [["DBGREQUESTS", "2_50"]]);
  state = await gridState(page);
  assert.deepEqual(state.current, [50]);
  assert.ok(state.scrollTop > 0);
  assertScrolledTo(state, 50);

  // A link in the middle, out of sight again: the list moves back and the frame with it, which
  // now has room to put the row 40 pixels below its top.
  assert.deepEqual(await posted(page, () => page.getByText("Request 30", { exact: true }).click()),
                   ["OnClick column 2 value=30 current=30"]);
  assert.deepEqual(posts, [["DBGREQUESTS", "2_50"], ["DBGREQUESTS", "2_30"]]);
  state = await gridState(page);
  assert.deepEqual(state.current, [30]);
  assertScrolledTo(state, 30);
  assert.equal(row(state, 30).top - state.inner.top, 40);
  assert.deepEqual(errors, []);
  await page.close();
});

test("a title with OnTitleClick posts C and its column index, counting the invisible column; the other titles are no links", async () => {
  const { page, errors, posts } = await openGrid();
  const titles = await page.evaluate(() => [...document.querySelectorAll("#tblDBGREQUESTS tr:not([id]) td")]
    .map((td) => [td.textContent.trim(), td.querySelectorAll("a").length]));
  assert.deepEqual(titles, [["Request", 0], ["Description", 0], ["Urgent", 1]]);
  assert.deepEqual(await posted(page, () => page.getByText("Urgent", { exact: true }).click()),
                   ["OnTitleClick column 3"]);
  assert.deepEqual(posts, [["DBGREQUESTS", "C3"]]);
  // The list did not move.
  const state = await gridState(page);
  assert.deepEqual(state.current, [1]);
  assert.equal(state.scrollTop, 0);
  assert.deepEqual(errors, []);
  await page.close();
});
