// mosaiq-studio's page: the player above (page.js, in this same module: loadScript, useSound,
// seek, seekTime, play, pause and the state it plays by) with the editing around it. The
// document lives in the studio's server, which reads and writes the file and answers with what
// the player and the checker make of every version ("state"); the page sends it commands (each
// against the version it shows, so that two tabs never overwrite each other unseen) and draws
// the frame's cells, the timeline and the findings from the state it gets back. Nothing of it is
// global but window.player and window.studio.

const BASE = location.pathname.endsWith("/") ? location.pathname : location.pathname + "/";
const DIVISIONS = [1, 2, 3, 4, 6, 8, 12, 24];  // the divisions that keep time
const CLIPBOARD = "mosaiq-studio clipboard";   // frames copied, shared between tabs

const studio = {
  doc: null,         // the last state the server sent
  revision: 0,
  frame: 1,          // the frame edited, as the player numbers them
  selection: [1, 1], // the frames selected, first and last
  cells: null,       // the frame's cells as drawn now (a stroke under way changes them first)
  colour: 1,
  tool: "pencil",
  region: null,      // the region selected: [x0, y0, x1, y1]
  pixelsPerSecond: 40,
  scroll: 0,         // the seconds at the timeline's left edge
  waveform: null,
  soundTake: 0,
  lastClip: null,    // the files and time of the last clip dropped, for "place again"
  queue: Promise.resolve(),
};

function say(text) { $("message").textContent = text; }

// --- Talking to the server ---

async function ask(path, options = {}) {
  const response = await fetch(BASE + path, { cache: "no-store", ...options });
  let body = {};
  try { body = await response.json(); } catch (e) { body = {}; }
  return { status: response.status, body };
}

// Sends a command against the version shown; the state is fetched again after it. Commands go
// one after another, each against the version the one before made.
function send(path, fields = {}, body = null) {
  const run = async () => {
    let request;
    if (body) {
      body.append("base", String(studio.revision));
      request = { method: "POST", body };
    } else {
      request = { method: "POST", body: new URLSearchParams({ ...fields, base: String(studio.revision) }) };
    }
    const answer = await ask(path, request);
    if (answer.status === 409 && answer.body.stale) {
      say("the file was changed in another tab: showing it now, that change not made");
    } else if (answer.status >= 400) {
      say(answer.body.problem || "the studio did not answer");
    } else if (path !== "save") {
      say("");
    }
    // A save changes what is saved, not the version: the state is asked for whole.
    await refresh(path === "save");
    return answer;
  };
  studio.queue = studio.queue.then(run, run);
  return studio.queue;
}

function command(fields) { return send("command", fields); }

async function refresh(whole = false) {
  const answer = await ask(whole ? "state" : "state?since=" + studio.revision);
  if (answer.status !== 200 || answer.body.same) return;
  take(answer.body);
}

// --- The state taken in ---

function take(doc) {
  const first = studio.doc === null;
  studio.doc = doc;
  studio.revision = doc.revision;
  const count = doc.frames.length;
  studio.frame = Math.min(Math.max(studio.frame, 1), count);
  studio.selection = [Math.min(studio.selection[0], count), Math.min(studio.selection[1], count)];
  if (studio.selection[0] > studio.selection[1]) studio.selection = [studio.frame, studio.frame];
  // A stroke under way keeps the cells it is drawing.
  if (!stroke.down) studio.cells = doc.frames[studio.frame - 1].cells.split("");
  loadScript(doc.page);
  if (first) seek(1);
  $("name").textContent = doc.name;
  $("dirty").textContent = doc.dirty ? " \u25cf" : "";
  $("undo").disabled = doc.undo === "";
  $("undo").title = doc.undo ? "undo: " + doc.undo + " (Ctrl+Z)" : "nothing to undo";
  $("redo").disabled = doc.redo === "";
  $("redo").title = doc.redo ? "redo: " + doc.redo + " (Ctrl+Shift+Z)" : "nothing to redo";
  $("grid-size").textContent = doc.grid[0] + " \u00d7 " + doc.grid[1];
  showConflict(doc.diskChanged ? doc.name + " changed on disk since the studio read or saved it." : "");
  if (first) drawPalette();
  showFrameTools();
  drawCells();
  listFindings();
  listPatterns();
  drawTimeline();
}

