// The home screen of the staged service in Chromium, over a database of its own: signed in
// through the login screen, the header, the request list and the follow-up part as the user
// moves through them; Remind and Cancel with their confirmations (declined: nothing is sent),
// the rebuilt list after each; the e-mail button only when mail is ready; signing out.
"use strict";

const assert = require("node:assert/strict");
const { after, before, test } = require("node:test");
const { homeState, post, serialOf, shortDate, signIn: signInTo } = require("../lib/screens");
const { startServiceOver } = require("../lib/service");

// Day serials (days since 30 December 1899, local time) of the notes.
const firstNote = 46000.5;    // 09/12/2025 12:00
const secondNote = 46001.75;  // 10/12/2025 18:00
const yesterday = serialOf(new Date()) - 1;

// Bruno (mail ready, a window of 30 days): 21 awaiting attention with a note of his and one of
// the maintenance desk, 22 with a reminder, 23 completed yesterday. Ana may not send mail.
const databaseSql = `
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES
  (1, 'EN', 'New'), (2, 'EN', 'Awaiting attention'), (4, 'EN', 'Cancelled'), (6, 'EN', 'Completed'),
  (8, 'EN', 'Reminder'), (2, 'ES', 'En espera');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays) VALUES
  (1, 'EN', 'Bruno Núñez', 'bruno', 'bruno@example.com', 1, 30),
  (2, 'EN', 'Ana', 'ana', 'ana@example.com', 0, 30);
INSERT INTO qxsmtp (Idsmtp, Servidor, Puerto) VALUES (1, '127.0.0.1', 25);
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES
  (21, 'Lámpara fundida en la sala', 202, 1, 1), (22, 'Leaking tap', 203, 1, 0),
  (23, 'Broken window', 204, 1, 0), (24, 'Ana''s chair', 205, 2, 0);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, Id_UserStatus,
                            UserNameQX, StatusType) VALUES
  (201, 21, 1, ${firstNote}, 'Reported', 1, NULL, 1),
  (202, 21, 2, ${secondNote}, 'Parts ordered' || char(13, 10) || 'Arriving Monday', 0, 'Desk', 1),
  (203, 22, 8, ${secondNote}, NULL, 1, NULL, 1),
  (204, 23, 6, ${yesterday}, 'Done', 1, NULL, 1),
  (205, 24, 1, ${firstNote}, NULL, 2, NULL, 1);
`;

let service;

before(async () => {
  service = await startServiceOver(databaseSql);
});

after(async () => {
  if (service) await service.stop();
});

// Reads the database the sessions work on from another process, as the desktop tools do.
const query = (sql) => service.query(sql);

// A new session signed in through the login screen, with every post it sends counted.
const signIn = (name, password) => signInTo(service, name, password);

test("the home screen lists the user's requests and follows the current one's notes", async () => {
  const { page, errors } = await signIn("Bruno Núñez", "bruno");
  let state = await homeState(page);
  assert.equal(state.title, "Online failures report [Bruno Núñez]");
  assert.equal(state.user, "Welcome Bruno Núñez");
  assert.match(state.date, new RegExp(`^Last update: ${shortDate(new Date())} \\d\\d:\\d\\d$`));
  const from = new Date();
  from.setDate(from.getDate() - 30);
  assert.equal(state.caption,
    `Pending requests [All] and Requests Dealt with or Canceled [from ${shortDate(from)}]`);
  assert.deepEqual(state.requests, [
    ["21", "!", "Lámpara fundida en la sala", "Awaiting attention"],
    ["22", "", "Leaking tap", "Reminder"],
    ["23", "", "Broken window", "Completed"],
  ]);
  assert.equal(state.currentRequest, 0);
  assert.equal(state.dial, "Number 21");
  assert.equal(state.followUp, "Request follow-up 21");
  assert.deepEqual(state.notes, [
    ["09/12/2025 12:00:00", "New", "Bruno Núñez"],
    ["10/12/2025 18:00:00", "Awaiting attention", "Desk"],
  ]);
  assert.equal(state.currentNote, 0);
  assert.equal(state.noteDate, "09/12/2025 12:00");
  assert.equal(state.comments, "Reported");
  assert.deepEqual([state.remind, state.cancel, state.mail], [true, true, true]);

  // The notes' navigation.
  await post(page, () => page.click("#BTNREGRESAR"));
  state = await homeState(page);
  assert.deepEqual([state.currentNote, state.noteDate], [1, "10/12/2025 18:00"]);
  assert.equal(state.comments, "Parts ordered\nArriving Monday");
  await post(page, () => page.click("#IWIMAGEBUTTON1"));
  assert.equal((await homeState(page)).currentNote, 0);
  await post(page, () => page.click("#IWIMAGEBUTTON6"));
  assert.equal((await homeState(page)).currentNote, 1);
  await post(page, () => page.click("#BTNAVANZAR"));
  assert.equal((await homeState(page)).currentNote, 0);

  // The requests' navigation: each request brings its own notes and buttons.
  await post(page, () => page.click("#BTNSIGUIENTE"));
  state = await homeState(page);
  assert.deepEqual([state.currentRequest, state.dial, state.followUp], [1, "Number 22", "Request follow-up 22"]);
  assert.deepEqual(state.notes, [["10/12/2025 18:00:00", "Reminder", "Bruno Núñez"]]);
  assert.deepEqual([state.remind, state.cancel], [false, true]);
  await post(page, () => page.click("#BTNULTIMO"));
  state = await homeState(page);
  assert.deepEqual([state.currentRequest, state.dial, state.remind, state.cancel], [2, "Number 23", false, false]);
  await post(page, () => page.click("#BTNANTERIOR"));
  assert.equal((await homeState(page)).dial, "Number 22");
  await post(page, () => page.click("#BTNPRIMERA"));
  assert.equal((await homeState(page)).dial, "Number 21");

  // A description selects its request; a note's date selects the note.
  await post(page, () => page.click("#tblDBGREQUEST a:text('Broken window')"));
  state = await homeState(page);
  assert.deepEqual([state.currentRequest, state.dial, state.comments], [2, "Number 23", "Done"]);
  await post(page, () => page.click("#tblDBGREQUEST a:text('Lámpara fundida en la sala')"));
  await post(page, () => page.click("#tblDBGREQUESTSTATUS a:text('10/12/2025 18:00:00')"));
  state = await homeState(page);
  assert.deepEqual([state.dial, state.currentNote, state.noteDate], ["Number 21", 1, "10/12/2025 18:00"]);
  assert.deepEqual(errors, []);
});

