// The profile screen of the staged service in Chromium, over a database of its own, opened
// from a note's author on the home screen: its texts, places and sizes as laid out; the photo
// the browser decodes, the labels and the "(prefix) number" mobile line of the first row of a
// user with rows in two languages; a user without a dialling prefix, whose large photo is drawn
// within its frame; Back to the home screen as it was.
"use strict";

const assert = require("node:assert/strict");
const path = require("node:path");
const { after, before, test } = require("node:test");
const { assertDrawnAsDesigned, homeState, post, signIn } = require("../lib/screens");
const { stage, startServiceOver } = require("../lib/service");

// Pictures of the staged files folder serve as photographs: a 24 × 24 JPEG, a 500 × 340 GIF.
const smallPhoto = path.join(stage, "Files", "Actualizar.jpg");
const largePhoto = path.join(stage, "Files", "J0143750.GIF");
// Ana's requests 41 and 42; 42 has a note of Bruno's and one of Carla's. Bruno has a row in
// English and one in Spanish; Carla has no dialling prefix.
const databaseSql = `
INSERT INTO Status (Id_Status, Id_Language, Description) VALUES (1, 'EN', 'New'), (2, 'EN', 'Awaiting');
INSERT INTO Users (Id_User, Id_Language, UserName, Password, Department, Group2, Email, Phone, Photo,
                   PhoneCode, Movil) VALUES
  (1, 'EN', 'Ana Torres', 'ana', 'Administration', NULL, NULL, NULL, NULL, NULL, NULL),
  (2, 'EN', 'Bruno Núñez', 'bruno', 'Warehouse', 'Logistics', 'bruno@example.com', '+351 213 550 102',
   readfile('${smallPhoto}'), '351', '912 345 678'),
  (2, 'ES', 'Bruno (ES)', 'bruno', 'Almacén', 'Logística', 'bruno@example.es', '0', NULL, '34', '1'),
  (3, 'EN', 'Carla Méndez', 'carla', 'Reception', 'Front desk', 'carla@example.com', '+34 915 550 103',
   readfile('${largePhoto}'), NULL, '600 100 200');
INSERT INTO Request (Id_Request, Description, Id_Req_Status, Id_User) VALUES
  (41, 'Leaking tap', 401, 1), (42, 'Broken chair', 403, 1);
INSERT INTO Request_Status (Id_Req_Status, Id_Request, Id_Status, Status_dt, Id_UserStatus, StatusType) VALUES
  (401, 41, 1, 46000.5, 1, 1), (402, 42, 1, 46000.5, 2, 1), (403, 42, 2, 46001.75, 3, 1);
`;

let service;

before(async () => {
  service = await startServiceOver(databaseSql);
});

after(async () => {
  if (service) await service.stop();
});

// The first row the database returns for a user, as the profile reads it.
const firstRow = (id) => service.query(
  `select UserName, Department, Group2, Email, Phone from Users Where Id_User = ${id}`)
  .split("\n")[0].split("|");

// What the profile shows: the lines beside the photo, and the photo as loaded and drawn.
function profileState(page) {
  return page.evaluate(() => {
    const text = (id) => document.getElementById(id).innerText;
    const photo = document.querySelector("img#IMGFOTO");
    return {
      lines: ["IWDBLABEL1", "LBLDEPARTAMENTO", "IWDBLABEL3", "IWDBLABEL2", "LBLPHONE"].map(text),
      mobile: text("LBTELEFONO"),
      photo: photo && [photo.complete, photo.naturalWidth, photo.naturalHeight, photo.width,
                       photo.height, photo.alt],
    };
  });
}
// Opens the profile of the author of the note whose author link reads `name`.
const openProfile = (page, name) =>
  post(page, () => page.click(`#tblDBGREQUESTSTATUS a:text('${name}')`));

