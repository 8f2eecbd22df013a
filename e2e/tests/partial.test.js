// Partial updates against the browser tests' own partial-update form: a post through the hidden
// submit frame changes the main page in place (a caption, a visibility, a place), keeps the
// document, carries the next track number and leaves the page usable for the next post; a post
// that leaves the form loads the next page in the main window.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { startService } = require("../lib/service");

let service;

before(async () => {
  service = await startService({ testLibrary: true });
});

after(async () => {
  if (service) await service.stop();
});

// What the main page shows of the controls the button changes, and its post state.
function pageState(page) {
  return page.evaluate(() => {
    const moved = document.getElementById("BTNMOVED").getBoundingClientRect();
    const frameForm = document.getElementById("SubmitFrame").contentDocument.forms.SubmitForm;
    return {
      caption: document.getElementById("LBLCAPTION").innerText,
      captionSizedByItself: document.getElementById("LBLCAPTION").style.width === "",
      toggledVisibility: getComputedStyle(document.getElementById("LBLTOGGLED")).visibility,
      movedLeft: Math.round(moved.left),
      marker: window.partialMarker,
      trackID: window.GTrackID,
      frameTrackID: frameForm.elements.IW_TrackID_.value,
      locked: window.locked,
      lockerShown: getComputedStyle(document.getElementById("locker")).display !== "none",
      submitting: window.GSubmitting,
    };
  });
}

// Clicks the change button and waits until the reply has updated the caption and released
// the page.
async function clickChange(page, caption) {
  await page.click("#BTNCHANGE");
  await page.waitForFunction((text) => document.getElementById("LBLCAPTION").innerText === text &&
                                       window.locked === false && window.GSubmitting === false, caption);
}

test("a partial-update post changes the page in place, the next one works too, leaving loads a page",
     async () => {
  const { page, errors } = await service.openStartForm({ viewport: { width: 1000, height: 700 } });
  await page.click("#BTNPARTIAL");
  await page.waitForFunction(() => window.GIsPartialUpdate === true && window.IWCLForm &&
                                   window.locked === false);
  const updatePosts = [];
  page.on("request", (request) => {
    if (request.url().includes("/UPDATE")) updatePosts.push(request.postData());
  });
  const documentLoads = [];
  page.on("framenavigated", (frame) => { if (frame === page.mainFrame()) documentLoads.push(frame.url()); });
  await page.evaluate(() => { window.partialMarker = "same document"; });
  const before = await pageState(page);
  assert.equal(before.caption, "Not clicked");
  assert.equal(before.captionSizedByItself, true);
  assert.equal(before.toggledVisibility, "visible");
  assert.equal(before.frameTrackID, String(before.trackID));

  // The post carries the edit's text through the frame's submit form; the reply shows the new
  // caption, hides the toggled label, moves the button, and the page is free again.
  await page.fill("#EDTTEXT", "Água <1>");
  await clickChange(page, "Clicked 1 text=Água <1>");
  const first = await pageState(page);
  assert.deepEqual(first, {
    ...before,
    caption: "Clicked 1 text=Água <1>",
    toggledVisibility: "hidden",
    movedLeft: before.movedLeft + 100,
    trackID: before.trackID + 1,
    frameTrackID: String(before.trackID + 1),
  });
  assert.equal(updatePosts.length, 1);
  assert.match(updatePosts[0], new RegExp(`IW_TrackID_=${before.trackID}(&|$)`));
  assert.match(updatePosts[0], /IW_Action=BTNCHANGE/);

  // A second post goes with the new track number (an old one would be ignored by the server)
  // and shows the hidden label again.
  await clickChange(page, "Clicked 2 text=Água <1>");
  const second = await pageState(page);
  assert.equal(second.toggledVisibility, "visible");
  assert.equal(second.movedLeft, before.movedLeft + 200);
  assert.equal(second.marker, "same document");
  assert.equal(second.locked, false);
  assert.equal(second.lockerShown, false);
  assert.match(updatePosts[1], new RegExp(`IW_TrackID_=${before.trackID + 1}(&|$)`));
  assert.deepEqual(documentLoads, []);

  // A post that leaves the form cannot be shown in place: the main window loads the start
  // form's page, with the track number the post's reply made current.
  await page.click("#BTNBACK");
  await page.waitForFunction(() => document.getElementById("LBLLOG") !== null && window.IWCLForm &&
                                   window.locked === false);
  assert.equal(documentLoads.length, 1);
  const after = await page.evaluate(() => [window.GIsPartialUpdate, window.GTrackID, window.partialMarker]);
  assert.deepEqual(after, [false, before.trackID + 4, undefined]);
  assert.deepEqual(errors, []);
  await page.close();
});
