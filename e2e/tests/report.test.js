// The report screen of the staged service in Chromium, over a database of its own and a real
// SMTP server on 127.0.0.1: its texts and places, the refusals that store nothing, the
// character counter, the recipient list; an urgent report mailed to two recipients and
// recorded; a report while the server is down; a user who may not send mail.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { post, shownOn, signIn } = require("../lib/screens");
const { startServiceOver } = require("../lib/service");
const { startSmtpPeer } = require("../lib/smtp");

// Bruno may send mail and has written to Bob before; Ana may not. Bruno's request 21 is
// waiting for attention.
const databaseSql = `
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES
  (1, 'EN', 'New'), (2, 'EN', 'Awaiting attention'), (13, 'EN', 'Sent by e-mail');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays) VALUES
  (1, 'EN', 'Bruno Núñez', 'bruno', 'bruno@example.com', 1, 30),
  (2, 'EN', 'Ana', 'ana', 'ana@example.com', 0, 30);
INSERT INTO HistEmail (Id_HistEmail, Id_User, Email) VALUES
  (1, 1, 'bob@example.com'), (2, 2, 'eva@example.com');
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES
  (21, 'Leaking tap', 201, 1, 0);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Comments, Id_UserStatus, StatusType)
  VALUES (201, 21, 2, 'Reported', 1, 1);
`;

let fixture;
let smtp;

before(async () => {
  fixture = await startServiceOver(databaseSql);
  smtp = await startSmtpPeer();
});

after(async () => {
  if (smtp) await smtp.stop();
  if (fixture) await fixture.stop();
});

const query = (sql) => fixture.query(sql);

// The SMTP settings point at `port` (the screens read them when they open).
function useSmtpPort(port) {
  query("DELETE FROM qxsmtp");
  query(`INSERT INTO qxsmtp (Idsmtp, Servidor, Usuario, Pwd, Puerto, TLS_Type, AutType) VALUES
         (1, '127.0.0.1', '${smtp.user}', '${smtp.password}', ${port}, 0, 1)`);
}

// The report screen of a new session signed in as `name`.
async function openReport(name, password) {
  const opened = await signIn(fixture, name, password);
  await post(opened.page, () => opened.page.click("#BTNREPORTAR"));
  assert.equal(await opened.page.title(), "Report failure in the QX");
  return opened;
}

// What the report screen shows of the recipients and the mail.
function recipientsState(page) {
  return page.evaluate(() => {
    const options = (id) => [...document.getElementById(id).options].map((o) => o.text);
    const list = (id) => document.getElementById(id);
    return {
      history: options("EDTADDEMAIL2"),
      chosen: list("EDTADDEMAIL2").selectedIndex,
      recipients: options("EDTEMAIL"),
      selected: list("EDTEMAIL").selectedIndex,
      typed: list("EDTADDEMAIL1").value,
      disabled: ["EDTADDEMAIL1", "BTNADDEMAIL1", "EDTADDEMAIL2", "BTNADDEMAIL2", "EDTEMAIL",
                 "BTNDELEMAIL"].filter((id) => list(id).disabled),
      reason: list("LBLERROREMAIL").innerText,
      notice: list("CBREPAIRNOTICE").offsetParent !== null ? list("CBREPAIRNOTICE").innerText.trim()
                                                           : null,
    };
  });
}

// Adds the typed `address` as a recipient.
const addTyped = async (page, address) => {
  await page.fill("#EDTADDEMAIL1", address);
  await post(page, () => page.click("#BTNADDEMAIL1"));
};

