// Plays a WRD script on an 80 x 25 screen of spans, in step with the timeline of the song. A
// module: strict, and nothing of it is global but window.player.
//
// The same code plays mosaiq-view's page, whose script comes in the JSON block "script-data",
// and mosaiq-studio's, which hands it loadScript() again whenever the script changes (and
// useSound() once its sound is there): the screen, the panel, the sound and the clock are one.
//
// The script's data (written by mosaiq-view's page_data) holds for every
// frame its changes as runs of cells [index, flags, text, ...] (index = row * 80 + column;
// flags = colour + 8 * kind: NARROW_TEXT characters, WIDE_TEXT ones taking two columns each,
// GRID_CELLS: a column of the block glyph "\u25a0" per character, "0" to "7" its colour, or a
// blank " "), its start in seconds, and what the status panel shows after it ({pattern, measure,
// beat}, as mosaiq-view's PanelValues names them).
//
// Colours are numbered as the terminal's escapes number them, ESC [ 30 + n m: 0 black, 1 red,
// 2 green, 3 yellow, 4 blue, 5 magenta, 6 cyan, 7 white; the classes c0 to c7 of page.css draw
// them. They are not the WVE file's cell digits (1 blue, 2 red, 3 magenta, 4 green, 5 cyan,
// 6 yellow, 7 white), which mosaiq turns into these escapes.

const COLUMNS = 80, ROWS = 25, CELLS = COLUMNS * ROWS;
const KEYFRAME_EVERY = 128;  // a seek replays at most this many frames
const SPEEDS = [0.25, 0.5, 0.75, 1, 1.5, 2, 3, 4];  // the speed list offers these; 1 at first
const WIDE_TEXT = 1, GRID_CELLS = 2;  // the kinds of run; 0 is NARROW_TEXT

const $ = (id) => document.getElementById(id);
let data = { frames: [[]], starts: [0], end: 0, bars: [[1, 1]], panels: [{ pattern: "", measure: "", beat: "" }], song: "", audio: false };
let starts = data.starts;
let frameCount = 1;

// A screen's state: the text and the class of every column.
function blankScreen() {
  return { text: new Array(CELLS).fill(" "), cls: new Array(CELLS).fill("") };
}

function copyScreen(screen) {
  return { text: screen.text.slice(), cls: screen.cls.slice() };
}

// Applies frame k's runs to a screen state.
function applyFrame(screen, k) {
  const runs = data.frames[k];
  for (let r = 0; r < runs.length; r += 3) {
    let at = runs[r];
    const colour = runs[r + 1] & 7, kind = runs[r + 1] >> 3, text = runs[r + 2];
    for (const ch of text) {
      if (at >= CELLS) break;
      if (kind === GRID_CELLS) {
        screen.text[at] = ch === " " ? " " : "\u2588";
        screen.cls[at] = ch === " " ? "" : "b c" + ch;
      } else if (kind === WIDE_TEXT) {
        screen.text[at] = ch;
        screen.cls[at] = "w c" + colour;
        if (at + 1 < CELLS) {
          screen.text[at + 1] = "";
          screen.cls[at + 1] = "t";
        }
        at += 1;
      } else {
        screen.text[at] = ch;
        screen.cls[at] = ch === " " ? "" : "c" + colour;
      }
      at += 1;
    }
  }
}

// Keyframes: the screen after every KEYFRAME_EVERY-th frame, so a seek never replays from 0.
let keyframes = [];

function makeKeyframes() {
  keyframes = [];
  const screen = blankScreen();
  for (let k = 0; k < frameCount; ++k) {
    applyFrame(screen, k);
    if (k % KEYFRAME_EVERY === 0) keyframes.push(copyScreen(screen));
  }
}

function screenAfter(k) {
  const screen = copyScreen(keyframes[Math.floor(k / KEYFRAME_EVERY)]);
  for (let f = Math.floor(k / KEYFRAME_EVERY) * KEYFRAME_EVERY + 1; f <= k; ++f) {
    applyFrame(screen, f);
  }
  return screen;
}

// The spans, and what each shows now: only what differs is touched.
const spans = [];
const shown = blankScreen();
{
  const holder = $("screen");
  const fragment = document.createDocumentFragment();
  for (let r = 0; r < ROWS; ++r) {
    const row = document.createElement("div");
    row.className = "row";
    for (let c = 0; c < COLUMNS; ++c) {
      const span = document.createElement("span");
      span.textContent = " ";
      row.appendChild(span);
      spans.push(span);
    }
    fragment.appendChild(row);
  }
  holder.appendChild(fragment);
}