function showConflict(text) {
  $("conflict").hidden = text === "";
  $("conflict-text").textContent = text;
}

// --- The frame's cells ---

const cellsCanvas = $("cells");

function cellSize() {
  const [w, h] = studio.doc.grid;
  const room = Math.max(200, $("right").clientWidth - 20);
  return Math.max(6, Math.min(40, Math.floor(room / w), Math.floor(320 / h)));
}

function colourOf(digit) { return studio.doc.colours[digit][1]; }

function drawCells() {
  if (!studio.doc) return;
  const [w, h] = studio.doc.grid;
  const size = cellSize();
  cellsCanvas.width = w * size;
  cellsCanvas.height = h * size;
  const g = cellsCanvas.getContext("2d");
  const frames = studio.doc.frames;
  const before = $("onion").checked && studio.frame > 1 ? frames[studio.frame - 2].cells : null;
  const after = $("onion").checked && studio.frame < frames.length ? frames[studio.frame].cells : null;
  for (let y = 0; y < h; ++y) {
    for (let x = 0; x < w; ++x) {
      const i = y * w + x, digit = Number(studio.cells[i]);
      g.fillStyle = colourOf(digit);
      g.fillRect(x * size, y * size, size, size);
      if (digit !== 0) continue;
      // The frames before and after, faintly, where this one is dark.
      if (before && before[i] !== "0") {
        g.globalAlpha = 0.35;
        g.fillStyle = colourOf(Number(before[i]));
        g.fillRect(x * size + 2, y * size + 2, size - 4, size - 4);
        g.globalAlpha = 1;
      }
      if (after && after[i] !== "0") {
        g.strokeStyle = colourOf(Number(after[i]));
        g.globalAlpha = 0.5;
        g.strokeRect(x * size + 1.5, y * size + 1.5, size - 3, size - 3);
        g.globalAlpha = 1;
      }
    }
  }
  g.strokeStyle = "#333";
  g.lineWidth = 1;
  for (let x = 0; x <= w; ++x) { g.beginPath(); g.moveTo(x * size + 0.5, 0); g.lineTo(x * size + 0.5, h * size); g.stroke(); }
  for (let y = 0; y <= h; ++y) { g.beginPath(); g.moveTo(0, y * size + 0.5); g.lineTo(w * size, y * size + 0.5); g.stroke(); }
  if (studio.region) {
    const [x0, y0, x1, y1] = studio.region;
    g.strokeStyle = "#fff";
    g.setLineDash([4, 3]);
    g.strokeRect(x0 * size + 1, y0 * size + 1, (x1 - x0 + 1) * size - 2, (y1 - y0 + 1) * size - 2);
    g.setLineDash([]);
  }
}

function cellAt(event) {
  const box = cellsCanvas.getBoundingClientRect(), size = cellSize();
  const x = Math.floor((event.clientX - box.left) / size), y = Math.floor((event.clientY - box.top) / size);
  const [w, h] = studio.doc.grid;
  return x >= 0 && y >= 0 && x < w && y < h ? [x, y] : null;
}

function setCell(x, y, digit) { studio.cells[y * studio.doc.grid[0] + x] = String(digit); }
function getCell(x, y) { return Number(studio.cells[y * studio.doc.grid[0] + x]); }

// The frame's cells as they are drawn now, sent as one change.
function commitCells() {
  const cells = studio.cells.join("");
  if (cells === studio.doc.frames[studio.frame - 1].cells) return Promise.resolve();
  return command({ command: "paint", frame: studio.frame, cells });
}

function fill(x, y, digit) {
  const [w, h] = studio.doc.grid, from = getCell(x, y);
  if (from === digit) return;
  const todo = [[x, y]];
  while (todo.length) {
    const [cx, cy] = todo.pop();
    if (cx < 0 || cy < 0 || cx >= w || cy >= h || getCell(cx, cy) !== from) continue;
    setCell(cx, cy, digit);
    todo.push([cx + 1, cy], [cx - 1, cy], [cx, cy + 1], [cx, cy - 1]);
  }
}

