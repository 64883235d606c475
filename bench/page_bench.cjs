// The clock's page under load: a game (page_probe) with no page, then with 20 pages open in
// headless Chromium, each for the given seconds. Reports the latency from a tick (the state
// published) to the page's countdown changing in the DOM, the processor time of the program
// in both phases, and the game clock's drift against the wall clock.
"use strict";
const puppeteer = require("puppeteer-core");
const { spawn } = require("child_process");
const readline = require("readline");
const path = require("path");

const seconds = Number(process.env.SECONDS_EACH || 300);
const pages = Number(process.env.PAGES || 20);

function startProbe() {
  const lines = [];
  let wake = null;
  const probe = spawn(process.env.PROBE, [], { stdio: ["pipe", "pipe", "inherit"] });
  readline.createInterface({ input: probe.stdout }).on("line", (l) => { lines.push(JSON.parse(l)); if (wake) wake(); });
  probe.ask = async (command) => {
    if (command) probe.stdin.write(command + "\n");
    while (!lines.length) await new Promise((r) => { wake = r; setTimeout(r, 100); });
    return lines.shift();
  };
  return probe;
}
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const median = (v) => { const s = [...v].sort((a, b) => a - b); return s[Math.floor(s.length / 2)]; };

async function phase(withPages) {
  const probe = startProbe();
  const { address } = await probe.ask();
  let browser = null;
  const changes = [];
  if (withPages) {
    browser = await puppeteer.launch({
      executablePath: process.env.CHROMIUM, headless: true,
      args: ["--no-sandbox", "--disable-gpu", "--user-data-dir=" + path.join(process.env.HOME, "chromium")],
    });
    for (let i = 0; i < pages; ++i) {
      const page = await browser.newPage();
      await page.setViewport({ width: 390, height: 844 });
      await page.goto(address);
      if (i === 0) {
        await page.exposeFunction("changed", (ms, text) => changes.push([ms, text]));
        await page.evaluate(() => {
          const el = document.getElementById("countdown");
          new MutationObserver(() => window.changed(Date.now(), el.textContent)).observe(el, { childList: true, characterData: true, subtree: true });
        });
      }
    }
  }
  const start = await probe.ask("usage");
  await sleep(seconds * 1000);
  const end = await probe.ask("usage");
  const { times } = await probe.ask("times");
  if (browser) await browser.close();
  probe.kill();
  const cpu = (end.cpuMs - start.cpuMs) / (end.wallMs - start.wallMs) * 100;
  // The clock's drift: the ticks published in the span against one per second.
  const ticks = times.filter(([t]) => t >= times[0][0]);
  const drift = ticks.length > 1 ? (ticks[ticks.length - 1][0] - ticks[0][0]) - (ticks.length - 1) * 1000 : 0;
  const result = { cpu, drift, span: (end.wallMs - start.wallMs) / 1000 };
  if (withPages) {
    // Each countdown text seen on the page, against the moment its second was published.
    const latencies = [];
    for (const [ms, text] of changes) {
      const [m, s] = text.split(":").map(Number);
      const left = m * 60 + s;
      const sent = times.filter(([, l]) => l === left).map(([t]) => t).filter((t) => t <= ms + 5);
      if (sent.length) latencies.push(ms - sent[sent.length - 1]);
    }
    result.latencies = latencies;
  }
  return result;
}

(async () => {
  const none = await phase(false);
  console.log(`no page: ${none.cpu.toFixed(3)} % of a core over ${none.span.toFixed(0)} s; the clock's ticks drift ${none.drift.toFixed(0)} ms`);
  const many = await phase(true);
  const l = many.latencies;
  console.log(`${pages} pages: ${many.cpu.toFixed(3)} % of a core over ${many.span.toFixed(0)} s (added ${(many.cpu - none.cpu).toFixed(3)}); the clock's ticks drift ${many.drift.toFixed(0)} ms`);
  console.log(`tick to the page's DOM: median ${median(l)} ms, worst ${Math.max(...l)} ms over ${l.length} ticks`);
})().catch((e) => { console.error(e); process.exit(1); });