function display(screen) {
  for (let i = 0; i < CELLS; ++i) {
    if (screen.text[i] !== shown.text[i]) spans[i].textContent = shown.text[i] = screen.text[i];
    if (screen.cls[i] !== shown.cls[i]) spans[i].className = shown.cls[i] = screen.cls[i];
  }
}

// The frame playing at `seconds` along the timeline: the last one that has started.
function frameAt(seconds) {
  let low = 0, high = frameCount - 1;
  while (low < high) {
    const middle = (low + high + 1) >> 1;
    if (starts[middle] <= seconds) low = middle; else high = middle - 1;
  }
  return low;
}

function clock(seconds) {
  const whole = Math.max(0, Math.floor(seconds));
  return Math.floor(whole / 60) + ":" + String(whole % 60).padStart(2, "0");
}

const state = {
  frame: -1,
  current: blankScreen(),  // the screen after state.frame
  playing: false,
  speed: 1,
  anchorTime: 0,   // timeline seconds at anchorWall
  anchorWall: 0,   // performance.now() then
  timer: null,
  gesture: false,     // a key or click came: the browser lets the page sound
  waiting: false,     // asked to play before that: frames and sound wait for it together
  userMuted: false,   // muted with m or the button
  audioTarget: null,  // where the sound is to be put once it can be
  loop: null,         // [from, to] in seconds: played over and over
};

// The song's sound, when the page has it. Its time 0 is the timeline's: while it plays, the
// frames follow its position; past its end, the page's clock goes on from there.
let audio = null;

function audioLength() {
  return audio && Number.isFinite(audio.duration) ? audio.duration : 0;
}

function onAudio() {
  return audio !== null && !audio.paused && !audio.ended;
}

function timelineNow() {
  if (!state.playing) return state.anchorTime;
  if (onAudio()) return audio.currentTime;
  return state.anchorTime + (performance.now() - state.anchorWall) / 1000 * state.speed;
}

function showFrame(k) {
  k = Math.max(0, Math.min(frameCount - 1, k));
  if (k === state.frame) return;
  if (k === state.frame + 1) {
    applyFrame(state.current, k);
  } else {
    state.current = screenAfter(k);
  }
  state.frame = k;
  display(state.current);
  const panel = data.panels[k];
  $("frame").textContent = k;
  $("position").textContent =
    panel.measure !== "" || panel.beat !== "" ? panel.measure + ":" + panel.beat : "\u2013";
  $("song-position").textContent = "song " + data.bars[k][0] + ":" + data.bars[k][1];
}

function showTime(seconds) {
  $("time").textContent = clock(seconds) + " / " + clock(data.end);
  $("seek").value = Math.round(seconds * 1000);
}

function applyMute() {
  if (!audio) return;
  audio.muted = state.userMuted;
  $("mute").textContent = audio.muted ? "sound off" : "sound on";
}

function notice(text) {
  $("notice").textContent = text;
}

// Puts the sound at timeline time t, playing when the page plays and t falls within it. Until
// the browser knows the sound's length, the position waits in state.audioTarget.
function placeAudio(t) {
  if (!audio) return;
  state.audioTarget = t;
  const place = () => {
    if (state.audioTarget !== t) return;  // a later placing came first
    state.audioTarget = null;
    audio.currentTime = Math.min(t, audioLength());
    audio.playbackRate = state.speed;
    audio.preservesPitch = true;
    if (state.playing && t < audioLength()) {
      // Frames never run while the sound is refused: both stop, and the page says why.
      audio.play().catch(() => {
        if (!state.playing) return;
        pause();
        notice("the browser did not let the page sound: press play to try again");
      });
    } else {
      audio.pause();
    }
  };
  if (audio.readyState >= 1) {
    place();
  } else {
    audio.addEventListener("loadedmetadata", place, { once: true });
  }
}