function ordered(a, b) {
  return [Math.min(a[0], b[0]), Math.min(a[1], b[1]), Math.max(a[0], b[0]), Math.max(a[1], b[1])];
}

const stroke = { down: null, last: null, saved: null, moving: false };

cellsCanvas.addEventListener("pointerdown", (event) => {
  const at = cellAt(event);
  if (!at || !studio.doc.editable) return;
  cellsCanvas.setPointerCapture(event.pointerId);
  stroke.down = stroke.last = at;
  stroke.saved = studio.cells.slice();
  const [x, y] = at;
  if (studio.tool === "picker") {
    chooseColour(getCell(x, y));
    stroke.down = null;
  } else if (studio.tool === "pencil") {
    setCell(x, y, studio.colour);
  } else if (studio.tool === "fill") {
    fill(x, y, studio.colour);
  } else if (studio.tool === "select") {
    const r = studio.region;
    stroke.moving = r !== null && x >= r[0] && x <= r[2] && y >= r[1] && y <= r[3];
    if (!stroke.moving) studio.region = [x, y, x, y];
  }
  drawCells();
});

cellsCanvas.addEventListener("pointermove", (event) => {
  if (!stroke.down) return;
  const at = cellAt(event);
  if (!at || (at[0] === stroke.last[0] && at[1] === stroke.last[1])) return;
  stroke.last = at;
  if (studio.tool === "pencil") {
    setCell(at[0], at[1], studio.colour);
  } else if (studio.tool === "rectangle") {
    studio.cells = stroke.saved.slice();
    const [x0, y0, x1, y1] = ordered(stroke.down, at);
    for (let y = y0; y <= y1; ++y) for (let x = x0; x <= x1; ++x) setCell(x, y, studio.colour);
  } else if (studio.tool === "select" && !stroke.moving) {
    studio.region = ordered(stroke.down, at);
  } else if (studio.tool === "select") {
    moveRegion(at[0] - stroke.down[0], at[1] - stroke.down[1]);
  }
  drawCells();
});

cellsCanvas.addEventListener("pointerup", (event) => {
  if (!stroke.down) return;
  if (studio.tool === "rectangle" && stroke.last === stroke.down) setCell(...stroke.down, studio.colour);
  if (studio.tool === "select" && stroke.moving) {
    const [dx, dy] = [stroke.last[0] - stroke.down[0], stroke.last[1] - stroke.down[1]];
    const r = studio.region;
    studio.region = [r[0] + dx, r[1] + dy, r[2] + dx, r[3] + dy];
  }
  stroke.down = null;
  stroke.moving = false;
  drawCells();
  commitCells();
  event.preventDefault();
});

// The region selected, moved by (dx, dy) from where the stroke began: what it leaves is dark.
function moveRegion(dx, dy) {
  const [w, h] = studio.doc.grid, [x0, y0, x1, y1] = studio.region;
  studio.cells = stroke.saved.slice();
  const taken = [];
  for (let y = y0; y <= y1; ++y) for (let x = x0; x <= x1; ++x) { taken.push([x, y, getCell(x, y)]); setCell(x, y, 0); }
  for (const [x, y, digit] of taken) {
    if (x + dx >= 0 && y + dy >= 0 && x + dx < w && y + dy < h) setCell(x + dx, y + dy, digit);
  }
}

function flip(across) {
  const [w, h] = studio.doc.grid;
  const [x0, y0, x1, y1] = studio.region || [0, 0, w - 1, h - 1];
  const was = studio.cells.slice();
  for (let y = y0; y <= y1; ++y) {
    for (let x = x0; x <= x1; ++x) {
      const fx = across ? x1 - (x - x0) : x, fy = across ? y : y1 - (y - y0);
      studio.cells[y * w + x] = was[fy * w + fx];
    }
  }
  drawCells();
  return commitCells();
}

function chooseColour(digit) {
  studio.colour = digit;
  document.querySelectorAll("#palette button").forEach((button) => {
    button.classList.toggle("chosen", Number(button.dataset.colour) === digit);
  });
}