test("Remind and Cancel ask first, send nothing when declined, and rebuild the list when done", async () => {
  const opened = await signIn("Bruno Núñez", "bruno");
  const { page, errors, dialogs, answers } = opened;
  const notes = query("SELECT Count(*) FROM Request_Status");
  const sent = opened.posts;

  // Declined: the question was asked and nothing reached the server.
  answers.push(false);
  const before = dialogs.length;
  await page.click("#BTNRECORDAR");
  assert.deepEqual(dialogs.slice(before), ["Are you sure you want to send a reminder for the request 21?"]);
  await page.waitForTimeout(300);
  assert.equal(opened.posts, sent);
  assert.equal(query("SELECT Count(*) FROM Request_Status"), notes);
  assert.equal(await page.evaluate(() => window.locked), false);

  // Accepted: a reminder note by Bruno, request 21 in status Reminder, only Cancel offered.
  await post(page, () => page.click("#BTNRECORDAR"));
  let state = await homeState(page);
  assert.equal(query("SELECT Id_Status || ' ' || Id_UserStatus FROM Request JOIN Request_Status " +
                     "USING (Id_Req_Status) WHERE Request.Id_Request = 21"), "8 1", JSON.stringify(dialogs));
  assert.deepEqual(state.requests.map((row) => row[3]), ["Reminder", "Reminder", "Completed"]);
  assert.equal(state.notes.length, 3);
  assert.deepEqual([state.dial, state.remind, state.cancel], ["Number 21", false, true]);

  // Cancel request 22: declined once, then done; the list starts again at its first request.
  await post(page, () => page.click("#BTNSIGUIENTE"));
  answers.push(false);
  await page.click("#BTNCANCELAR");
  await page.waitForTimeout(300);
  assert.equal(opened.posts, sent + 2);
  assert.equal(query("SELECT Id_Req_Status FROM Request WHERE Id_Request = 22"), "203");
  await post(page, () => page.click("#BTNCANCELAR"));
  state = await homeState(page);
  assert.deepEqual(dialogs.slice(-2), ["Are you sure you want to cancel the request 22?",
                                        "Are you sure you want to cancel the request 22?"]);
  assert.equal(query("SELECT Id_Status FROM Request JOIN Request_Status USING (Id_Req_Status) " +
                     "WHERE Request.Id_Request = 22"), "4");
  assert.deepEqual(state.requests.map((row) => row[3]), ["Reminder", "Cancelled", "Completed"]);
  assert.deepEqual([state.currentRequest, state.dial], [0, "Number 21"]);
  assert.deepEqual(errors, []);
});

test("a user who may not send mail has no e-mail button; a maintenance note's author has no profile", async () => {
  const { page, errors, dialogs } = await signIn("Ana", "ana");
  let state = await homeState(page);
  assert.equal(state.title, "Online failures report [Ana]");
  assert.deepEqual(state.requests, [["24", "", "Ana's chair", "New"]]);
  assert.equal(state.mail, false);
  await page.close();

  const bruno = await signIn("Bruno Núñez", "bruno");
  await post(bruno.page, () => bruno.page.click("#tblDBGREQUESTSTATUS a:text('Desk')"));
  assert.equal(bruno.dialogs.at(-1), "The requested user is an QX user; it cannot be shown.");
  state = await homeState(bruno.page);
  assert.equal(state.dial, "Number 21");
  assert.deepEqual([errors, dialogs, bruno.errors], [[], [], []]);
});

test("signing out asks first and lands on a new login page", async () => {
  const opened = await signIn("Bruno Núñez", "bruno");
  const { page, errors, dialogs, answers } = opened;
  const session = await page.evaluate(() => document.SubmitForm.IW_SessionID_.value);
  const sent = opened.posts;
  answers.push(false);
  await page.click("#LNKLOGOUTFRAENCABEZADO1 a");
  await page.waitForTimeout(300);
  assert.equal(opened.posts, sent);
  await page.click("#LNKLOGOUTFRAENCABEZADO1 a");
  await page.waitForFunction((old) => document.title === "Login in ZazAZ" && window.IWCLForm &&
    window.locked === false && document.SubmitForm.IW_SessionID_.value !== old, session);
  assert.deepEqual(dialogs, ["Are you sure you want to log off and end the application?",
                             "Are you sure you want to log off and end the application?"]);
  assert.deepEqual(errors, []);
});