// Playing: every step reads the clock, so long play does not drift.
function tick() {
  state.timer = null;
  if (!state.playing) return;
  let now = timelineNow();
  if (audio && audio.ended && state.anchorTime < audioLength()) {
    state.anchorTime = now = audioLength();  // past the sound: the page's clock goes on
    state.anchorWall = performance.now();
  }
  if (state.loop && now >= state.loop[1]) {
    seekTime(state.loop[0]);
    return;
  }
  if (now >= data.end && !onAudio()) {
    if ($("loop").checked) {
      state.anchorTime = 0;
      state.anchorWall = performance.now();
      placeAudio(0);
      now = 0;
    } else {
      showFrame(frameCount - 1);
      pause();
      state.anchorTime = data.end;
      showTime(data.end);
      return;
    }
  }
  showFrame(frameAt(now));
  showTime(Math.min(now, data.end));
  const next = state.frame + 1 < frameCount ? starts[state.frame + 1] : data.end;
  const wait = next > now ? (next - now) / state.speed * 1000 : 250;
  state.timer = setTimeout(tick, Math.min(wait, onAudio() ? 50 : 250));
}

function play() {
  if (state.playing) return;
  if (audio && !state.gesture) {
    // The browser lets a page sound only after a click or a key: until then, frames and sound
    // wait together for it.
    state.waiting = true;
    notice("click or press a key to play, with the sound");
    return;
  }
  state.waiting = false;
  notice("");
  if (state.anchorTime >= Math.max(data.end, audioLength())) state.anchorTime = 0;
  state.playing = true;
  state.anchorWall = performance.now();
  $("play").textContent = "pause";
  placeAudio(state.anchorTime);
  tick();
}

function pause() {
  if (state.waiting) {
    state.waiting = false;
    notice("");
  }
  if (!state.playing) return;
  state.anchorTime = timelineNow();
  state.playing = false;
  if (audio) audio.pause();
  if (state.timer !== null) clearTimeout(state.timer);
  state.timer = null;
  $("play").textContent = "play";
}

// Goes to frame k, at its start; playing (and the sound) goes on from there.
function seek(k) {
  k = Math.max(0, Math.min(frameCount - 1, k));
  state.anchorTime = starts[k];
  state.anchorWall = performance.now();
  showFrame(k);
  showTime(starts[k]);
  placeAudio(starts[k]);
  if (state.playing) {
    if (state.timer !== null) clearTimeout(state.timer);
    tick();
  }
}

// Goes to a time on the timeline, the frame that shows there with it.
function seekTime(t) {
  t = Math.max(0, t);
  state.anchorTime = t;
  state.anchorWall = performance.now();
  showFrame(frameAt(t));
  showTime(t);
  placeAudio(t);
  if (state.playing) {
    if (state.timer !== null) clearTimeout(state.timer);
    tick();
  }
}

function setSpeed(speed) {
  state.anchorTime = timelineNow();
  state.anchorWall = performance.now();
  state.speed = speed;
  if (audio) audio.playbackRate = speed;
  $("speed").value = String(speed);
}

function toggleMute() {
  state.userMuted = !state.userMuted;
  applyMute();
}

// The first key or click lets the page sound; a page waiting to play starts, frames and sound
// together, at the frame shown. True when the gesture did that, and is nothing more.
function gesture() {
  const first = !state.gesture;
  state.gesture = true;
  if (!first || !state.waiting) return false;
  play();
  return true;
}

function changeSpeed(step) {
  const at = SPEEDS.indexOf(state.speed);
  setSpeed(SPEEDS[Math.max(0, Math.min(SPEEDS.length - 1, (at < 0 ? SPEEDS.indexOf(1) : at) + step))]);
}

function fullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if ($("player").requestFullscreen) {
    $("player").requestFullscreen();
  }
}

// Keys work wherever the focus is, but in a field for text.
const typing = (event) => event.target instanceof Element &&
  event.target.matches("input[type=text], input[type=number], textarea");
document.addEventListener("pointerdown", (event) => {
  if (gesture()) event.preventDefault();
}, true);
document.addEventListener("keydown", (event) => {
  if (event.ctrlKey || event.metaKey || event.altKey || typing(event)) return;
  if (gesture()) {
    event.preventDefault();
    return;
  }
  const actions = {
    m: toggleMute,
    " ": () => (state.playing ? pause() : play()),
    ArrowLeft: () => seek(state.frame - 1),
    ArrowRight: () => seek(state.frame + 1),
    Home: () => seek(0),
    End: () => seek(frameCount - 1),
    f: fullScreen,
    "<": () => changeSpeed(-1),
    ">": () => changeSpeed(1),
    "[": () => changeSpeed(-1),
    "]": () => changeSpeed(1),
  };
  const action = actions[event.key];
  if (!action) return;
  event.preventDefault();
  action();
}, true);

