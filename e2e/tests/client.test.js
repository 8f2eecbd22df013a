// The client script library against the browser tests' own form (the test library): callbacks
// and their replies, the callback queue, a server problem, the splitter region, a second click
// while a post runs, and the functions that pages and controls call.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { layoutSettled, logLines, waitForLogLines, waitUntil } = require("../lib/pages");
const { startService } = require("../lib/service");

let service;

before(async () => {
  service = await startService({ testLibrary: true });
});

after(async () => {
  if (service) await service.stop();
});

// The test form in a new session, at a known window size.
const openTestForm = () => service.openStartForm({ viewport: { width: 1000, height: 700 } });

// The callback requests the page sends: method, URL and posted fields.
function recordCallbacks(page) {
  const sent = [];
  page.on("request", (request) => {
    if (!request.url().includes("/callback/")) return;
    sent.push({
      method: request.method(),
      url: request.url(),
      fields: Object.fromEntries(new URLSearchParams(request.postData() || "")),
    });
  });
  return sent;
}

test("a callback reaches its server event and its reply updates the page in place", async () => {
  const { page, errors, dialogs } = await openTestForm();
  const sent = recordCallbacks(page);
  const appID = await page.evaluate(() => { window.sameDocument = true; return GAppID; });

  // A click with the mouse: the event's details travel, the sender makes it a POST that
  // carries only the page's own fields, since no control changed.
  const button = await page.locator("#BTNASYNC").boundingBox();
  const x = Math.round(button.x + 10);
  const y = Math.round(button.y + 5);
  await page.mouse.click(x, y);
  assert.deepEqual(await waitForLogLines(page, 1),
                   [`BTNASYNC.DoOnAsyncClick x=${x} y=${y} which=1 modifiers= text=`]);
  assert.equal(sent[0].method, "POST");
  assert.equal(sent[0].url, `${service.base}/RequestQX9/callback/1/${appID}` +
                            `?callback=BTNASYNC.DoOnAsyncClick&x=${x}&y=${y}&which=1&modifiers=`);
  assert.equal(sent[0].fields.IW_SessionID_, appID);
  assert.equal(sent[0].fields.IW_TrackID_, "1");
  assert.equal(sent[0].fields.EDTTEXT, undefined);

  // A change of the edit posts its value; the server's new text comes back into the edit.
  await page.fill("#EDTTEXT", "Lámpara <1>");
  await page.press("#EDTTEXT", "Tab");
  await page.waitForFunction(() => document.getElementById("EDTTEXT").value === "[Lámpara <1>]");
  assert.equal((await logLines(page))[1],
               "EDTTEXT.DoOnAsyncChange x= y= which= modifiers= text=Lámpara <1>");
  assert.equal(sent[1].fields.EDTTEXT, "Lámpara <1>");

  // Same document, same track number: the next post is current and runs its event.
  assert.deepEqual(await page.evaluate(() => [window.sameDocument, GTrackID]), [true, 1]);
  await page.click("#BTNPOST");
  await page.waitForFunction(() => window.GTrackID === 2 && window.locked === false);
  assert.equal((await logLines(page))[2], "OnClick BTNPOST text=[Lámpara <1>] split=100");
  assert.deepEqual(dialogs, []);
  assert.deepEqual(errors, []);
  await page.close();
});

