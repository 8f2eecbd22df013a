// The client script library on a real page in headless Chromium: handler chains, the value
// encoding of a post, a cancelled confirmation, and the re-layout of aligned and anchored
// client objects when the window changes size.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { startService } = require("../lib/service");

let service;
let page;
const errors = [];

before(async () => {
  service = await startService();
  page = await service.context.newPage();
  page.on("pageerror", (error) => errors.push(error.message));
  await page.setViewportSize({ width: 1000, height: 700 });
  await page.goto(`${service.base}/RequestQX9`);
  await page.waitForSelector("#EDTPASSWORD");
  await page.waitForFunction(() => window.locked === false);
});

after(async () => {
  if (service) await service.stop();
});

test("hooked handlers run in order and the first false stops the chain", async () => {
  const result = await page.evaluate(() => {
    const element = document.createElement("div");
    element.id = "CHAINTEST";
    document.body.appendChild(element);
    const calls = [];
    element.onclick = () => { calls.push("own"); return true; };
    const client = NewIWCL(IWCLForm, "CHAINTEST", false);
    client.HookEvent("click", () => { calls.push("first"); return true; });
    client.HookEvent("click", () => { calls.push("second"); return false; });
    client.HookEvent("click", () => { calls.push("third"); return true; });
    ValidClick = true;
    const notCancelled = element.dispatchEvent(new MouseEvent("click", { cancelable: true }));
    return { calls, notCancelled, validClick: ValidClick };
  });
  assert.deepEqual(result.calls, ["own", "first", "second"]);
  assert.equal(result.notCancelled, false);
  assert.equal(result.validClick, false);
});

test("page values travel by the client value encoding", async () => {
  const values = await page.evaluate(() => {
    const holder = document.createElement("div");
    holder.innerHTML =
      '<select name="LSTMULTI" multiple><option value="1">a</option><option value="2" selected>b</option>' +
      '<option value="5" selected>c</option></select>' +
      '<select name="LSTNONE"><option value="7">x</option></select>' +
      '<input type="checkbox" name="CHKA_CHECKBOX" checked><input type="checkbox" name="CHKB_CHECKBOX">';
    document.body.appendChild(holder);
    document.getElementsByName("LSTNONE")[0].selectedIndex = -1;
    const form = document.forms.SubmitForm;
    for (const name of ["LSTMULTI", "LSTNONE", "CHKA_CHECKBOX", "CHKB_CHECKBOX", "GONE"]) {
      const input = document.createElement("input");
      input.type = name === "GONE" ? "text" : "hidden";
      input.name = name;
      form.appendChild(input);
    }
    CopyValuesToSubmitForm(form);
    return {
      multi: form.elements.LSTMULTI.value,
      none: form.elements.LSTNONE.value,
      on: form.elements.CHKA_CHECKBOX.value,
      off: form.elements.CHKB_CHECKBOX.value,
      goneRemoved: !form.elements.GONE,
    };
  });
  assert.deepEqual(values, { multi: "2,2,5,", none: "-1", on: "on", off: "off", goneRemoved: true });
});

test("a cancelled confirmation posts nothing and leaves the page unlocked", async () => {
  let asked = "";
  const onDialog = async (dialog) => {
    asked = dialog.message();
    await dialog.dismiss();
  };
  page.on("dialog", onDialog);
  const state = await page.evaluate(() => {
    const result = SubmitClickConfirm("BTNACEPTAR", "", false, "Really?");
    return { result, locked: IsLocked(), submitting: GSubmitting, track: GTrackID };
  });
  page.off("dialog", onDialog);
  assert.equal(asked, "Really?");
  assert.deepEqual(state, { result: false, locked: false, submitting: false, track: 1 });
});

test("a resized window lays out aligned and anchored objects and reports its size", async () => {
  const before = await page.evaluate(() => {
    const make = (id, style) => {
      const div = document.createElement("div");
      div.id = id;
      div.style.cssText = "position:absolute;" + style;
      document.body.appendChild(div);
      return NewIWCL(IWCLForm, id, false);
    };
    // Places are given at the form's design size, as the server renders them.
    const form = IWCLForm.OriginalRect;
    const header = make("HEADERTEST", `left:0px;top:0px;width:${form.Width}px;height:30px`);
    header.SetAlign(alTop);
    header.SetAnchors(new CreateAnchors(true, true, true, false));
    const right = make("RIGHTTEST", `left:${form.Width - 120}px;top:100px;width:100px;height:20px`);
    right.SetAnchors(new CreateAnchors(false, true, true, false));
    const fixed = make("FIXEDTEST", "left:10px;top:200px;width:50px;height:20px");
    Body_OnResize();
    return { width: form.Width };
  });
  await page.waitForTimeout(150);
  await page.setViewportSize({ width: 1200, height: 700 });
  await page.waitForFunction(() => IWCLForm.Rect.Width === document.body.clientWidth &&
                                   document.getElementById("RIGHTTEST").offsetLeft > 1000);
  const after = await page.evaluate(() => {
    const box = (id) => {
      const e = document.getElementById(id);
      return [e.offsetLeft, e.offsetTop, e.offsetWidth];
    };
    return {
      body: document.body.clientWidth,
      header: box("HEADERTEST"),
      right: box("RIGHTTEST"),
      fixed: box("FIXEDTEST"),
      reported: Number(document.forms.SubmitForm.IW_width.value),
    };
  });
  assert.ok(before.width > 0);
  assert.deepEqual(after.header, [0, 0, after.body]);
  // The right-anchored box keeps its distance to the right edge; the other stays where it was.
  assert.equal(after.right[0], after.body - 120);
  assert.deepEqual(after.fixed, [10, 200, 50]);
  assert.equal(after.reported, after.body);
  assert.deepEqual(errors, []);
});
