// The send-by-e-mail screen of the staged service in Chromium, over a database of its own and a
// real SMTP server on 127.0.0.1: the request's description whole up to 70 characters and cut
// after, the alert for no recipient over what was typed, and a sending with an edited subject
// that reaches the mail and the note while the request itself stays as it was.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { post, shownOn, signIn } = require("../lib/screens");
const { startServiceOver } = require("../lib/service");
const { startSmtpPeer } = require("../lib/smtp");

const seventy = "The air conditioning of the meeting room on the second floor is noisy.";
const seventyOne = "The heating of the meeting room on the second floor does not switch on.";

let fixture;
let smtp;

before(async () => {
  assert.deepEqual([seventy.length, seventyOne.length], [70, 71]);
  smtp = await startSmtpPeer();
  // Bruno may send mail and has written to Bob before. Request 31 waits for attention, 32 is new.
  fixture = await startServiceOver(`
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES
  (1, 'EN', 'New'), (2, 'EN', 'Awaiting attention'), (13, 'EN', 'Sent by e-mail');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays) VALUES
  (1, 'EN', 'Bruno Núñez', 'bruno', 'bruno@example.com', 1, 30);
INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES (1, 1, 'bob@example.com');
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES
  (31, '${seventy}', 301, 1, 1), (32, '${seventyOne}', 302, 1, 0);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Comments, Id_UserStatus, StatusType)
  VALUES (301, 31, 2, 'Loud since Monday' || char(13, 10) || 'Worse at noon', 1, 1),
         (302, 32, 1, NULL, 1, 1);
INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, AutType) VALUES
  (1, '127.0.0.1', '${smtp.user}', '${smtp.password}', ${smtp.port}, 0, 1);
`);
});

after(async () => {
  if (fixture) await fixture.stop();
  if (smtp) await smtp.stop();
});

const query = (sql) => fixture.query(sql);

// What the send screen shows: its labels, fields, history, reason and buttons, places and
// sizes of its main controls, and the focused element.
async function sendState(page) {
  const { texts, boxes } = await shownOn(page, "REGCONFIG", {
    texts: ["LBLTITULO", "LBLTITNUMSOL", "LBLNUMSOL", "LBLTITDESC", "LBLDESC", "LBLTITSTATUS",
            "LBLSTATUS", "IWLABEL3", "IWLABEL1", "IWLABEL5", "IWLABEL9", "IWLABEL2", "LBLERROREMAIL"],
    boxes: ["LBLDESC", "EDTDESCRIP", "MMCOMMENTS", "EDTADDEMAIL2", "EDTEMAIL", "BTNACEPTAR"],
  });
  return {
    labels: texts.slice(0, -1),
    reason: texts.at(-1),
    boxes,
    ...await page.evaluate(() => ({
      subject: document.getElementById("EDTDESCRIP").value,
      comments: document.getElementById("MMCOMMENTS").value,
      history: [...document.getElementById("EDTADDEMAIL2").options].map((o) => o.text),
      buttons: ["BTNACEPTAR", "BTNCANCELAR"].map((id) => document.getElementById(id).value),
      focused: document.activeElement.id,
    })),
  };
}

// The send screen of the home screen's request in row `row` (0 the first).
async function openSend(page, row) {
  for (let i = 0; i < row; i++) await post(page, () => page.click("#BTNSIGUIENTE"));
  await post(page, () => page.click("#BTNENVIAEMAIL"));
  return sendState(page);
}