test("callbacks go one at a time, in order, and none after a server problem", async () => {
  const { page, errors } = await openTestForm();
  const sent = recordCallbacks(page);
  const held = [];
  await page.route(/\/callback\//, (route) => held.push(route));

  // A click on the button is sent; a label callback raised meanwhile waits.
  await page.evaluate(() => {
    document.getElementById("BTNASYNC").click();
    processAjaxEvent(null, null, "LBLASYNC.DoOnAsyncClick", true, null, true);
  });
  await waitUntil(() => held.length === 1);
  await page.evaluate(() => {
    // While others wait, a repeat of the callback sent last is dropped unless it asks to be
    // appended.
    processAjaxEvent(null, null, "BTNASYNC.DoOnAsyncClick", false, null, false);
    processAjaxEvent(null, null, "BTNASYNC.DoOnAsyncClick", false, null, true);
    // A changed control goes along with the next callback sent.
    document.getElementById("EDTTEXT").value = "typed meanwhile";
    OnControlContentChange({ target: document.getElementById("EDTTEXT") });
  });
  for (let i = 1; i <= 3; i++) {
    await held.shift().continue();
    if (i < 3) await waitUntil(() => held.length === 1);
  }
  const lines = await waitForLogLines(page, 3);
  assert.deepEqual(lines, [
    "BTNASYNC.DoOnAsyncClick x=0 y=0 which=1 modifiers= text=",
    "LBLASYNC.DoOnAsyncClick x= y= which= modifiers= text=typed meanwhile",
    "BTNASYNC.DoOnAsyncClick x= y= which= modifiers= text=typed meanwhile",
  ]);
  // With neither a sender nor a changed control the callback is a GET.
  assert.deepEqual(sent.map((s) => s.method), ["POST", "POST", "GET"]);
  assert.equal(sent[1].fields.EDTTEXT, "typed meanwhile");
  assert.equal(await page.evaluate(() => window.ChangedControls), "");

  // An empty error reply: the server is in trouble, and nothing is sent any more.
  await page.unroute(/\/callback\//);
  await page.route(/\/callback\//, (route) => route.fulfill({ status: 500, body: "" }), { times: 1 });
  await page.evaluate(() => processAjaxEvent(null, null, "LBLASYNC.DoOnAsyncClick", true, null, true));
  await waitUntil(() => sent.length === 4);
  await page.evaluate(() => new Promise((r) => setTimeout(r, 100)));
  await page.evaluate(() => processAjaxEvent(null, null, "LBLASYNC.DoOnAsyncClick", true, null, true));
  await page.evaluate(() => new Promise((r) => setTimeout(r, 100)));
  assert.equal(sent.length, 4);
  assert.equal((await logLines(page)).length, 3);
  // The browser reports the failed reply, and nothing else went wrong.
  assert.deepEqual(errors, ["Failed to load resource: the server responded with a status of 500 (Internal Server Error)"]);
  await page.close();
});

test("a dragged splitter resizes live and its size travels with the post; a second click does nothing", async () => {
  const { page, errors } = await openTestForm();
  await layoutSettled(page);
  const box = (id) => page.evaluate((i) => {
    const e = document.getElementById(i);
    return [e.offsetTop, e.offsetHeight];
  }, id);
  const [, regionHeight] = await box("REGTOP");
  const [mainTop, mainHeight] = await box("REGMAIN");
  const grip = await page.locator("#REGTOP_grip").boundingBox();
  await page.mouse.move(grip.x + 50, grip.y + 2);
  await page.mouse.down();
  await page.mouse.move(grip.x + 50, grip.y + 32, { steps: 3 });
  await page.mouse.move(grip.x + 50, grip.y + 62, { steps: 3 });
  // The region follows the pointer and the client-aligned region below gives way.
  assert.deepEqual(await box("REGTOP"), [0, regionHeight + 60]);
  assert.deepEqual(await box("REGMAIN"), [mainTop + 60, mainHeight - 60]);
  await page.mouse.up();
  assert.match(await page.inputValue("#REGTOP_data"), /^0,0,\d+,160$/);

  // The post goes; while its reply is held back, a click on another button does nothing.
  // (The mouse, since a click action would wait for the navigation held back here, and the
  // page is not asked anything while that navigation is pending.)
  const posts = [];
  let release;
  const released = new Promise((r) => { release = r; });
  await page.route(/\/EXEC$/, async (route) => {
    posts.push(route.request().postData());
    await released;
    await route.continue();
  });
  const post = await page.locator("#BTNPOST").boundingBox();
  const other = await page.locator("#BTNOTHER").boundingBox();
  await page.mouse.click(post.x + 10, post.y + 5);
  await waitUntil(() => posts.length === 1);
  await page.mouse.click(other.x + 10, other.y + 5);
  release();
  await page.waitForFunction(() => window.GTrackID === 2 && window.locked === false);
  assert.equal(posts.length, 1);
  assert.deepEqual(await logLines(page), ["OnClick BTNPOST text= split=160"]);
  // The new page is rendered at the size the server took.
  await layoutSettled(page);
  assert.deepEqual(await box("REGTOP"), [0, regionHeight + 60]);
  assert.deepEqual(await box("REGMAIN"), [mainTop + 60, mainHeight - 60]);
  assert.deepEqual(errors, []);
  await page.close();
});

// The functions of the library that pages and controls call by name.
const LIBRARY_FUNCTIONS = [
  "StaticInit", "InitRects", "NewIWCL", "CreateAnchors", "Rect", "CopyRect", "ReleaseIWCL",
  "ReleaseLock", "ActivateLock", "IsLocked", "SetBusy", "SubmitClickConfirm", "SubmitClick",
  "CheckReturnKey", "ImageClick", "ImageSetEvent", "Status", "FindElem", "FindFocus",
  "LocateElement", "getSubmitForm", "Body_OnResize", "OnControlContentChange", "processAjaxEvent",
  "topmost", "LoadURL", "NewWindow", "CoolCheckBoxToggle", "checkBoxClick", "SelectRadioButton",
  "JSTabControl", "JSTabPage", "debugAlert",
];

test("the library's files load and define what pages call; radio, partial-update, finder and window helpers", async () => {
  const { page, errors } = await openTestForm();
  const missing = await page.evaluate(async (names) => {
    // The files no page of the test form loads.
    for (const file of ["tabcontrol.js", "IWMenu.js", "IWCSData.js"]) {
      const script = document.createElement("script");
      script.src = `${GURLBase}/js/${file}_9.0.17`;
      await new Promise((resolve, reject) => {
        script.onload = resolve;
        script.onerror = reject;
        document.head.appendChild(script);
      });
    }
    return names.filter((name) => typeof window[name] !== "function");
  }, LIBRARY_FUNCTIONS);
  assert.deepEqual(missing, []);

  // A radio group: one button checked by value, the others cleared, the group noted as changed.
  const radios = await page.evaluate(() => {
    const holder = document.createElement("div");
    holder.innerHTML = '<input type="radio" name="RADTEST" value="a" checked>' +
                       '<input type="radio" name="RADTEST" value="b">';
    document.body.appendChild(holder);
    SelectRadioButton("RADTEST", "b");
    return [...document.getElementsByName("RADTEST")].map((r) => r.checked).concat(window.ChangedControls);
  });
  assert.deepEqual(radios, [false, true, "RADTEST,"]);

  // The partial-update helpers run in a frame and change the page that holds it: a replaced
  // element, a client object moved and hidden. The frame's load releases the lock of the post.
  const updated = await page.evaluate(async () => {
    GSubmitting = true;
    ActivateLock();
    const frame = document.createElement("iframe");
    frame.srcdoc = `<script src="${GURLBase}/js/IWPartialUpdate.js_9.0.17"></` + "script>";
    await new Promise((resolve) => {
      frame.onload = resolve;
      document.body.appendChild(frame);
    });
    await new Promise((r) => setTimeout(r, 0));
    const lockReleased = !IsLocked();
    GSubmitting = false;
    frame.contentWindow.IWUpdate("LBLASYNC", '<span id="LBLASYNC">replaced</span>');
    frame.contentWindow.IWCLUpdate("BTNASYNC", false, 5, 6, 70, 20);
    const button = document.getElementById("BTNASYNC");
    return {
      lockReleased,
      label: document.getElementById("LBLASYNC").textContent,
      button: [button.offsetLeft, button.offsetTop, button.offsetWidth, button.offsetHeight,
               button.style.visibility, BTNASYNCIWCL.Visible, BTNASYNCIWCL.Rect.Width],
    };
  });
  assert.deepEqual(updated, {
    lockReleased: true,
    label: "replaced",
    button: [5, 6, 70, 20, "hidden", false, 70],
  });

  // The finder by id (the submit form's input when asked, the function applied to what is
  // found), and the top window, from the page and from a frame that loads the library.
  const located = await page.evaluate(async () => {
    const applied = [];
    const label = LocateElement("LBLASYNC", false, (e) => applied.push(e.id));
    const input = LocateElement("IW_Action", true, (e) => applied.push(e.name));
    const missing = [LocateElement("IW_Action", false), LocateElement("NOSUCH", true, () => applied.push("?"))];
    const frame = document.createElement("iframe");
    frame.srcdoc = `<script src="${GURLBase}/js/IWCommon.js_9.0.17"></` + "script>";
    await new Promise((resolve) => {
      frame.onload = resolve;
      document.body.appendChild(frame);
    });
    return [label.tagName, input.form.name, missing, applied, topmost() === window,
            frame.contentWindow.topmost() === window];
  });
  assert.deepEqual(located, ["SPAN", "SubmitForm", [null, null], ["LBLASYNC", "IW_Action"], true, true]);

  // A new window by name and options; a navigation that replaces the page in the history.
  const [popup] = await Promise.all([
    page.waitForEvent("popup"),
    page.evaluate(() => { window.opened = NewWindow("/files/SessionEnd.htm", "QXTEST", "width=300,height=200"); }),
  ]);
  await popup.waitForLoadState();
  assert.deepEqual([popup.url(), await popup.evaluate(() => window.name)],
                   [`${service.base}/files/SessionEnd.htm`, "QXTEST"]);
  assert.equal(await page.evaluate(() => window.opened.closed), false);
  await popup.close();
  const history = await page.evaluate(() => history.length);
  await Promise.all([page.waitForURL(/\/files\/SessionEnd\.htm$/),
                     page.evaluate(() => LoadURL("/files/SessionEnd.htm"))]);
  assert.equal(await page.evaluate(() => history.length), history);
  assert.deepEqual(errors, []);
  await page.close();
});