test("the profile shows the author's photo, labels and mobile line, and Back returns home as it was", async () => {
  const { page, errors } = await signIn(service, "Ana Torres", "ana", { width: 800, height: 559 });
  await post(page, () => page.click("#BTNSIGUIENTE"));
  await post(page, () => page.click("#BTNREGRESAR"));
  const home = await homeState(page);
  assert.deepEqual([home.dial, home.currentNote, home.notes.map((row) => row[2])],
                   ["Number 42", 1, ["Bruno Núñez", "Carla Méndez"]]);

  await openProfile(page, "Bruno Núñez");
  assert.deepEqual(firstRow(2), ["Bruno Núñez", "Warehouse", "Logistics", "bruno@example.com",
                                 "+351 213 550 102"]);
  assert.deepEqual(await profileState(page), {
    lines: firstRow(2),
    mobile: "(351) 912 345 678",
    photo: [true, 24, 24, 24, 24, "(Foto)"],
  });
  const look = await page.evaluate(() => {
    const style = (id) => getComputedStyle(document.getElementById(id));
    return {
      region: style("REGUSER").backgroundColor,
      focused: document.activeElement.id,
      title: [document.getElementById("LBLTITULO").innerText, style("LBLTITULO").color,
              style("LBLTITULO").fontSize],
      frame: document.getElementById("RECTFOTO").innerText,
      captions: ["IWLABEL1", "IWLABEL5", "IWLABEL3", "IWLABEL4", "IWLABEL2"]
        .map((id) => document.getElementById(id).innerText),
      name: [style("IWDBLABEL1").fontSize, style("IWDBLABEL1").fontWeight],
      line: [style("LBTELEFONO").fontSize, style("LBTELEFONO").fontWeight],
      back: document.getElementById("BTNREGRESAR").value,
      cursor: style("IMGFOTO").cursor,
    };
  });
  assert.deepEqual(look, {
    region: "rgb(240, 248, 255)",
    focused: "BTNREGRESAR",
    title: ["User information", "rgb(70, 130, 180)", "24px"],
    frame: "(PHOTO)",
    captions: ["Group 1:", "Group 2:", "E-mail:", "Landline:", "Mobile telephone:"],
    name: ["16px", "700"],
    line: ["15px", "700"],
    back: "Back",
    cursor: "pointer",
  });
  // The photo at its own size.
  await assertDrawnAsDesigned(page, "REGUSER", 800, {
    LBLTITULO: [50, 69, 685, 29],
    RECTFOTO: [50, 110, 210, 210],
    IMGFOTO: [55, 115, 24, 24],
    IWDBLABEL1: [280, 115, 455, 23],
    IWLABEL1: [280, 154],
    LBLDEPARTAMENTO: [280, 170, 455, 24],
    IWLABEL5: [280, 204],
    IWDBLABEL3: [280, 220, 455, 24],
    IWLABEL3: [280, 254],
    IWDBLABEL2: [280, 270, 455, 24],
    IWLABEL4: [280, 304],
    LBLPHONE: [280, 320, 455, 24],
    IWLABEL2: [280, 354],
    LBTELEFONO: [280, 370, 455, 24],
    BTNREGRESAR: [654, 448, 81, 25],
  });

  // Back: the home screen as it was, on the same request and note.
  await post(page, () => page.click("#BTNREGRESAR"));
  const back = await homeState(page);
  assert.deepEqual({ ...back, date: home.date }, home);
  assert.deepEqual(errors, []);
});

test("a user without a dialling prefix has no mobile line; a large photo is drawn within its frame", async () => {
  const { page, errors } = await signIn(service, "Ana Torres", "ana");
  await post(page, () => page.click("#BTNSIGUIENTE"));
  await openProfile(page, "Carla Méndez");
  assert.deepEqual(await profileState(page), {
    lines: firstRow(3),
    mobile: "",
    photo: [true, 500, 340, 200, 136, "(Foto)"],
  });
  assert.deepEqual(errors, []);
});