test("the description is shown whole up to 70 characters and cut after; Cancel sends nothing", async () => {
  const { page, errors, dialogs } = await signIn(fixture, "Bruno Núñez", "bruno");
  let state = await openSend(page, 0);
  assert.deepEqual(state.labels, ["Send E-mail", "Request number:", "31", "Request description:",
    seventy, "Last status:", "Awaiting attention", "Subject:", "Commentaries:", "Write the E-mail",
    "Or select it from the list", "E-mail recipients"]);
  assert.deepEqual([state.subject, state.comments, state.history, state.reason, state.buttons],
    [seventy, "Loud since Monday\nWorse at noon", ["bob@example.com"], "", ["Send", "Cancel"]]);
  assert.deepEqual(state.boxes, [[221, 102, 638, 18], [28, 166, 752, 21], [28, 212, 752, 65],
    [28, 356, 338, 115], [453, 304, 327, 167], [600, 519, 81, 25]]);
  assert.equal(state.focused, "EDTDESCRIP");
  await post(page, () => page.click("#BTNCANCELAR"));
  assert.match(await page.title(), /^Online failures report/);

  state = await openSend(page, 1);
  assert.deepEqual([state.labels[2], state.labels[4], state.labels[6], state.subject, state.comments],
    ["32", seventyOne.slice(0, 70) + "...", "New", seventyOne, ""]);
  await post(page, () => page.click("#BTNCANCELAR"));
  assert.equal(smtp.mails().length, 0);
  assert.deepEqual([errors, dialogs], [[], []]);
  await page.close();
});

test("no recipient is refused over what was typed; an edited subject goes to the mail and the note only", async () => {
  const { page, errors, dialogs } = await signIn(fixture, "Bruno Núñez", "bruno");
  await openSend(page, 0);
  await page.fill("#EDTDESCRIP", "Meeting room air conditioning");
  await page.fill("#MMCOMMENTS", "Please check it today.\nThanks.");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.deepEqual(dialogs, ["There must be at least one E-mail recipient"]);
  let state = await sendState(page);
  assert.deepEqual([state.subject, state.comments],
    ["Meeting room air conditioning", "Please check it today.\nThanks."]);

  // Bob from the history, a new address typed, Bob again in other letter case: two recipients.
  await post(page, () => page.click("#BTNADDEMAIL2"));
  await page.fill("#EDTADDEMAIL1", "carla@example.com");
  await post(page, () => page.click("#BTNADDEMAIL1"));
  await page.fill("#EDTADDEMAIL1", "BOB@example.com");
  await post(page, () => page.click("#BTNADDEMAIL1"));
  state = await page.$$eval("#EDTEMAIL option", (all) => all.map((o) => o.text));
  assert.deepEqual(state, ["bob@example.com", "carla@example.com"]);
  const current = query("SELECT Id_Req_Status FROM Request WHERE Id_Request = 31");
  await post(page, () => page.click("#BTNACEPTAR"));

  assert.match(await page.title(), /^Online failures report/);
  const mails = smtp.mails();
  assert.equal(mails.length, 1);
  assert.deepEqual([mails[0].from, mails[0].recipients],
    ["bruno@example.com", ["bob@example.com", "carla@example.com"]]);
  assert.equal(mails[0].headers.Subject, "QX Request 31: Meeting room air conditioning");
  assert.equal(mails[0].headers["Reply-To"], "bruno@example.com");
  assert.equal(mails[0].headers["X-Priority"], undefined);
  assert.deepEqual(mails[0].body, ["Description: Meeting room air conditioning", "",
    "Commentaries: ", "Please check it today.", "Thanks.", ""]);
  assert.equal(query("SELECT Id_Status || ' ' || StatusType || ' ' || Id_UserStatus || ' ' || " +
                     "replace(Comments, char(13, 10), '|') FROM Request_Status WHERE Id_Request = 31 " +
                     "ORDER BY Id_Req_Status"),
    "2 1 1 Loud since Monday|Worse at noon\n" +
    "13 2 1 To: bob@example.com,carla@example.com|Subject: Meeting room air conditioning");
  // The request keeps its description and its current status; only the new address is kept.
  assert.equal(query("SELECT Description || ' ' || Id_Req_Status FROM Request WHERE Id_Request = 31"),
               `${seventy} ${current}`);
  assert.equal(query("SELECT group_concat(Email, ' ') FROM HistEmail"),
               "bob@example.com carla@example.com");
  const firstRow = await page.$$eval("#tblDBGREQUEST tr[id]", (rows) =>
    [...rows[0].cells].map((cell) => cell.innerText.trim()));
  assert.deepEqual(firstRow, ["31", "!", seventy, "Awaiting attention"]);
  assert.deepEqual(errors, []);
  await page.close();
});
