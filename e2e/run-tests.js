// Runs the browser test files one after another, each in its own Node.js test run, so that
// two files never drive the service and Chromium at the same time. Works on Node.js 18, whose
// test runner has no concurrency option. Extra arguments name the files to run.
"use strict";

const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const path = require("node:path");

const folder = path.join(__dirname, "tests");
const files = process.argv.length > 2
  ? process.argv.slice(2).map((f) => path.resolve(f))
  : fs.readdirSync(folder).filter((f) => f.endsWith(".test.js")).sort()
      .map((f) => path.join(folder, f));

const failed = [];
for (const file of files) {
  const run = spawnSync(process.execPath, ["--test", file], { stdio: "inherit" });
  if (run.status !== 0) failed.push(path.basename(file));
}
if (failed.length) {
  console.error(`browser tests failed in: ${failed.join(", ")}`);
  process.exit(1);
}
console.log(`browser tests passed: ${files.length} files`);
