// Takes the README's picture of each screen: the staged install over a fresh demo database in
// headless Chromium, signed in as the demo user, one PNG per screen into docs/screens/.
"use strict";

const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { createDatabase, startService } = require("../e2e/lib/service");
const { layoutSettled, post } = require("../e2e/lib/pages");

const target = path.join(__dirname, "..", "docs", "screens");
const viewport = { width: 1000, height: 640 };
// The demo user (src/tools/DemoData.cpp): may send mail, has an address history and requests
// with notes by the maintenance staff and by other users.
const user = { name: "Ana Torres", password: "ana" };

// Goes through the screens as a person would and pictures each into `folder`. A dialog or a
// script error means the screen is not as it should be, so the run fails instead.
async function takePictures(service, folder) {
  const { page, errors, dialogs } = await service.openStartForm({ viewport });
  const picture = async (name) => {
    if (errors.length || dialogs.length) {
      throw new Error(`before ${name}: ${[...errors, ...dialogs].join("; ")}`);
    }
    await layoutSettled(page);
    await page.screenshot({ path: path.join(folder, `${name}.png`), fullPage: true });
  };
  const click = (selector) => post(page, () => page.click(selector));

  await page.selectOption("#CBUSERNAME", { label: user.name });
  await page.fill("#EDTPASSWORD", user.password);
  await picture("login");

  // Home: a request with notes by the staff and by another user, its latest note selected.
  await click("#BTNACEPTAR");
  await click("#tblDBGREQUEST a:text('Lámpara fundida en la sala de reuniones')");
  await picture("home");

  await click("#tblDBGREQUESTSTATUS a:text('Elena Rossi')");
  await picture("profile");
  await click("#BTNREGRESAR");

  await click("#BTNENVIAEMAIL");
  await click("#BTNADDEMAIL2");
  await picture("send-email");
  await click("#BTNCANCELAR");

  await click("#BTNCONFIGURAR");
  await picture("configuration");
  await click("#BTNCANCELAR");

  await click("#BTNREPORTAR");
  await page.fill("#EDTDESCRIP", "The lift stops between the second and third floors");
  await page.fill("#MMCOMMENTS", "It happened twice this morning; nobody was hurt.");
  await click("#BTNCONTAR");
  await click("#BTNADDEMAIL2");
  await picture("report");
}

// PNGs made smaller without loss when optipng is installed; left as Chromium wrote them if not.
function optimise(folder) {
  const files = fs.readdirSync(folder).map((f) => path.join(folder, f));
  const run = spawnSync("optipng", ["-quiet", "-o2", "-strip", "all", ...files], { stdio: "inherit" });
  if (run.error && run.error.code !== "ENOENT") throw run.error;
  if (!run.error && run.status !== 0) throw new Error(`optipng failed with status ${run.status}`);
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "qx-screens-"));
  let service;
  try {
    const database = path.join(work, "Requests.mdb");
    createDatabase(database, { demo: true });
    service = await startService({ database });
    const folder = path.join(work, "screens");
    fs.mkdirSync(folder);
    await takePictures(service, folder);
    optimise(folder);
    // Only a complete set replaces the pictures there are.
    fs.mkdirSync(target, { recursive: true });
    for (const file of fs.readdirSync(folder)) {
      fs.copyFileSync(path.join(folder, file), path.join(target, file));
      const { size } = fs.statSync(path.join(target, file));
      console.log(`${path.relative(process.cwd(), path.join(target, file))}: ${Math.round(size / 1024)} KiB`);
    }
  } finally {
    if (service) await service.stop();
    fs.rmSync(work, { recursive: true, force: true });
  }
}

main().catch((error) => {
  console.error(`screenshots: ${error.message}`);
  process.exitCode = 1;
});
