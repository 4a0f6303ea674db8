// Drives mosaiq-view's page in headless Chromium: the cells it shows against --frame, the keys,
// window.player against --list, the address, the loop, the scaling, and that nothing is fetched.
//
// usage: node browser_test.js --view PATH --mosaiq PATH --chromium PATH
"use strict";

const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const puppeteer = require("puppeteer-core");

const argument = (name) => process.argv[process.argv.indexOf(name) + 1];
const view = path.resolve(argument("--view"));
const mosaiq = path.resolve(argument("--mosaiq"));
const chromium = argument("--chromium");
const root = path.resolve(__dirname, "..", "..", "..");

const failures = [];
function check(name, actual, expected) {
  const a = JSON.stringify(actual), e = JSON.stringify(expected);
  if (a !== e) failures.push(`${name}:\n  expected ${e}\n  actual   ${a}`);
}

// The visible cells of --frame output: {"row,column": [character, colour]}.
function cellsOfFrameText(text) {
  const cells = {};
  text.split("\n").slice(0, 25).forEach((line, row) => {
    let column = 0, colour = null;
    const tokens = line.match(/\x1b\[(\d+)m|[\s\S]/gu) || [];
    for (const token of tokens) {
      const escape = /^\x1b\[(\d+)m$/.exec(token);
      if (escape) {
        colour = escape[1] === "0" ? null : Number(escape[1]) - 30;
        continue;
      }
      if (token !== " ") cells[`${row},${column}`] = [token, colour];
      column += /[\u1100-\uffdc\u2588]/.test(token) && token !== "\u2588" ? 2 : 1;
    }
  });
  return cells;
}

// The visible cells of the page's screen, in the same form.
function cellsOfPage() {
  const cells = {};
  document.querySelectorAll("#screen .row").forEach((row, r) => {
    Array.from(row.children).forEach((span, c) => {
      const text = span.textContent;
      if (span.classList.contains("t") || text.trim() === "") return;
      const colour = Array.from(span.classList).find((name) => /^c\d$/.test(name));
      cells[`${r},${c}`] = [text, colour ? Number(colour.slice(1)) : null];
    });
  });
  return cells;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "mosaiq-browser-"));
  fs.copyFileSync(path.join(root, "examples", "demo.wve"), path.join(work, "demo.wve"));
  execFileSync(mosaiq, ["demo"], { cwd: work });
  execFileSync(view, ["--html", "demo.html", "demo.wrd"], { cwd: work });
  const table = execFileSync(view, ["--list", "demo.wrd"], { cwd: work, stdio: ["ignore", "pipe", "ignore"] })
    .toString().trim().split("\n").slice(1).map((line) => line.split("\t"));
  const listed = table.map((row) => Number(row[1]));
  const address = "file://" + path.join(work, "demo.html");

  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage",
           `--user-data-dir=${path.join(work, "profile")}`],
  });
  try {
    const page = await browser.newPage();
    const fetched = [];
    page.on("request", (request) => {
      if (request.url().split("#")[0] !== address) fetched.push(request.url());
    });
    await page.setViewport({ width: 1000, height: 700 });
    await page.goto(address, { waitUntil: "load" });
    check("nothing fetched", fetched, []);
    check("opens on frame 1", await page.evaluate(() => window.player.frame), 1);
    check("frame count", await page.evaluate(() => window.player.frameCount), listed.length);
    check("start times as --list gives them",
          await page.evaluate(() => window.player.startTimes.map((t) => t.toFixed(3))),
          listed.map((t) => t.toFixed(3)));

    for (const k of [1, 20, 43]) {
      await page.goto(`${address}#frame=${k}`, { waitUntil: "load" });
      const expected = cellsOfFrameText(
        execFileSync(view, ["--frame", String(k), "demo.wrd"], { cwd: work }).toString());
      check(`frame ${k} holds cells`, Object.keys(expected).length > 20, true);
      check(`frame ${k} shows what --frame shows`, await page.evaluate(cellsOfPage), expected);
    }

    // Keys, wherever the focus is.
    await page.goto(`${address}#frame=10`, { waitUntil: "load" });
    await page.focus("#speed");
    const state = () => page.evaluate(() => [window.player.frame, window.player.playing,
                                            window.player.speed]);
    await page.keyboard.press("ArrowRight");
    check("Right steps", await state(), [11, false, 1]);
    await page.keyboard.press("ArrowLeft");
    await page.keyboard.press("ArrowLeft");
    check("Left steps back", await state(), [9, false, 1]);
    await page.keyboard.press("End");
    check("End: the last frame", (await state())[0], listed.length - 1);
    await page.keyboard.press("Home");
    check("Home: frame 0", (await state())[0], 0);
    await page.keyboard.press(">");
    await page.keyboard.press("]");
    check("> and ] speed up", (await state())[2], 2);
    await page.keyboard.press("<");
    check("< slows down", (await state())[2], 1.5);
    await page.keyboard.press("[");
    await page.keyboard.press("Space");
    check("Space plays", (await state())[1], true);
    await page.keyboard.press("Space");
    check("Space pauses", (await state())[1], false);
    check("time shown", await page.evaluate(() => /^\d+:\d\d \/ \d+:\d\d$/.test(
      document.getElementById("time").textContent)), true);
    check("measure:beat shown", await page.evaluate(() => {
      window.player.seek(20);
      return document.getElementById("position").textContent;
    }), "5:4");
    check("the song's measure:beat beside the panel's", await page.evaluate(() =>
      document.getElementById("song-position").textContent), `song ${table[20][2]}:${table[20][3]}`);
    check("which song and tempo the times follow", await page.evaluate(() =>
      document.getElementById("song").textContent),
      "no song: the timing assumes 4/4 at 120 quarter notes a minute");
    check("marks where the pattern changes",
          await page.evaluate(() => document.querySelectorAll("#marks div").length), 3);

    // Playing keeps to the clock: at four times the speed, 1.5 s of play is 6 s of timeline.
    await page.goto(`${address}#frame=1&play`, { waitUntil: "load" });
    const began = await page.evaluate(() => [window.player.playing, performance.now()]);
    check("#frame=K&play plays", began[0], true);
    await page.evaluate(() => { window.player.pause(); window.player.speed = 4;
                                window.player.seek(1); window.player.play(); });
    const playedFrom = await page.evaluate(() => performance.now());
    await sleep(1500);
    const [frame, now] = await page.evaluate(() => [window.player.frame, performance.now()]);
    const timeline = listed[1] + (now - playedFrom) / 1000 * 4;
    const due = listed.filter((t) => t <= timeline).length - 1;
    check("in step with the clock", Math.abs(frame - due) <= 1, true);

    // The loop plays on from the start.
    await page.evaluate(() => { document.getElementById("loop").checked = true;
                                window.player.seek(window.player.frameCount - 1);
                                window.player.play(); });
    await sleep(1200);
    check("the loop starts again", await page.evaluate(() => window.player.playing &&
                                                        window.player.frame < 10), true);

    // The screen scales with the window and keeps its proportions.
    const size = () => page.evaluate(() => {
      const box = document.getElementById("screen").getBoundingClientRect();
      return [box.width, box.height];
    });
    await page.setViewport({ width: 600, height: 2000 });
    const narrow = await size();
    await page.setViewport({ width: 1200, height: 2000 });
    const wide = await size();
    check("twice the window, twice the screen", Math.abs(wide[0] / narrow[0] - 2) < 0.05, true);
    check("the same proportions", Math.abs(wide[0] / wide[1] - narrow[0] / narrow[1]) < 0.02, true);
  } finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  for (const failure of failures) console.log("FAIL", failure);
  if (failures.length === 0) console.log("the page passed every check in the browser");
  process.exit(failures.length ? 1 : 0);
}

main().catch((error) => {
  console.log("FAIL", error.stack || error);
  process.exit(1);
});
