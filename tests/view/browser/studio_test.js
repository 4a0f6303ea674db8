// Drives mosaiq-studio's page in headless Chromium as an author does: keys pick colours, a click
// on a cell paints it, a frame dragged to the next beat moves (and the frames after it), undo
// gives it back, a save writes only the row painted, the checker's findings come and go with the
// edits, a GIF dropped on the timeline lands on its beat, the song sounds, and a page with
// changes not saved asks before it closes.
//
// usage: node studio_test.js --studio PATH --view PATH --chromium PATH
"use strict";

const { execFileSync, spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { check, sleep, midiFile, launch, finish } = require("./support");

const argument = (name) => process.argv[process.argv.indexOf(name) + 1];
const studioProgram = path.resolve(argument("--studio"));
const view = path.resolve(argument("--view"));
const chromium = argument("--chromium");
const root = path.resolve(__dirname, "..", "..", "..");

// 4/4 at 120 quarter notes a minute, a note on every beat for eight measures.
function song() {
  const events = [[0, 0xff, 0x51, 3, 0x07, 0xa1, 0x20]];
  for (let k = 0; k < 32; ++k) events.push([k ? 240 : 0, 0x90, 60, 100], [240, 0x80, 60, 0]);
  return midiFile(480, [events]);
}

// Frames at 2:2, 2:3 and 2:4 (2.5, 3 and 3.5 s); the third stamped where it does not show.
const authors = "; the studio's test\r\n*nXY=4,2\r\n*p1,Intro\r\n" +
  "*f1-2-2-0/1\r\n1200\r\n0000\r\n*f1-2-3-0/1\r\n0340\r\n0000\r\n*f1-9-9-0/1\r\n0000\r\n0056\r\n*end\r\n";

function startStudio(work) {
  return new Promise((resolve, reject) => {
    const child = spawn(studioProgram, ["--no-browser", "a.wve"], {
      cwd: work,
      stdio: ["ignore", "pipe", "pipe"],
      env: { ...process.env, XDG_CACHE_HOME: path.join(work, "cache"),
             MOSAIQ_SOUNDFONT: path.join(root, "tests", "data", "square.sf2") },
    });
    let out = "", err = "";
    child.stdout.on("data", (chunk) => {
      out += chunk;
      const match = /http:\/\/127\.0\.0\.1:\d+\/[0-9a-f]+\//.exec(out);
      if (match) resolve({ child, address: match[0], err: () => err });
    });
    child.stderr.on("data", (chunk) => { err += chunk; });
    child.on("exit", () => reject(new Error("mosaiq-studio ended: " + err)));
  });
}

// Waits until the page shows a version after `revision`.
async function changed(page, revision) {
  for (let i = 0; i < 100; ++i) {
    if (await page.evaluate(() => window.studio.revision) !== revision) return true;
    await sleep(50);
  }
  return false;
}

async function dragFrame(page, from, to) {
  const a = await page.evaluate((t) => window.studio.timelinePoint(t), from);
  const b = await page.evaluate((t) => window.studio.timelinePoint(t), to);
  await page.mouse.move(a.x, a.y);
  await page.mouse.down();
  await page.mouse.move((a.x + b.x) / 2, b.y, { steps: 4 });
  await page.mouse.move(b.x, b.y, { steps: 4 });
  await page.mouse.up();
}

async function edits(page, work) {
  const revision = () => page.evaluate(() => window.studio.revision);
  const frames = () => page.evaluate(() => window.studio.frames().map((f) =>
    [f.song.join(":"), f.rows.join("/")]));
  const findings = () => page.evaluate(() => window.studio.findings().map((f) => [f.check, f.frame]));
  check("the file as read", await frames(), [["2:2", "1200/0000"], ["2:3", "0340/0000"], ["2:4", "0000/0056"]]);
  check("its finding, at frame 3", await findings(), [["song-position", 3]]);

  await page.keyboard.press("5");
  check("a key picks the colour", await page.evaluate(() => window.studio.colour), 5);
  let before = await revision();
  const cell = await page.evaluate(() => window.studio.cellRect(1, 0));
  await page.mouse.click(cell.left + cell.width / 2, cell.top + cell.height / 2);
  check("a click on a cell paints it", [await changed(page, before), (await frames())[0]],
        [true, ["2:2", "1500/0000"]]);
  // The player's screen shows it too: cell (1, 0) of a 4 x 2 grid, in cyan (terminal colour 6).
  check("and the player's screen", await page.evaluate(() => {
    const row = document.querySelectorAll("#screen .row")[(24 - 2) / 2 + 2];
    return row.children[40 - 4 - 1 + 2].className;
  }), "b c6");

  before = await revision();
  await page.keyboard.down("Control");
  await page.keyboard.press("s");
  await page.keyboard.up("Control");
  await sleep(300);
  check("Ctrl+S writes the row painted, and nothing else",
        fs.readFileSync(path.join(work, "a.wve"), "latin1"), authors.replace("1200", "1500"));
  check("saved, nothing is left to save", await page.evaluate(() => window.studio.dirty), false);

  before = await revision();
  await dragFrame(page, 3.1, 3.6);
  check("a frame dragged to the next beat moves, the frame before held",
        [await changed(page, before), await frames()],
        [true, [["2:2", "1500/0000"], ["2:3", "1500/0000"], ["2:4", "0340/0000"], ["3:1", "0000/0056"]]]);
  check("the frame after it, moved and stamped where it shows: no finding", await findings(), []);
  before = await revision();
  await page.keyboard.down("Control");
  await page.keyboard.press("z");
  await page.keyboard.up("Control");
  check("undo gives it back, the finding with it", [await changed(page, before), await frames(),
        await findings()],
        [true, [["2:2", "1500/0000"], ["2:3", "0340/0000"], ["2:4", "0000/0056"]],
         [["song-position", 3]]]);
}

async function clip(page, work) {
  fs.writeFileSync(path.join(work, "clip.wve"), "*nXY=2,1\n*f1-2-2-0/1\n34\n*f1-2-3-0/1\n43\n*end\n");
  execFileSync(view, ["--gif", "clip.gif", "--bpm", "120", "clip.wve"], { cwd: work });
  const gif = fs.readFileSync(path.join(work, "clip.gif")).toString("base64");
  const before = await page.evaluate(() => window.studio.revision);
  // Dropped a tenth of a second after 4:1: it lands on 4:1, the screen dark until then.
  await page.evaluate((bytes) => {
    const data = Uint8Array.from(atob(bytes), (c) => c.charCodeAt(0));
    const transfer = new DataTransfer();
    transfer.items.add(new File([data], "clip.gif", { type: "image/gif" }));
    const at = window.studio.timelinePoint(6.1);
    document.getElementById("timeline").dispatchEvent(new DragEvent("drop", {
      dataTransfer: transfer, clientX: at.x, clientY: at.y, bubbles: true, cancelable: true }));
  }, gif);
  check("a GIF dropped on the timeline lands on its beat", [await changed(page, before),
    await page.evaluate(() => window.studio.frames().filter((f) => f.song[0] === 4 && f.song[1] <= 2)
      .map((f) => [f.song.join(":"), f.rows.join("/")]))],
        [true, [["4:1", "0340/0000"], ["4:2", "0430/0000"]]]);
  check("what the clip made is said", await page.evaluate(() =>
    document.getElementById("clip-summary").textContent.startsWith("2 x 1 cells")), true);
  check("and adds no finding", await page.evaluate(() => window.studio.findings().length), 1);
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "mosaiq-studio-"));
  fs.writeFileSync(path.join(work, "a.wve"), authors, "latin1");
  fs.writeFileSync(path.join(work, "a.mid"), song());
  const studio = await startStudio(work);
  const browser = await launch(chromium, work);
  try {
    const page = await browser.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    await page.setViewport({ width: 1400, height: 900 });
    await page.goto(studio.address, { waitUntil: "load" });
    await page.evaluate(() => window.studio.ready);
    await edits(page, work);
    await clip(page, work);
    let sounding = false;
    for (let i = 0; i < 100 && !sounding; ++i) {
      sounding = await page.evaluate(() => window.player.audio);
      if (!sounding) await sleep(100);
    }
    check("the song sounds", sounding, true);
    check("no error on the page", errors, []);
    let asked = false;
    page.on("dialog", async (dialog) => {
      asked = dialog.type() === "beforeunload";
      await dialog.accept();
    });
    await page.close({ runBeforeUnload: true });
    await sleep(500);
    check("a page with changes not saved asks before it closes", asked, true);
  } finally {
    await browser.close();
    studio.child.removeAllListeners("exit");
    studio.child.kill("SIGINT");
    await new Promise((resolve) => studio.child.on("exit", resolve));
    fs.rmSync(work, { recursive: true, force: true });
  }
  finish("the studio passed every check in the browser");
}

main().catch((error) => {
  console.log("FAIL", error.stack || error);
  process.exit(1);
});
