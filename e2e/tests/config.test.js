// The configuration screen of the staged service in Chromium, over a database of its own,
// opened from the home screen: its texts, places and sizes as laid out; the day windows it
// stores (by Accept and by Enter) and the home screen's list and caption that follow; the
// values it refuses, each with its alert and nothing stored; Cancel.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const {
  assertDrawnAsDesigned, homeState, post, serialOf, shortDate, signIn,
} = require("../lib/screens");
const { startServiceOver } = require("../lib/service");

// Ana (a window of 30 days, in two language rows): 31 and 32 pending, 33 completed 10 days ago.
const tenDaysAgo = serialOf(new Date()) - 10;
const databaseSql = `
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'), (6, 'EN', 'Completed');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, RequestGetDays) VALUES
  (1, 'EN', 'Ana Torres', 'ana', 30), (1, 'ES', 'Ana Torres', 'ana', 30);
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) VALUES
  (31, 'Leaking tap', 301, 1), (32, 'Broken chair', 302, 1), (33, 'Broken window', 303, 1);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Id_UserStatus, StatusType) VALUES
  (301, 31, 1, 46000.5, 1, 1), (302, 32, 1, 46000.5, 1, 1), (303, 33, 6, ${tenDaysAgo}, 1, 1);
`;

let service;

before(async () => {
  service = await startServiceOver(databaseSql);
});

after(async () => {
  if (service) await service.stop();
});

// Ana's stored window, in every language row.
const stored = () => service.query("SELECT group_concat(RequestGetDays, ' ') FROM Users");
// The home screen's caption for a window of `days` days.
function captionFrom(days) {
  const from = new Date();
  from.setDate(from.getDate() - days);
  return `Pending requests [All] and Requests Dealt with or Canceled [from ${shortDate(from)}]`;
}
const openConfiguration = (page) => post(page, () => page.click("#BTNCONFIGURAR"));

test("the configuration screen's texts, places and sizes", async () => {
  // A window of the screen's own size, so that the header is as wide as designed.
  const { page, errors } = await signIn(service, "Ana Torres", "ana", { width: 710, height: 369 });
  await openConfiguration(page);
  const shown = await page.evaluate(() => {
    const look = (id) => {
      const element = document.getElementById(id);
      const style = getComputedStyle(element);
      return [(element.innerText || element.value).trim(), style.color, style.fontSize,
              style.fontWeight];
    };
    return {
      region: getComputedStyle(document.getElementById("REGCONFIG")).backgroundColor,
      focused: document.activeElement.id,
      title: look("LBLTITULO"),
      question: look("TXTCONFIG"),
      days: [...look("EDTOLDDAYS"), getComputedStyle(document.getElementById("EDTOLDDAYS")).textAlign],
      unit: look("IWLABEL1")[0],
      buttons: ["BTNACEPTAR", "BTNCANCELAR"].map((id) => [document.getElementById(id).value,
                                                           document.getElementById(id).type]),
      header: [look("LBLAPPNAMEFRAENCABEZADO1")[0], look("LBLUSUARIOFRAENCABEZADO1")[0]],
    };
  });
  assert.deepEqual(shown, {
    region: "rgb(240, 248, 255)",
    focused: "EDTOLDDAYS",
    title: ["User parameters configuration", "rgb(70, 130, 180)", "24px", "400"],
    question: ["In addition to the pending requests, I want to see the ANSWERED and/or CANCELED " +
               "requests from the last", "rgb(0, 0, 128)", "13px", "400"],
    days: ["30", "rgb(0, 0, 0)", "13px", "700", "right"],
    unit: "days",
    buttons: [["Accept", "button"], ["Cancel", "reset"]],
    header: ["QX - Maintenance requests", "Welcome Ana Torres"],
  });
  await assertDrawnAsDesigned(page, "REGCONFIG", 710, {
    LBLTITULO: [90, 73, 546, 29],
    TXTCONFIG: [90, 144, 546, 41],
    EDTOLDDAYS: [296, 204, 60, 21],
    IWLABEL1: [362, 207],
    BTNACEPTAR: [456, 300, 81, 25],
    BTNCANCELAR: [555, 300, 81, 25],
  });
  assert.deepEqual(errors, []);
  await page.close();
});

test("a valid window is stored, the home screen lists by it, and the rest is refused", async () => {
  const { page, errors, dialogs } = await signIn(service, "Ana Torres", "ana");
  let home = await homeState(page);
  assert.equal(home.caption, captionFrom(30));
  assert.deepEqual(home.requests.map((row) => row[0]), ["31", "32", "33"]);

  // Refused: each reason as an alert, the screen and the database as they were.
  await openConfiguration(page);
  const refused = [
    ["181", "Maximum of 180 days allowed."],
    ["", "You must type the number of days."],
    ["30 ", "This field accepts only numbers. Please correct the number of days."],
    ["-1", "This field accepts only numbers. Please correct the number of days."],
  ];
  for (const [typed, reason] of refused) {
    await page.fill("#EDTOLDDAYS", typed);
    await post(page, () => page.click("#BTNACEPTAR"));
    assert.equal(dialogs.at(-1), reason, JSON.stringify(typed));
    assert.equal(await page.inputValue("#EDTOLDDAYS"), typed);
  }
  assert.equal(dialogs.length, refused.length);
  assert.equal(stored(), "30 30");

  // "007" is 7: request 33, completed 10 days ago, leaves the list.
  await page.fill("#EDTOLDDAYS", "007");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.equal(stored(), "7 7");
  home = await homeState(page);
  assert.equal(home.caption, captionFrom(7));
  assert.deepEqual(home.requests.map((row) => row[0]), ["31", "32"]);

  // Shown as "7" the next time; "0" by Enter in the field.
  await openConfiguration(page);
  assert.equal(await page.inputValue("#EDTOLDDAYS"), "7");
  await page.fill("#EDTOLDDAYS", "0");
  await post(page, () => page.press("#EDTOLDDAYS", "Enter"));
  assert.equal(stored(), "0 0");
  assert.equal((await homeState(page)).caption,
    "Pending requests [All] and Requests Dealt with or Canceled [from today]");

  await openConfiguration(page);
  await page.fill("#EDTOLDDAYS", "180");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.equal(stored(), "180 180");
  home = await homeState(page);
  assert.equal(home.caption, captionFrom(180));
  assert.deepEqual(home.requests.map((row) => row[0]), ["31", "32", "33"]);

  // Cancel: nothing stored, the home screen where it was.
  await post(page, () => page.click("#BTNSIGUIENTE"));
  await openConfiguration(page);
  await page.fill("#EDTOLDDAYS", "5");
  await post(page, () => page.click("#BTNCANCELAR"));
  assert.equal(stored(), "180 180");
  home = await homeState(page);
  assert.deepEqual([home.currentRequest, home.dial], [1, "Number 32"]);
  assert.equal(dialogs.length, refused.length);
  assert.deepEqual(errors, []);
});
