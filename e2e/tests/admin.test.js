// requestqx-admin on the database the staged service is serving: a request answered with
// `request answer` appears, after Update, on its author's home screen with the new status and
// the maintenance author's name among its notes.
"use strict";

const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const path = require("node:path");
const { after, before, test } = require("node:test");
const { post } = require("../lib/pages");
const { stage, startServiceOver } = require("../lib/service");

const databaseSql = `
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES
  (1, 'EN', 'New'), (3, 'EN', 'In progress');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, Email, SendEmail, RequestGetDays) VALUES
  (1, 'EN', 'Bruno Núñez', 'bruno', 'bruno@example.com', 1, 30);
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User, Urgent) VALUES
  (31, 'Broken window', 301, 1, 0);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Comments, Id_UserStatus,
                            UserNameQX, StatusType) VALUES
  (301, 31, 1, 46000.5, 'Reported', 1, NULL, 1);
`;

let service;

before(async () => {
  service = await startServiceOver(databaseSql);
});

after(async () => {
  if (service) await service.stop();
});

// The request list's rows and the current request's notes, by their cells.
const lists = (page) => page.evaluate(() => {
  const rows = (id) => [...document.querySelectorAll(`#${id} tr[id]`)]
    .map((row) => [...row.cells].map((cell) => cell.innerText.trim()));
  return { requests: rows("tblDBGREQUEST"), notes: rows("tblDBGREQUESTSTATUS") };
});

test("an answer made with the admin tool shows on the author's home screen", async () => {
  const { page, errors } = await service.openStartForm({ viewport: { width: 1000, height: 700 } });
  await page.selectOption("#CBUSERNAME", { label: "Bruno Núñez" });
  await page.fill("#EDTPASSWORD", "bruno");
  await post(page, () => page.click("#BTNACEPTAR"));
  assert.deepEqual((await lists(page)).requests, [["31", "", "Broken window", "New"]]);

  // The session holds its connection to the file while the tool writes to it.
  const answered = execFileSync(path.join(stage, "requestqx-admin"),
    ["request", "answer", "31", "--status", "3", "--by", "Jorge Ramos", "--comments", "Glass ordered",
     "--database", service.database], { encoding: "utf8" });
  assert.equal(answered, "Request 31: note 302, status 3 by Jorge Ramos.\n");

  await post(page, () => page.click("#BTNACTUALIZAR"));
  const state = await lists(page);
  assert.deepEqual(state.requests, [["31", "", "Broken window", "In progress"]]);
  assert.deepEqual(state.notes.map((note) => note.slice(1)),
    [["New", "Bruno Núñez"], ["In progress", "Jorge Ramos"]]);
  assert.deepEqual(errors, []);
});
