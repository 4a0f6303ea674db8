// What the browser tests share: their checks, a pause, songs built byte by byte, and Chromium
// started headless with a profile of its own.
"use strict";

const path = require("path");
const puppeteer = require("puppeteer-core");

const failures = [];
function check(name, actual, expected) {
  const a = JSON.stringify(actual), e = JSON.stringify(expected);
  if (a !== e) failures.push(`${name}:\n  expected ${e}\n  actual   ${a}`);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A Standard MIDI File of format 1: tracks of [ticks since the last event, ...bytes].
function midiFile(division, tracks) {
  const quantity = (value) => {
    const out = [value & 0x7f];
    while ((value >>= 7) > 0) out.unshift(0x80 | (value & 0x7f));
    return out;
  };
  const u32 = (n) => [n >>> 24, (n >>> 16) & 255, (n >>> 8) & 255, n & 255];
  const chunks = tracks.map((events) => {
    const data = events.flatMap(([delta, ...bytes]) => [...quantity(delta), ...bytes])
      .concat([0, 0xff, 0x2f, 0]);
    return [..."MTrk"].map((c) => c.charCodeAt(0)).concat(u32(data.length), data);
  });
  const header = [..."MThd"].map((c) => c.charCodeAt(0))
    .concat(u32(6), [0, 1, 0, tracks.length, division >> 8, division & 255]);
  return Buffer.from(header.concat(...chunks));
}

function launch(chromium, work) {
  return puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
           `--user-data-dir=${path.join(work, "profile")}`],
  });
}

// Says every failure and ends the process: 1 when there was one.
function finish(passed) {
  for (const failure of failures) console.log("FAIL", failure);
  if (failures.length === 0) console.log(passed);
  process.exit(failures.length ? 1 : 0);
}

module.exports = { check, sleep, midiFile, launch, finish };
