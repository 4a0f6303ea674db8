// Times mosaiq-view's page in headless Chromium: until it is ready (load has fired and
// window.player.seek exists, and a page with sound can play it), and seeks to frames spread over
// the script.
//
// usage: node bench/page_timing.js PAGE.html CHROMIUM
// Prints one line of JSON: {"frames": N, "bytes": B, "ready_ms": R, "seek_ms_max": S,
// "seek_ms_median": M}. puppeteer-core comes from tests/view/browser (npm ci there).
"use strict";

const fs = require("fs");
const path = require("path");
const puppeteer = require(path.join(__dirname, "..", "tests", "view", "browser", "node_modules",
                                    "puppeteer-core"));

async function main() {
  const [page_path, chromium] = process.argv.slice(2);
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--disable-dev-shm-usage"],
  });
  try {
    const page = await browser.newPage();
    await page.goto("file://" + path.resolve(page_path), { waitUntil: "load" });
    const result = await page.evaluate(async () => {
      const navigation = performance.getEntriesByType("navigation")[0];
      let ready = typeof window.player.seek === "function" ? navigation.loadEventEnd : NaN;
      const audio = document.getElementById("audio");
      if (window.player.audio && audio.readyState < 3) {
        await new Promise((resolve) => audio.addEventListener("canplay", resolve, { once: true }));
        ready = Math.max(ready, performance.now());
      }
      const times = [];
      const count = window.player.frameCount;
      for (let i = 0; i < 40; ++i) {
        const k = Math.floor((i * 7919) % count);
        const start = performance.now();
        window.player.seek(k);
        times.push(performance.now() - start);
      }
      times.sort((a, b) => a - b);
      return { frames: count, ready_ms: ready, seek_ms_max: times[times.length - 1],
               seek_ms_median: times[times.length >> 1] };
    });
    result.bytes = fs.statSync(page_path).size;
    console.log(JSON.stringify(result));
  } finally {
    await browser.close();
  }
}

main().catch((error) => {
  console.error(error.stack || error);
  process.exit(1);
});
