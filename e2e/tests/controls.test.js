// Every control on the controls test form of the test library, driven in Chromium as a person
// drives it: what each post or callback carries, the server event it runs (the form's log
// label shows what the server saw), the page that comes back, the pictures the pages show,
// and posts of malformed values that must fail clearly and change nothing.
"use strict";

const assert = require("node:assert/strict");
const path = require("node:path");
const { after, before, test } = require("node:test");
const { logLines, pageReady, posted, waitUntil } = require("../lib/pages");
const { startService } = require("../lib/service");

// The public pictures the form's image files and image button name, put in this run's Files.
const pictures = path.join(__dirname, "..", "..", "tests", "browser", "pictures");

let service;

before(async () => {
  service = await startService({
    testLibrary: true,
    publicFiles: ["Mark.gif", "Photo.jpg", "PhotoHot.jpg"].map((f) => path.join(pictures, f)),
  });
});

after(async () => {
  if (service) await service.stop();
});

const openForm = () => service.openStartForm({ viewport: { width: 1000, height: 700 },
                                               form: "frmControlsTest.html" });

// Posts the submit form as the page would, with some of its fields changed after the page's
// values were copied in.
function postEdited(page, fields) {
  return posted(page, () => page.evaluate((f) => {
    const form = getSubmitForm();
    CopyValuesToSubmitForm(form);
    for (const [name, value] of Object.entries(f)) form.elements[name].value = value;
    form.submit();
  }, fields));
}

const shown = (page, id) => page.evaluate((i) => getComputedStyle(document.getElementById(i)).display, id);