function chooseTool(tool) {
  studio.tool = tool;
  if (tool !== "select") studio.region = null;
  document.querySelectorAll("#tools button").forEach((button) => {
    button.classList.toggle("chosen", button.dataset.tool === tool);
  });
  drawCells();
}

function drawPalette() {
  const palette = $("palette");
  studio.doc.colours.forEach(([name, rgb], digit) => {
    const button = document.createElement("button");
    button.dataset.colour = String(digit);
    button.style.background = rgb;
    button.title = digit + " " + name + " (" + digit + ")";
    button.onclick = () => chooseColour(digit);
    palette.appendChild(button);
  });
  chooseColour(studio.colour);
  chooseTool(studio.tool);
}

// --- Frames ---

function selectFrame(k, extend = false) {
  const count = studio.doc.frames.length;
  k = Math.max(1, Math.min(count, k));
  studio.selection = extend ? [Math.min(studio.selection[0], k), Math.max(studio.selection[1], k)] : [k, k];
  studio.frame = k;
  studio.cells = studio.doc.frames[k - 1].cells.split("");
  studio.region = null;
  if (window.player.frame !== k) seek(k);
  showFrameTools();
  drawCells();
  drawTimeline();
}

function showFrameTools() {
  const frame = studio.doc.frames[studio.frame - 1];
  const [a, b] = studio.selection;
  $("frame-title").textContent = (a === b ? "frame " + studio.frame : "frames " + a + " to " + b) +
    " \u00b7 " + frame.song[0] + ":" + frame.song[1] + " \u00b7 *f" + frame.stamp;
  $("division").value = String(frame.division);
}

function copyFrames() {
  const [a, b] = studio.selection;
  const frames = studio.doc.frames.slice(a - 1, b).map((f) => ({ cells: f.cells, division: f.division }));
  localStorage.setItem(CLIPBOARD, JSON.stringify({ grid: studio.doc.grid, frames }));
  say(frames.length + (frames.length === 1 ? " frame" : " frames") + " copied");
}

function pasteFrames() {
  const kept = JSON.parse(localStorage.getItem(CLIPBOARD) || "null");
  if (!kept) return say("nothing copied");
  if (kept.grid[0] !== studio.doc.grid[0] || kept.grid[1] !== studio.doc.grid[1]) {
    return say("the frames copied are " + kept.grid.join(" \u00d7 ") + " cells; this grid is " +
               studio.doc.grid.join(" \u00d7 "));
  }
  const frames = kept.frames.map((f) => (DIVISIONS.includes(f.division) ? f.division : 1) + ":" + f.cells).join(",");
  return command({ command: "paste", after: studio.selection[1], frames });
}

function deleteFrames() {
  const [a, b] = studio.selection;
  studio.selection = [a, a];
  return command({ command: "delete", frame: a, count: b - a + 1 });
}

// --- Findings and patterns ---

function listFindings() {
  const list = $("findings");
  list.replaceChildren();
  for (const finding of studio.doc.findings) {
    const item = document.createElement("li");
    item.textContent = "line " + finding.line + ": " + finding.message + " [" + finding.check + "]";
    item.onclick = () => { if (finding.frame > 0) selectFrame(finding.frame); };
    list.appendChild(item);
  }
  $("findings-count").textContent = "(" + studio.doc.findings.length + ")";
}

function listPatterns() {
  const list = $("patterns");
  list.replaceChildren();
  for (const pattern of studio.doc.patterns) {
    const item = document.createElement("li");
    item.textContent = "frame " + pattern.frame + ": " + pattern.number + " " + pattern.text;
    item.onclick = () => selectFrame(pattern.frame);
    list.appendChild(item);
  }
}

// --- The timeline ---

const timeline = $("timeline");
const RULER = 22, WAVE = 40, FRAMES = 34, PATTERNS = 18;

function timeX(seconds) { return (seconds - studio.scroll) * studio.pixelsPerSecond; }
function xTime(x) { return x / studio.pixelsPerSecond + studio.scroll; }