test("the screen's texts and places; refused input stores nothing; the recipient list", async () => {
  useSmtpPort(smtp.port);
  const { page, errors, dialogs } = await openReport("Bruno Núñez", "bruno");
  const shown = await shownOn(page, "REGSERVICIO", {
    texts: ["LBLTITULO", "IWLABEL3", "LBLNUMCARAC", "IWLABEL1", "IWLABEL5", "IWLABEL9", "IWLABEL2",
            "IWLABEL7", "CBURGENT", "PAGETITLE_IWTABCONTROL1PAGE0"],
    boxes: ["EDTDESCRIP", "CBREPAIRNOTICE", "MMCOMMENTS", "IWTBENVIAR", "EDTADDEMAIL2", "EDTEMAIL",
            "LBLERROREMAIL", "BTNACEPTAR", "FRAENCABEZADO1REGENCABEZADO", "LNKLOGOUTFRAENCABEZADO1"],
  });
  // The header band spans the window; its sign-out link keeps to the band's right edge.
  const [band, link] = shown.boxes.splice(-2);
  assert.deepEqual([band[0] + band[2] - link[0] - link[2], link[1] - band[1], link[2], link[3]],
                   [5, 1, 94, 17], JSON.stringify([band, link]));
  const buttons = await page.$$eval(
    "#BTNCONTAR, #BTNADDEMAIL1, #BTNDELEMAIL, #BTNACEPTAR, #BTNCANCELAR",
    (all) => all.map((button) => [button.value, button.type]));
  assert.deepEqual(shown.texts, [
    "Report new maintenance request", "Maintenance request description: *",
    "0 characters (with spaces)", "Additional commentaries (optional):", "Write the E-mail",
    "Or select it from the list", "E-mail recipients", "Required field *", "It's urgent",
    "Send E-mail"]);
  assert.deepEqual(buttons, [["Count again", "button"], ["To: ->", "button"],
    ["Delete", "button"], ["Report", "submit"], ["Cancel", "reset"]]);
  assert.deepEqual(shown.boxes, [
    [28, 94, 762, 21], [166, 120, 624, 38], [28, 182, 762, 65], [28, 256, 843, 267],
    [36, 358, 338, 122], [459, 306, 327, 174], [36, 486, 726, 34], [614, 527, 81, 25]]);
  assert.equal(await page.evaluate(() => document.activeElement.id), "EDTDESCRIP");
  assert.equal(await page.getAttribute("#EDTDESCRIP", "maxlength"), "255");
  let state = await recipientsState(page);
  assert.deepEqual(state, {
    history: ["bob@example.com"], chosen: 0, recipients: [], selected: -1, typed: "",
    disabled: [], reason: "",
    notice: "Send me a message to my E-mail bruno@example.com when the request has been performed.",
  });

  // The counter; descriptions the check refuses: an alert with its prefix, nothing stored.
  await page.fill("#EDTDESCRIP", "Broken lamp");
  await post(page, () => page.click("#BTNCONTAR"));
  assert.equal(await page.innerText("#LBLNUMCARAC"), "11 characters (with spaces)");
  await page.fill("#EDTDESCRIP", "");
  await page.fill("#MMCOMMENTS", "Kept as typed");
  await post(page, () => page.click("#BTNACEPTAR"));
  await page.fill("#EDTDESCRIP", "50% broken");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.deepEqual(dialogs, [
    "There was an error generating the request: \nYou must type the description of the request you want to report.",
    "There was an error generating the request: \nThe request description accepts only letters, numbers and the characters ( ) / . , ; : -"]);
  assert.equal(query("SELECT Count(*) FROM Request"), "1");
  assert.equal(await page.inputValue("#EDTDESCRIP"), "50% broken");
  assert.equal(await page.inputValue("#MMCOMMENTS"), "Kept as typed");

  // A wrongly typed address is refused and kept; an address is listed once however it comes
  // (typed, from the history, in other letter case); Delete removes the selected one.
  await addTyped(page, "eva@example");
  assert.equal(dialogs.at(-1), "The E-mail is typed incorrectly. Please, correct it.");
  assert.equal((await recipientsState(page)).typed, "eva@example");
  await addTyped(page, " Bob@Example.com ");
  await page.selectOption("#EDTADDEMAIL2", { label: "bob@example.com" });
  await post(page, () => page.click("#BTNADDEMAIL2"));
  await addTyped(page, "eva@example.com");
  await addTyped(page, "BOB@EXAMPLE.COM");
  state = await recipientsState(page);
  assert.deepEqual([state.recipients, state.selected, state.typed],
    [["Bob@Example.com", "eva@example.com"], 0, ""]);
  await post(page, () => page.click("#BTNDELEMAIL"));
  state = await recipientsState(page);
  assert.deepEqual([state.recipients, state.selected], [["-- Recipients --", "eva@example.com"], 0]);
  assert.equal(dialogs.length, 3);
  assert.equal(query("SELECT Count(*) FROM Request"), "1");
  assert.deepEqual(errors, []);
  await page.close();
});

