// What the tests that drive the clock's page in headless Chromium share.
"use strict";
const puppeteer = require("puppeteer-core");
const path = require("path");
const { spawn } = require("child_process");
const readline = require("readline");

function fail(why) { throw new Error(why); }
// Waits for a condition, checked every 50 ms, up to ms.
async function until(what, test, ms = 10000) {
  const end = Date.now() + ms;
  for (;;) {
    if (await test()) return;
    if (Date.now() > end) fail("timed out: " + what);
    await new Promise((r) => setTimeout(r, 50));
  }
}
// An element's text, or null while it is hidden.
const text = (page, id) => page.$eval("#" + id, (e) => (e.hidden ? null : e.textContent));
const movedText = "This clock's address has changed — open the new one shown on the host's screen";
// Debian's Chromium, headless, with a profile of the test's own and nothing fetched in the background.
function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
      "--user-data-dir=" + path.join(process.env.HOME, "chromium")],
  });
}
// page_probe started with the given arguments; its ask(command) sends a line and waits for the
// answer (none: the next line it says).
function startProbe(args) {
  const probe = spawn(process.env.PROBE, args, { stdio: ["pipe", "pipe", "inherit"] });
  const lines = [];
  let wake = null;
  readline.createInterface({ input: probe.stdout }).on("line", (line) => {
    lines.push(JSON.parse(line));
    if (wake) wake();
  });
  probe.on("exit", () => { if (wake) wake(); });
  probe.ask = async (command) => {
    if (command) probe.stdin.write(command + "\n");
    while (!lines.length) {
      if (probe.exitCode !== null) fail("page_probe ended");
      await new Promise((resolve) => { wake = resolve; });
    }
    return lines.shift();
  };
  return probe;
}
// Checked again on every change to the page.
const waitFor = (page, test, arg) => page.waitForFunction(test, { timeout: 10000, polling: "mutation" }, arg);
// A screenshot of the page brought in sight and painted afresh (a tab out of sight may show an
// old frame), then `back` in sight again, as its clicks need.
async function shot(page, name, back) {
  if (!process.env.SHOTS) return;
  await page.bringToFront();
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await page.screenshot({ path: path.join(process.env.SHOTS, name) });
  if (back && back !== page) await back.bringToFront();
}
// Drives the page against the probe: body({ pin, open }) opens tabs of a size with
// open(name, width, height) and answers how many checks passed. The page's own script failing
// fails the run; the browser and the probe end either way.
function runPages(probe, body) {
  (async () => {
    const { address, pin } = await probe.ask();
    const browser = await launch();
    const errors = [];
    const open = async (name, width, height) => {
      const page = await browser.newPage();
      page.on("pageerror", (e) => errors.push(`${name}: ${e.message}`));
      await page.setViewport({ width, height });
      await page.goto(address);
      return page;
    };
    try {
      const passed = await body({ pin, open });
      if (errors.length) fail("the page's script failed: " + errors.join("; "));
      console.log(`${passed} passed, 0 failed`);
    } catch (e) {
      if (errors.length) e.message += " (the page's script failed: " + errors.join("; ") + ")";
      throw e;
    } finally {
      await browser.close();
      probe.kill();
    }
  })().catch((e) => {
    console.error("FAIL: " + e.message);
    probe.kill();
    process.exit(1);
  });
}
module.exports = { fail, until, text, movedText, launch, startProbe, waitFor, shot, runPages };