function drawTimeline() {
  if (!studio.doc) return;
  const width = timeline.clientWidth, height = RULER + WAVE + FRAMES + PATTERNS + 10;
  if (timeline.width !== width) timeline.width = width;
  if (timeline.height !== height) timeline.height = height;
  const g = timeline.getContext("2d");
  g.clearRect(0, 0, width, height);
  g.font = "11px sans-serif";
  drawRuler(g, width);
  drawWaveform(g, width);
  drawFrames(g, width);
  const now = window.player.time;
  g.fillStyle = "#f33";
  g.fillRect(Math.round(timeX(now)), 0, 2, height);
  if (window.player.loop) {
    const [a, b] = window.player.loop;
    g.fillStyle = "rgba(80, 160, 255, 0.25)";
    g.fillRect(timeX(a), 0, timeX(b) - timeX(a), RULER);
  }
}

function drawRuler(g, width) {
  for (const [measure, ...beats] of studio.doc.ruler) {
    beats.forEach((seconds, b) => {
      const x = Math.round(timeX(seconds)) + 0.5;
      if (x < -50 || x > width + 50) return;
      g.strokeStyle = b === 0 ? "#aaa" : "#555";
      g.beginPath();
      g.moveTo(x, b === 0 ? 0 : RULER / 2);
      g.lineTo(x, b === 0 ? RULER + WAVE + FRAMES : RULER);
      g.stroke();
      if (b === 0) {
        g.fillStyle = "#ccc";
        g.fillText(String(measure), x + 3, 11);
      }
    });
  }
}

function drawWaveform(g, width) {
  const wave = studio.waveform;
  if (!wave || !wave.peaks.length) return;
  g.fillStyle = "#3a6";
  const middle = RULER + WAVE / 2;
  for (let x = 0; x < width; ++x) {
    const from = Math.floor(xTime(x) * wave.perSecond), to = Math.max(from + 1, Math.floor(xTime(x + 1) * wave.perSecond));
    let peak = 0;
    for (let i = Math.max(0, from); i < Math.min(to, wave.peaks.length); ++i) peak = Math.max(peak, wave.peaks[i]);
    const half = (peak / 255) * (WAVE / 2 - 2);
    if (half > 0) g.fillRect(x, middle - half, 1, 2 * half);
  }
}

function drawFrames(g, width) {
  const top = RULER + WAVE, frames = studio.doc.frames;
  const marked = new Set(studio.doc.findings.map((f) => f.frame));
  frames.forEach((frame, index) => {
    const k = index + 1, x0 = timeX(frame.start), x1 = timeX(frame.end);
    if (x1 < 0 || x0 > width) return;
    const chosen = k >= studio.selection[0] && k <= studio.selection[1];
    g.fillStyle = chosen ? "#4a7fd0" : frame.repeat ? "#3c3c3c" : "#606060";
    g.fillRect(x0 + 1, top + 2, Math.max(1, x1 - x0 - 1), FRAMES - 4);
    if (x1 - x0 > 18 && !frame.repeat) {
      g.fillStyle = "#fff";
      g.fillText(String(k), x0 + 3, top + 20);
    }
    if (marked.has(k)) {
      g.fillStyle = "#f44";
      g.beginPath();
      g.moveTo(x0 + 1, top);
      g.lineTo(x0 + 8, top);
      g.lineTo(x0 + 1, top + 8);
      g.fill();
    }
  });
  g.fillStyle = "#ee3";
  for (const pattern of studio.doc.patterns) {
    const x = timeX(frames[pattern.frame - 1].start);
    g.fillRect(x, top + FRAMES, 2, PATTERNS);
    g.fillText(pattern.number + " " + pattern.text, x + 4, top + FRAMES + 13);
  }
}

function frameUnder(x) {
  const t = xTime(x);
  return studio.doc.frames.findIndex((f) => f.start <= t && t < f.end) + 1;
}

// The nearest beat of the ruler, for showing where a frame dragged would land.
function nearestBeat(seconds) {
  let best = seconds, distance = Infinity;
  for (const [, ...beats] of studio.doc.ruler) {
    for (const beat of beats) {
      if (Math.abs(beat - seconds) < distance) { distance = Math.abs(beat - seconds); best = beat; }
    }
  }
  return best;
}

const drag = { kind: null, from: 0, frame: 0, moved: false };