test("typed memo lines, an edit, a multiple choice and the chosen tab travel with a post and come back", async () => {
  const { page, errors } = await openForm();
  assert.deepEqual([await shown(page, "PAGINPUTS"), await shown(page, "PAGPICTURES")], ["block", "none"]);
  await page.fill("#EDTNAME", "Señor O'Neil");
  await page.click("#MEMNOTES");
  await page.keyboard.type("first line");
  await page.keyboard.press("Enter");
  await page.keyboard.type("second <line>");
  await page.selectOption("#LSTMULTI", ["1", "3"]);
  // Choosing a tab shows its page, hides the other and posts nothing by itself.
  await page.click("#PAGETITLE_PAGPICTURES");
  assert.deepEqual([await shown(page, "PAGINPUTS"), await shown(page, "PAGPICTURES")], ["none", "block"]);
  assert.equal(await page.inputValue("#TABMAIN_input"), "1");
  assert.equal(await page.evaluate(() => GTrackID), 1);

  assert.deepEqual(await posted(page, () => page.click("#BTNPOST")),
                   ["OnClick BTNPOST tab=1 name=Señor O'Neil notes=2:first line|second <line> multi=1,3"]);
  // The next page shows what the server holds.
  assert.deepEqual([await shown(page, "PAGINPUTS"), await shown(page, "PAGPICTURES")], ["none", "block"]);
  assert.equal(await page.inputValue("#MEMNOTES"), "first line\nsecond <line>");
  assert.equal(await page.inputValue("#EDTNAME"), "Señor O'Neil");
  assert.deepEqual(await page.evaluate(() => [...document.getElementById("LSTMULTI").options]
                                         .map((o) => o.selected)), [false, true, false, true]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("a check box click toggles it and posts once, firing OnChange once: the box, its caption, the drawn box", async () => {
  const { page, errors } = await openForm();
  assert.deepEqual(await posted(page, () => page.click("#CHKNORMAL_CHECKBOX")),
                   ["OnChange CHKNORMAL checked=1", "OnClick CHKNORMAL checked=1"]);
  assert.equal(await page.isChecked("#CHKNORMAL_CHECKBOX"), true);
  assert.deepEqual(await posted(page, () => page.click("#CHKNORMAL_CHKBCAPTION")),
                   ["OnChange CHKNORMAL checked=0", "OnClick CHKNORMAL checked=0"]);
  assert.equal(await page.isChecked("#CHKNORMAL_CHECKBOX"), false);

  const cool = () => page.evaluate(() => [document.getElementById("CHKCOOL_CHECKBOX").value,
                                          document.images.CHKCOOL_Image.src.replace(/.*\//, "")]);
  assert.deepEqual(await cool(), ["Off", "CoolCheckBox_False.gif"]);
  assert.deepEqual(await posted(page, () => page.click("img[name=CHKCOOL_Image]")),
                   ["OnChange CHKCOOL checked=1", "OnClick CHKCOOL checked=1"]);
  assert.deepEqual(await cool(), ["On", "CoolCheckBox_True.gif"]);
  assert.deepEqual(await posted(page, () => page.click("img[name=CHKCOOL_Image]")),
                   ["OnChange CHKCOOL checked=0", "OnClick CHKCOOL checked=0"]);
  assert.deepEqual(await cool(), ["Off", "CoolCheckBox_False.gif"]);
  // The normal box stayed as it was through the drawn box's posts.
  assert.equal(await page.isChecked("#CHKNORMAL_CHECKBOX"), false);
  // A drawn box without OnClick flips where it is: no post, and its link to "#" goes nowhere.
  const quiet = () => page.evaluate(() => [document.getElementById("CHKQUIET_CHECKBOX").value,
                                           location.href.endsWith("#"), GTrackID]);
  const [, , track] = await quiet();
  await page.click("img[name=CHKQUIET_Image]");
  assert.deepEqual(await quiet(), ["On", false, track]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("choosing in a combo box posts its new index, and a list box posts a double click", async () => {
  const { page, errors } = await openForm();
  assert.deepEqual(await posted(page, () => page.selectOption("#CMBPLAIN", "2")),
                   ["OnChange CMBPLAIN index=2 text=Two param="]);
  // An item is chosen: the no-selection option is no longer offered.
  assert.deepEqual(await page.evaluate(() => [...document.getElementById("CMBPLAIN").options].map((o) => o.value)),
                   ["0", "1", "2"]);
  assert.equal(await page.inputValue("#CMBPLAIN"), "2");
  assert.deepEqual(await posted(page, () => page.selectOption("#CMBVALUES", "g")),
                   ["OnChange CMBVALUES index=1 text=g param="]);
  assert.equal(await page.inputValue("#CMBVALUES"), "g");

  // The drawn combo box: its button opens the list, an item posts its index.
  await page.click("#CMBENHANCED_Button");
  assert.equal(await page.isVisible("#CMBENHANCED_DropDown"), true);
  assert.deepEqual(await posted(page, () => page.click("#CMBENHANCED_item_2")),
                   ["OnChange CMBENHANCED index=2 text=East param=2"]);
  assert.equal(await page.textContent("#CMBENHANCED_Text"), "East");
  assert.equal(await page.isVisible("#CMBENHANCED_DropDown"), false);

  assert.deepEqual(await posted(page, () => page.dblclick("#LSTDOUBLE option[value='1']")),
                   ["OnDblClick LSTDOUBLE index=1 text=Beta param=DblClick"]);
  assert.equal(await page.inputValue("#LSTDOUBLE"), "1");
  // Every choice is still held.
  assert.deepEqual(await Promise.all(["#CMBPLAIN", "#CMBVALUES"].map((s) => page.inputValue(s))), ["2", "g"]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("an image posts the click position, an image button and links post once; a declined question posts nothing", async () => {
  const { page, errors, dialogs } = await openForm();
  await page.click("#PAGETITLE_PAGPICTURES");
  const image = await page.locator("img[name=IMGDYNAMIC]").boundingBox();
  assert.deepEqual(await posted(page, () => page.mouse.click(image.x + 13, image.y + 7)),
                   ["OnMouseDown IMGDYNAMIC x=13 y=7"]);

  // The image button shows its hot picture under the mouse; a button's status text shows in
  // the status line while the mouse is over it.
  const source = () => page.evaluate(() => [document.getElementById("IBTPOST").src.replace(/.*\//, ""),
                                            window.status]);
  await page.hover("#IBTPOST");
  assert.deepEqual(await source(), ["PhotoHot.jpg", ""]);
  await page.hover("#BTNPOST");
  assert.deepEqual(await source(), ["Photo.jpg", "Posts the page"]);
  await page.hover("#LBLLOG");
  assert.deepEqual(await source(), ["Photo.jpg", ""]);

  // While the image button's post is held back, a click on a link does nothing.
  const posts = [];
  let release;
  const released = new Promise((r) => { release = r; });
  await page.route(/\/EXEC$/, async (route) => {
    posts.push(new URLSearchParams(route.request().postData()).get("IW_Action"));
    await released;
    await route.continue();
  });
  const button = await page.locator("#IBTPOST").boundingBox();
  const link = await page.locator("#LNKPOST").boundingBox();
  const before = (await logLines(page)).length;
  await page.mouse.click(button.x + 5, button.y + 5);
  await waitUntil(() => posts.length === 1);
  await page.mouse.click(link.x + 5, link.y + 5);
  release();
  await pageReady(page, 3);
  assert.deepEqual(posts, ["IBTPOST"]);
  assert.deepEqual((await logLines(page)).slice(before), ["OnClick IBTPOST param="]);
  await page.unroute(/\/EXEC$/);

  assert.deepEqual(await posted(page, () => page.click("#LNKPOST")), ["OnClick LNKPOST param="]);

  // The question declined: nothing is posted and the page stays usable.
  const sent = [];
  page.on("request", (request) => sent.push(request.url()));
  page.removeAllListeners("dialog");
  page.once("dialog", (dialog) => { dialogs.push(dialog.message()); dialog.dismiss(); });
  await page.click("#LNKCONFIRM");
  await page.waitForTimeout(200);
  assert.deepEqual(sent, []);
  assert.deepEqual(await page.evaluate(() => [GTrackID, IsLocked(), GSubmitting]), [4, false, false]);
  page.once("dialog", (dialog) => { dialogs.push(dialog.message()); dialog.accept(); });
  assert.deepEqual(await posted(page, () => page.click("#LNKCONFIRM")), ["OnClick LNKCONFIRM param="]);
  assert.deepEqual(dialogs, ["Post through the link?", "Post through the link?"]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("every picture the pages show is a JPEG or GIF that the browser decodes at its size", async () => {
  const { page, errors } = await openForm();
  const urls = await page.evaluate(() => {
    const src = (name) => document.getElementsByName(name)[0].getAttribute("src");
    return {
      dynamic: src("IMGDYNAMIC"), gif: src("IMGGIF"), file: src("IMGFILE"), fileNC: src("IMGFILENC"),
      url: src("IMGURL"), button: src("IBTPOST"), hot: "/RequestQX9/Files/PhotoHot.jpg",
      coolFalse: src("CHKCOOL_Image"), coolTrue: src("CHKCOOL_Image").replace("False", "True"),
      arrow: document.querySelector("#CMBENHANCED_Button img").getAttribute("src"), icon: "/favicon.ico",
    };
  });
  assert.match(urls.dynamic, /^\/RequestQX9\/Cache\/.*\/JPG\w+\.tmp$/);
  assert.match(urls.gif, /^\/RequestQX9\/Cache\/.*\/GIF\w+\.tmp$/);
  const decoded = await page.evaluate(async (all) => {
    const result = {};
    for (const [key, url] of Object.entries(all)) {
      const reply = await fetch(url);
      const bytes = new Uint8Array(await reply.arrayBuffer());
      const image = new Image();
      image.src = url;
      await image.decode();
      result[key] = [reply.headers.get("Content-Type"), [...bytes.slice(0, 3)].map((b) => b.toString(16)).join(" "),
                     image.naturalWidth, image.naturalHeight];
    }
    return result;
  }, urls);
  const jpeg = (w, h) => ["image/jpeg", "ff d8 ff", w, h];
  const gif = (w, h) => ["image/gif", "47 49 46", w, h];
  assert.deepEqual(decoded, {
    dynamic: jpeg(60, 40), gif: gif(64, 48), file: jpeg(64, 48), fileNC: gif(60, 40), url: gif(60, 40),
    button: jpeg(64, 48), hot: jpeg(64, 48), coolFalse: gif(10, 12), coolTrue: gif(10, 12),
    arrow: gif(17, 18), icon: ["image/x-ico", "0 0 1", 16, 16],
  });
  // The pictures in the page itself are shown at those sizes.
  await page.click("#PAGETITLE_PAGPICTURES");
  assert.deepEqual(await page.evaluate(() => ["IMGDYNAMIC", "IMGGIF", "IMGFILE", "IMGFILENC", "IMGURL"].map((n) => {
    const image = document.getElementsByName(n)[0];
    return [image.complete, image.naturalWidth, image.naturalHeight];
  })), [[true, 60, 40], [true, 64, 48], [true, 64, 48], [true, 60, 40], [true, 60, 40]]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("a timer posts once after its interval; a disabled timer never posts", async () => {
  const { page, errors } = await openForm();
  // When each page started its Initialize(), which starts the timers.
  await page.addInitScript(() => addEventListener("load", () => sessionStorage.setItem(`loaded${GTrackID}`, Date.now())));
  const posts = [];
  page.on("request", (request) => {
    if (request.method() === "POST") posts.push([new URLSearchParams(request.postData()).get("IW_Action"), Date.now()]);
  });
  assert.deepEqual(await posted(page, () => page.click("#BTNTIMER")), ["OnClick BTNTIMER"]);
  await pageReady(page, 3);
  assert.deepEqual(await logLines(page), ["OnClick BTNTIMER", "OnTimer TMRONCE"]);
  const loaded = Number(await page.evaluate(() => sessionStorage.getItem("loaded2")));
  assert.ok(posts[1][1] - loaded >= 290, `the timer posted ${posts[1][1] - loaded} ms after its page loaded`);
  // The timer stopped itself, and the disabled one never runs.
  await page.waitForTimeout(1000);
  assert.deepEqual(posts.map((p) => p[0]), ["BTNTIMER", "TMRONCE"]);
  assert.equal(await page.evaluate(() => GTrackID), 3);
  assert.deepEqual(errors, []);
  await page.close();
});

test("callbacks of a check box, a combo box and a double click reach their events with the values the user changed, and their replies update the page in place", async () => {
  const { page, errors } = await openForm();
  const sent = [];
  page.on("request", (request) => {
    if (request.url().includes("/callback/")) sent.push(Object.fromEntries(new URLSearchParams(request.postData() || "")));
  });
  await page.evaluate(() => { window.sameDocument = true; });
  await page.click("#PAGETITLE_PAGASYNC");
  // An edit without events of its own: its change goes along with the next callback.
  await page.fill("#EDTTRACKED", "changed text");

  await page.click("#CHKASYNC_CHECKBOX");
  await page.waitForFunction(() => document.getElementById("LBLREPLY").textContent === "Reply to CHKASYNC");
  assert.deepEqual(await logLines(page),
                   ["OnChange CHKASYNC checked=1", "CHKASYNC.DoOnAsyncClick checked=1 tracked=changed text"]);
  assert.equal(sent[0].CHKASYNC_CHECKBOX, "on");
  assert.equal(sent[0].EDTTRACKED, "changed text");
  assert.equal(sent[0].TABMAIN_input, "2");

  await page.selectOption("#CMBASYNC", "2");
  await page.waitForFunction(() => document.getElementById("LBLREPLY").textContent === "Reply to CMBASYNC");
  assert.deepEqual((await logLines(page)).slice(2), ["CMBASYNC.DoOnAsyncChange index=2 text=High param= tracked=changed text"]);
  // Only what changed since travels: the edit went with the first callback.
  assert.deepEqual(Object.keys(sent[1]).filter((k) => !k.startsWith("IW_")), ["CMBASYNC"]);

  // A double click raises its own callback.
  await page.dblclick("#LBLDOUBLE");
  await page.waitForFunction(() => document.getElementById("LBLREPLY").textContent === "Reply to LBLDOUBLE");
  assert.deepEqual((await logLines(page)).slice(3), ["LBLDOUBLE.DoOnAsyncDoubleClick tracked=changed text"]);
  assert.deepEqual(await page.evaluate(() => [window.sameDocument, GTrackID]), [true, 1]);

  // The next post is current and finds the server holding the changes.
  assert.deepEqual(await posted(page, () => page.click("#BTNPOST")),
                   ["OnClick BTNPOST tab=2 name= notes=0: multi="]);
  assert.deepEqual([await page.isChecked("#CHKASYNC_CHECKBOX"), await page.inputValue("#CMBASYNC"),
                    await page.inputValue("#EDTTRACKED"), await shown(page, "PAGASYNC")],
                   [true, "2", "changed text", "block"]);
  assert.deepEqual(errors, []);
  await page.close();
});

test("malformed posted values fail with a clear message and change nothing", async () => {
  const { page, errors, dialogs } = await openForm();
  await page.selectOption("#LSTMULTI", ["0", "2"]);
  const state = "OnClick BTNPOST tab=0 name= notes=0: multi=0,2";
  assert.deepEqual(await posted(page, () => page.click("#BTNPOST")), [state]);

  assert.deepEqual(await postEdited(page, { LSTMULTI: "1,1,x,", IW_Action: "BTNPOST" }), []);
  assert.deepEqual(await postEdited(page, { TABMAIN_input: "7", IW_Action: "BTNPOST" }), []);
  await page.click("#PAGETITLE_PAGPICTURES");
  assert.deepEqual(await postEdited(page, { IW_Action: "IMGDYNAMIC", IW_ActionParam: "12,y" }), []);
  assert.deepEqual(dialogs, [
    "The following exception occured\n  lstMulti: 'x' is not a valid integer value\n",
    "The following exception occured\n  tabMain: List index out of bounds (7)\n",
    "'y' is not a valid integer value",
  ]);
  // The tab choice of the last post was applied; the server holds the rest as before.
  assert.deepEqual(await posted(page, () => page.click("#BTNPOST")), [state.replace("tab=0", "tab=1")]);
  assert.deepEqual(await page.evaluate(() => [...document.getElementById("LSTMULTI").options]
                                         .map((o) => o.selected)), [true, false, true, false]);
  assert.deepEqual(errors, []);
  await page.close();
});