test("an urgent report with two recipients is stored, mailed and recorded; the home lists it", async () => {
  useSmtpPort(smtp.port);
  const { page, errors, dialogs } = await openReport("Bruno Núñez", "bruno");
  await page.fill("#EDTDESCRIP", "Broken lamp in room 12");
  await page.check("#CBURGENT_CHECKBOX");
  await page.check("#CBREPAIRNOTICE_CHECKBOX");
  await page.fill("#MMCOMMENTS", "Second floor.\nNo light at all.");
  await addTyped(page, "carla@example.com");
  await post(page, () => page.click("#BTNADDEMAIL2"));  // bob, selected in the history
  await post(page, () => page.click("#BTNACEPTAR"));

  assert.match(await page.title(), /^Online failures report/);
  assert.equal(query("SELECT Id_Request, Description, Id_Req_Status, Id_User, Urgent, RepairNotice " +
                     "FROM Request WHERE Id_Request = 22"), "22|Broken lamp in room 12|202|1|1|1");
  assert.equal(query("SELECT Id_Status, StatusType, Id_UserStatus, hex(Comments) FROM Request_Status " +
                     "WHERE Id_Request = 22 ORDER BY Id_Req_Status"),
    `1|1|1|${hex("Second floor.\r\nNo light at all.\r\n")}\n` +
    `13|2|1|${hex("To: carla@example.com,bob@example.com\r\nSubject: Broken lamp in room 12")}`);
  assert.equal(query("SELECT Id_User || ' ' || Email FROM HistEmail ORDER BY Id_HistEmail"),
    "1 bob@example.com\n2 eva@example.com\n1 carla@example.com");
  const mails = smtp.mails();
  assert.equal(mails.length, 1);
  assert.deepEqual([mails[0].from, mails[0].recipients],
    ["bruno@example.com", ["carla@example.com", "bob@example.com"]]);
  assert.equal(mails[0].headers.Subject, "QX Request 22: Broken lamp in room 12");
  assert.equal(mails[0].headers["X-Priority"], "1");
  assert.deepEqual(mails[0].body, ["Description: Broken lamp in room 12", "", "Commentaries: ",
    "Second floor.", "No light at all.", ""]);
  const listed = await page.$$eval("#tblDBGREQUEST tr[id]",
    (rows) => rows.map((row) => [...row.cells].map((cell) => cell.innerText.trim())));
  assert.deepEqual(listed, [["21", "", "Leaking tap", "Awaiting attention"],
                            ["22", "!", "Broken lamp in room 12", "New"]]);
  assert.deepEqual([errors, dialogs], [[], []]);
  await page.close();
});

test("with the SMTP server down the report is stored without a mail note and the screen closes", async () => {
  const down = await startSmtpPeer();
  useSmtpPort(down.port);
  await down.stop();
  const notes = query("SELECT Count(*) FROM Request_Status");
  const mailNotes = query("SELECT Count(*) FROM Request_Status WHERE Id_Status = 13");
  const { page, errors, dialogs } = await openReport("Bruno Núñez", "bruno");
  await page.fill("#EDTDESCRIP", "Door stuck");
  await addTyped(page, "carla@example.com");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.match(await page.title(), /^Online failures report/);
  assert.equal(query("SELECT Count(*) FROM Request WHERE Description = 'Door stuck'"), "1");
  assert.equal(query("SELECT Count(*) FROM Request_Status"), String(Number(notes) + 1));
  assert.equal(query("SELECT Count(*) FROM Request_Status WHERE Id_Status = 13"), mailNotes);
  assert.ok((await page.innerText("#tblDBGREQUEST")).includes("Door stuck"));
  assert.deepEqual([errors, dialogs], [[], []]);
  await page.close();
});

test("a user who may not send mail sees why, with the recipients disabled and the repair notice", async () => {
  useSmtpPort(smtp.port);
  const { page, errors } = await openReport("Ana", "ana");
  const state = await recipientsState(page);
  assert.deepEqual(state.disabled, ["EDTADDEMAIL1", "BTNADDEMAIL1", "EDTADDEMAIL2", "BTNADDEMAIL2",
                                    "EDTEMAIL", "BTNDELEMAIL"]);
  assert.equal(state.reason, "The sending by E-mail is not enabled.\n" +
                             "You do not have permission to send the request by E-mail.");
  assert.equal(state.notice,
    "Send me a message to my E-mail ana@example.com when the request has been performed.");
  assert.equal(await page.isEnabled("#BTNACEPTAR"), true);
  // Cancel stores nothing and goes home.
  await post(page, () => page.click("#BTNCANCELAR"));
  assert.match(await page.title(), /^Online failures report \[Ana\]/);
  assert.equal(query("SELECT Count(*) FROM Request WHERE Id_User = 2"), "0");
  assert.deepEqual(errors, []);
  await page.close();
});

// The hexadecimal of `text` as SQLite's hex() writes it, to compare texts with line breaks.
function hex(text) {
  return Buffer.from(text, "utf8").toString("hex").toUpperCase();
}