timeline.addEventListener("pointerdown", (event) => {
  const x = event.offsetX, y = event.offsetY;
  timeline.setPointerCapture(event.pointerId);
  drag.from = x;
  drag.moved = false;
  if (y < RULER + WAVE) {
    drag.kind = event.shiftKey ? "loop" : "seek";
    if (drag.kind === "seek") seekTime(xTime(x));
  } else {
    const k = frameUnder(x);
    drag.kind = k > 0 ? "frame" : null;
    drag.frame = k;
    const [first, last] = studio.selection;
    // A press on a frame already among several selected keeps them, for dragging them all.
    if (k > 0 && (event.shiftKey || k < first || k > last || first === last)) {
      selectFrame(k, event.shiftKey);
    }
  }
  drawTimeline();
});

timeline.addEventListener("pointermove", (event) => {
  if (!drag.kind) return;
  const x = event.offsetX;
  drag.moved = drag.moved || Math.abs(x - drag.from) > 3;
  if (drag.kind === "seek") {
    seekTime(xTime(x));
  } else if (drag.kind === "loop" && drag.moved) {
    window.player.loop = [Math.min(xTime(drag.from), xTime(x)), Math.max(xTime(drag.from), xTime(x))];
  }
  drawTimeline();
  if (drag.kind === "frame" && drag.moved) {
    const g = timeline.getContext("2d");
    const t = event.altKey ? xTime(x) : nearestBeat(xTime(x));
    g.fillStyle = "#fff";
    g.fillRect(timeX(t), RULER + WAVE, 2, FRAMES);
  }
});

timeline.addEventListener("pointerup", (event) => {
  const kind = drag.kind;
  drag.kind = null;
  if (kind === "frame" && drag.moved) {
    // A selection moves as one: its first frame, and every frame after it, go.
    const [first, last] = studio.selection;
    const moved = drag.frame >= first && drag.frame <= last ? first : drag.frame;
    const t = studio.doc.frames[moved - 1].start + xTime(event.offsetX) - xTime(drag.from);
    command({ command: "move", frame: moved, seconds: Math.max(0, t).toFixed(4),
              snap: event.altKey ? "step" : "beat" });
  } else if (kind === "loop" && !drag.moved) {
    window.player.loop = null;
  }
  drawTimeline();
});

timeline.addEventListener("wheel", (event) => {
  event.preventDefault();
  if (event.ctrlKey) {
    zoom(event.deltaY < 0 ? 1.25 : 0.8, event.offsetX);
  } else {
    studio.scroll = Math.max(0, studio.scroll + (event.deltaX || event.deltaY) / studio.pixelsPerSecond);
    drawTimeline();
  }
}, { passive: false });

function zoom(factor, x = timeline.clientWidth / 2) {
  const t = xTime(x);
  studio.pixelsPerSecond = Math.max(2, Math.min(2000, studio.pixelsPerSecond * factor));
  studio.scroll = Math.max(0, t - x / studio.pixelsPerSecond);
  drawTimeline();
}

// A clip dropped on the timeline: its pictures imported where it fell, on the nearest beat.
timeline.addEventListener("dragover", (event) => event.preventDefault());
timeline.addEventListener("drop", (event) => {
  event.preventDefault();
  const files = Array.from(event.dataTransfer.files);
  if (!files.length) return;
  studio.lastClip = { files, seconds: Math.max(0, xTime(event.offsetX)) };
  placeClip(false);
});

function placeClip(again) {
  const clip = studio.lastClip;
  const form = new FormData();
  for (const file of clip.files) form.append("file", file, file.name);
  form.append("seconds", clip.seconds.toFixed(4));
  form.append("perBeat", $("clip-per-beat").value);
  form.append("ink", $("clip-ink").value);
  form.append("background", $("clip-background").value.trim());
  form.append("trim", $("clip-trim").checked ? "1" : "0");
  form.append("sheet", $("clip-sheet").value.trim());
  form.append("replace", $("clip-replace").checked ? "1" : "0");
  const before = again ? send("undo") : Promise.resolve();
  return before.then(() => send("clip", {}, form)).then((answer) => {
    if (answer.status !== 200) return answer;
    $("clip-box").hidden = false;
    $("clip-summary").textContent = answer.body.summary;
    $("clip-preview").src = answer.body.preview;
    say("clip placed: " + answer.body.summary);
    return answer;
  });
}