$("play").onclick = () => (state.playing ? pause() : play());
$("back").onclick = () => seek(state.frame - 1);
$("forward").onclick = () => seek(state.frame + 1);
$("full").onclick = fullScreen;
for (const speed of SPEEDS) {
  const option = document.createElement("option");
  option.value = String(speed);
  option.textContent = speed + "\u00d7";
  option.selected = speed === 1;
  $("speed").appendChild(option);
}
$("speed").onchange = () => setSpeed(Number($("speed").value));
$("seek").oninput = () => seek(frameAt(Number($("seek").value) / 1000));
$("mute").onclick = toggleMute;
$("volume").oninput = () => { if (audio) audio.volume = Number($("volume").value); };
$("mute").hidden = true;
$("volume").hidden = true;

// The page's sound from this element on: its controls shown, its pauses followed.
function useSound(element) {
  if (audio === element) return;
  audio = element;
  $("mute").hidden = false;
  $("volume").hidden = false;
  // A sound this browser cannot play leaves the frames on the page's own clock.
  audio.addEventListener("error", () => { notice("this browser cannot play the sound"); });
  // The sound stopped by the browser or the system while the page plays, within the sound:
  // the frames stop with it.
  audio.addEventListener("pause", () => {
    if (state.playing && state.audioTarget === null && !audio.ended &&
        timelineNow() < audioLength() - 0.05 && !document.hidden) {
      pause();
    }
  });
  applyMute();
}

// Marks on the bar where the panel's pattern changes.
function drawMarks() {
  const marks = $("marks");
  marks.replaceChildren();
  for (let k = 1; k < frameCount; ++k) {
    const before = data.panels[k - 1].pattern;
    if (before === "" || data.panels[k].pattern === before) continue;
    const mark = document.createElement("div");
    mark.style.left = (starts[k] / Math.max(data.end, 1e-9) * 100) + "%";
    mark.title = "pattern " + data.panels[k].pattern;
    marks.appendChild(mark);
  }
}

// Takes the script's data, the frame on screen (or the time, while playing) kept.
function loadScript(next) {
  data = next;
  starts = data.starts;
  frameCount = data.frames.length;
  makeKeyframes();
  $("seek").max = String(Math.round(data.end * 1000));
  $("last").textContent = frameCount - 1;
  $("song").textContent = data.song;
  drawMarks();
  const k = Math.min(Math.max(state.frame, 0), frameCount - 1);
  state.frame = -1;
  showFrame(state.playing ? frameAt(timelineNow()) : k);
  showTime(state.playing ? timelineNow() : starts[state.frame]);
}

// "#frame=K" opens on frame K ("end": the last), "&play" starts playing; frame 1 otherwise.
function fromAddress() {
  const match = /frame=(\d+|end)/.exec(location.hash);
  const k = match ? (match[1] === "end" ? frameCount - 1 : Number(match[1])) : 1;
  pause();
  seek(Math.min(k, frameCount - 1));
  if (/[#&]play\b/.test(location.hash)) play();
}

if ($("script-data")) {
  loadScript(JSON.parse($("script-data").textContent));
  if (data.audio) useSound($("audio"));
  window.addEventListener("hashchange", fromAddress);
  fromAddress();
}

window.player = {
  get frame() { return state.frame; },
  get time() { return timelineNow(); },
  get frameCount() { return frameCount; },
  get startTimes() { return starts; },
  get playing() { return state.playing; },
  get speed() { return state.speed; },
  set speed(value) { setSpeed(value); },
  seek,
  seekTime,
  play,
  pause,
  get loop() { return state.loop; },
  set loop(span) { state.loop = span && span[1] > span[0] ? [span[0], span[1]] : null; },
  get audio() { return audio !== null; },
  get audioTime() {
    if (!audio) return null;
    return state.audioTarget !== null ? Math.min(state.audioTarget, audioLength() || Infinity)
                                      : audio.currentTime;
  },
  get muted() { return audio ? audio.muted : true; },
  get waiting() { return state.waiting; },
};
