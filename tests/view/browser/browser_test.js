// Drives mosaiq-view's page in headless Chromium: the cells it shows against --frame, the keys,
// window.player against --list, the address, the loop, the scaling, that nothing is fetched,
// and the song's sound: when its first note sounds, and the frames on the audio's clock.
//
// usage: node browser_test.js --view PATH --mosaiq PATH --chromium PATH [--sound OFF]
"use strict";

const { execFileSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");
const { check, sleep, midiFile, launch, finish } = require("./support");

const argument = (name) => process.argv[process.argv.indexOf(name) + 1];
const view = path.resolve(argument("--view"));
const mosaiq = path.resolve(argument("--mosaiq"));
const chromium = argument("--chromium");
const sound = !process.argv.includes("--sound") || argument("--sound").toUpperCase() !== "OFF";
const root = path.resolve(__dirname, "..", "..", "..");

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

// The song for the sound's checks: 120 quarter notes a minute, 90 from the second measure's
// third beat (tick 960); its first note at tick 1200, 1 s + 240 / 480 * 60 / 90 s = 1.333 s,
// then a note on every quarter for a minute.
const firstNoteSeconds = 1 + (240 / 480) * (60 / 90);
function songForSound() {
  const tempo = (delta, bpm) => {
    const micro = Math.round(60000000 / bpm);
    return [delta, 0xff, 0x51, 3, micro >> 16, (micro >> 8) & 255, micro & 255];
  };
  const notes = [];
  for (let k = 0; k < 90; ++k) {
    notes.push([k === 0 ? 1200 : 240, 0x90, 60 + (k % 12), 100], [240, 0x80, 60 + (k % 12), 0]);
  }
  return midiFile(480, [[tempo(0, 120), tempo(960, 90)], notes]);
}

// Where the sound is first heard in the page's audio, decoded by the browser.
function firstSoundInThePage() {
  return (async () => {
    const bytes = await (await fetch(document.getElementById("audio").src)).arrayBuffer();
    const context = new OfflineAudioContext(1, 48000, 48000);
    const decoded = await context.decodeAudioData(bytes);
    const samples = decoded.getChannelData(0);
    let peak = 0, first = -1;
    for (let i = 0; i < samples.length; ++i) {
      const level = Math.abs(samples[i]);
      if (level > 0.002 && first < 0) first = i;
      peak = Math.max(peak, level);
    }
    return { first: first / decoded.sampleRate, peak, seconds: decoded.duration };
  })();
}

// The frame shown and the audio's position, sampled while it plays for `seconds`: every frame
// against the one the timeline gives for that position.
async function framesOnTheAudiosClock(page, seconds) {
  const off = [];
  for (let t = 0; t < seconds * 10; ++t) {
    const [frame, due, playing] = await page.evaluate(() => {
      const time = document.getElementById("audio").currentTime;
      const starts = window.player.startTimes;
      let due = 0;
      while (due + 1 < starts.length && starts[due + 1] <= time) ++due;
      return [window.player.frame, due, !document.getElementById("audio").paused];
    });
    if (!playing || Math.abs(frame - due) > 1) off.push([frame, due, playing]);
    await sleep(100);
  }
  return off;
}

async function checkSound(browser, work) {
  fs.writeFileSync(path.join(work, "demo.mid"), songForSound());
  const environment = { ...process.env, MOSAIQ_SOUNDFONT: path.join(root, "tests", "data", "square.sf2") };
  execFileSync(view, ["--html", "sound.html", "demo.wve"], { cwd: work, env: environment });
  execFileSync(view, ["--html", "silent.html", "--no-audio", "demo.wve"], { cwd: work });
  const address = "file://" + path.join(work, "sound.html");
  const page = await browser.newPage();
  await page.goto(address, { waitUntil: "load" });
  const heard = await page.evaluate(firstSoundInThePage);
  console.log(`the first note sounds at ${heard.first.toFixed(4)} s (the MIDI file's: ` +
              `${firstNoteSeconds.toFixed(4)} s); ${heard.seconds.toFixed(1)} s of sound`);
  check("the first note sounds when the MIDI file's tempo map puts it (within 30 ms)",
        Math.abs(heard.first - firstNoteSeconds) <= 0.03 ? "yes" : heard.first, "yes");
  check("the music is audible", heard.peak > 0.01, true);
  check("window.player.audio", await page.evaluate(() => window.player.audio), true);

  await page.goto(`${address}#frame=3&play`, { waitUntil: "load" });
  await sleep(300);
  const waiting = () => page.evaluate(() => [window.player.frame, window.player.playing,
                                             window.player.waiting,
                                             document.getElementById("audio").paused,
                                             document.getElementById("notice").textContent]);
  check("#frame=K&play before a gesture: frames and sound wait together, and it says so",
        await waiting(), [3, false, true, true, "click or press a key to play, with the sound"]);
  await page.mouse.click(5, 5);
  await sleep(400);
  const started = await page.evaluate(() => [window.player.playing, window.player.waiting,
    !document.getElementById("audio").paused, window.player.muted,
    Math.abs(document.getElementById("audio").currentTime - window.player.startTimes[3]) < 0.6]);
  check("the first click starts both, at the frame shown, with the sound",
        started, [true, false, true, false, true]);
  check("and then the frames keep to the sound", await framesOnTheAudiosClock(page, 1), []);
  await page.keyboard.press("Space");
  check("paused: neither runs", await page.evaluate(() => [window.player.playing,
    document.getElementById("audio").paused]), [false, true]);
  await page.keyboard.press("m");
  check("m mutes", await page.evaluate(() => window.player.muted), true);
  await page.keyboard.press("m");

  for (const speed of [1, 2]) {
    await page.evaluate((s) => { window.player.seek(1); window.player.speed = s; window.player.play(); },
                        speed);
    await sleep(300);
    check(`at ${speed}x the frame shown is the audio's (within a frame)`,
          await framesOnTheAudiosClock(page, 3), []);
    check(`at ${speed}x through playbackRate`,
          await page.evaluate(() => document.getElementById("audio").playbackRate), speed);
  }
  // The audio moved under the page (as when it stalls and catches up): the frames go with it.
  await page.evaluate(() => {
    window.player.speed = 1;
    document.getElementById("audio").currentTime = window.player.startTimes[40];
  });
  await sleep(300);
  check("the frames follow the audio where it goes", await framesOnTheAudiosClock(page, 1), []);
  await page.evaluate(() => window.player.pause());
  for (const k of [5, 30, 12]) {
    const [start, at] = await page.evaluate((frame) => {
      window.player.seek(frame);
      return [window.player.startTimes[frame], window.player.audioTime];
    }, k);
    await sleep(200);
    const settled = await page.evaluate(() => document.getElementById("audio").currentTime);
    check(`seeking to frame ${k} puts the audio at its start (within 30 ms)`,
          [Math.abs(at - start) <= 0.03, Math.abs(settled - start) <= 0.03], [true, true]);
  }
  await page.goto("file://" + path.join(work, "silent.html"), { waitUntil: "load" });
  check("a silent page says so", await page.evaluate(() => [window.player.audio,
    document.getElementById("song").textContent.endsWith("; the page is silent")]), [false, true]);
  await page.close();
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), "mosaiq-browser-"));
  fs.copyFileSync(path.join(root, "examples", "demo.wve"), path.join(work, "demo.wve"));
  execFileSync(mosaiq, ["demo"], { cwd: work });
  execFileSync(view, ["--html", "demo.html", "demo.wrd"], { cwd: work });
  const table = execFileSync(view, ["--list", "demo.wrd"], { cwd: work, stdio: ["ignore", "pipe", "ignore"] })
    .toString().trim().split("\n").slice(1).map((line) => line.split("\t"));
  const listed = table.map((row) => Number(row[1]));
  const address = "file://" + path.join(work, "demo.html");

  const browser = await launch(chromium, work);
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

    if (sound) await checkSound(browser, work);
  } finally {
    await browser.close();
    fs.rmSync(work, { recursive: true, force: true });
  }
  finish("the page passed every check in the browser");
}

main().catch((error) => {
  console.log("FAIL", error.stack || error);
  process.exit(1);
});