// --- The song's sound and waveform, as the server renders them ---

async function followSound() {
  const answer = await ask("sound-state");
  const now = answer.body;
  if (now.take && now.take !== studio.soundTake) {
    studio.soundTake = now.take;
    const audio = $("audio");
    const at = window.player.time;
    audio.src = BASE + "sound?take=" + now.take;
    useSound(audio);
    seekTime(at);
    const wave = await ask("waveform");
    if (wave.status === 200) studio.waveform = wave.body;
    drawTimeline();
  }
  if (now.stage === "none" && now.problem) say("no sound: " + now.problem);
  if (now.stage !== "song" && now.stage !== "none") setTimeout(followSound, 500);
}

// --- Saving ---

async function save(anyway = false) {
  const answer = await send("save", anyway ? { anyway: "1" } : {});
  if (answer.status === 200) {
    say("saved");
    showConflict("");
  } else if (answer.status === 409 && answer.body.changedOnDisk) {
    showConflict(studio.doc.name + " changed on disk since the studio read or saved it: it was not written.");
  }
  return answer.body;
}

// --- Controls and keys ---

function setUp() {
  for (const d of DIVISIONS) {
    const option = document.createElement("option");
    option.value = String(d);
    option.textContent = d === 1 ? "a quarter note" : "1/" + d + " of a quarter";
    $("division").appendChild(option);
  }
  const perBeat = $("clip-per-beat");
  perBeat.appendChild(new Option("as the GIF times it", "0"));
  for (const d of DIVISIONS) perBeat.appendChild(new Option(d === 1 ? "a quarter note" : "1/" + d + " quarter", String(d)));
  for (let d = 0; d < 8; ++d) $("clip-ink").appendChild(new Option(String(d), String(d), d === 1, d === 1));
  $("division").onchange = () => command({ command: "division", frame: studio.frame, division: $("division").value });
  $("duplicate").onclick = () => command({ command: "insert", after: studio.frame });
  $("blank").onclick = () => command({ command: "insert", after: studio.frame, cells: "0".repeat(studio.cells.length) });
  $("delete").onclick = deleteFrames;
  $("copy").onclick = copyFrames;
  $("paste").onclick = pasteFrames;
  $("flip-h").onclick = () => flip(true);
  $("flip-v").onclick = () => flip(false);
  $("onion").onchange = drawCells;
  document.querySelectorAll("#tools button").forEach((b) => { b.onclick = () => chooseTool(b.dataset.tool); });
  $("save").onclick = () => save();
  $("undo").onclick = () => send("undo");
  $("redo").onclick = () => send("redo");
  $("take-disk").onclick = () => send("reload").then(() => showConflict(""));
  $("save-anyway").onclick = () => save(true);
  $("zoom-in").onclick = () => zoom(1.25);
  $("zoom-out").onclick = () => zoom(0.8);
  $("grid-apply").onclick = () => {
    const w = Number($("grid-width").value), h = Number($("grid-height").value);
    if (confirm("Every frame changes to " + w + " \u00d7 " + h + " cells. Resize?")) {
      command({ command: "grid", width: w, height: h });
    }
  };
  $("pattern-add").onclick = () => command({ command: "pattern", frame: studio.frame,
    number: $("pattern-number").value, text: $("pattern-text").value });
  $("pattern-remove").onclick = () => command({ command: "unpattern", frame: studio.frame });
  $("clip-again").onclick = () => studio.lastClip && placeClip(true);
  window.addEventListener("resize", () => { drawCells(); drawTimeline(); });
  window.addEventListener("beforeunload", (event) => {
    if (studio.doc && studio.doc.dirty) {
      event.preventDefault();
      event.returnValue = "";
    }
  });
  document.addEventListener("keydown", studioKeys, true);
}

function studioKeys(event) {
  if (typing(event)) return;
  const key = event.key.toLowerCase();
  const control = event.ctrlKey || event.metaKey;
  const actions = control ? {
    s: () => save(),
    z: () => send(event.shiftKey ? "redo" : "undo"),
    y: () => send("redo"),
    c: copyFrames,
    v: pasteFrames,
    d: () => command({ command: "insert", after: studio.frame }),
  } : {
    p: () => chooseTool("pencil"), g: () => chooseTool("fill"), r: () => chooseTool("rectangle"),
    i: () => chooseTool("picker"), s: () => chooseTool("select"),
    o: () => { $("onion").checked = !$("onion").checked; drawCells(); },
    delete: deleteFrames,
    "+": () => zoom(1.25), "-": () => zoom(0.8),
    escape: () => { window.player.loop = null; studio.region = null; drawCells(); drawTimeline(); },
  };
  if (!control && /^[0-7]$/.test(event.key)) {
    chooseColour(Number(event.key));
  } else if (actions[key] && !event.altKey) {
    actions[key]();
  } else {
    return;
  }
  event.preventDefault();
  event.stopPropagation();
}

// The playhead and the frame edited follow the player; the timeline is drawn again when the
// time has moved.
let drawnAt = -1;
function follow() {
  if (studio.doc && (window.player.playing || window.player.time !== drawnAt)) {
    drawnAt = window.player.time;
    const k = window.player.frame;
    if (window.player.playing && k >= 1 && k !== studio.frame) {
      studio.frame = k;
      studio.selection = [k, k];
      studio.cells = studio.doc.frames[k - 1].cells.split("");
      showFrameTools();
      drawCells();
    }
    const x = timeX(window.player.time);
    if (window.player.playing && (x < 0 || x > timeline.clientWidth - 20)) {
      studio.scroll = Math.max(0, window.player.time - 1);
    }
    drawTimeline();
  }
  requestAnimationFrame(follow);
}

// --- The scripting interface: what tests and harnesses drive ---

function frameObject(frame, index) {
  const w = studio.doc.grid[0], rows = [];
  for (let at = 0; at < frame.cells.length; at += w) rows.push(frame.cells.slice(at, at + w));
  return { frame: index + 1, start: frame.start, end: frame.end, quarters: frame.quarters,
           stamp: frame.stamp, song: frame.song, division: frame.division,
           pattern: frame.pattern, line: frame.line, rows };
}

window.studio = {
  ready: null,
  get revision() { return studio.revision; },
  get frame() { return studio.frame; },
  get colour() { return studio.colour; },
  get tool() { return studio.tool; },
  get dirty() { return studio.doc ? studio.doc.dirty : false; },
  frames: () => studio.doc.frames.map(frameObject),
  findings: () => studio.doc.findings.map((f) => ({ ...f })),
  patterns: () => studio.doc.patterns.map((p) => ({ ...p })),
  select: (k) => selectFrame(k),
  paint(frame, x, y, colour) {
    const w = studio.doc.grid[0];
    const cells = studio.doc.frames[frame - 1].cells.split("");
    cells[y * w + x] = String(colour);
    return command({ command: "paint", frame, cells: cells.join("") }).then((a) => a.status === 200);
  },
  insertFrame: (after) => command({ command: "insert", after }).then((a) => a.status === 200),
  moveFrame: (k, measure, beat, step = 0) =>
    command({ command: "move", frame: k, measure, beat, step }).then((a) => a.status === 200),
  undo: () => send("undo").then((a) => a.status === 200),
  redo: () => send("redo").then((a) => a.status === 200),
  save: (anyway = false) => save(anyway),
  refresh,
  cellRect(x, y) {
    const box = cellsCanvas.getBoundingClientRect(), size = cellSize();
    return { left: box.left + x * size, top: box.top + y * size, width: size, height: size };
  },
  // Where on the page a time of the timeline is, on the frames' track: for dropping and dragging.
  timelinePoint(seconds) {
    const box = timeline.getBoundingClientRect();
    return { x: box.left + timeX(seconds), y: box.top + RULER + WAVE + FRAMES / 2 };
  },
};

setUp();
window.studio.ready = refresh().then(() => {
  requestAnimationFrame(follow);
  followSound();
  setInterval(() => { studio.queue = studio.queue.then(refresh, refresh); }, 1500);
});
