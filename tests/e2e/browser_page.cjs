// Drives the clock's page in headless Chromium against a running game (page_probe).
"use strict";
const puppeteer = require("puppeteer-core");
const { spawn } = require("child_process");
const readline = require("readline");
const path = require("path");

const lines = [];
let wake = null;
const probe = spawn(process.env.PROBE, [], { stdio: ["pipe", "pipe", "inherit"] });
readline.createInterface({ input: probe.stdout }).on("line", (line) => {
  lines.push(JSON.parse(line));
  if (wake) wake();
});
async function nextLine(ms = 10000) {
  const until = Date.now() + ms;
  while (!lines.length) {
    if (Date.now() > until) throw new Error("page_probe said nothing");
    await new Promise((resolve) => { wake = resolve; setTimeout(resolve, 100); });
  }
  return lines.shift();
}
async function display() {
  probe.stdin.write("display\n");
  return nextLine();
}
function fail(why) { throw new Error(why); }
async function until(what, test, ms = 10000) {
  const end = Date.now() + ms;
  for (;;) {
    if (await test()) return;
    if (Date.now() > end) fail("timed out: " + what);
    await new Promise((r) => setTimeout(r, 50));
  }
}
const text = (page, id) => page.$eval("#" + id, (e) => (e.hidden ? null : e.textContent));
const seconds = (mss) => { const [m, s] = mss.split(":").map(Number); return m * 60 + s; };

(async () => {
  const { address, pin } = await nextLine();
  console.log("page at " + address.replace(/\/[0-9a-f]{32}\//, "/<token>/"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--user-data-dir=" + path.join(process.env.HOME, "chromium")],
  });
  try {
    // A phone held upright: the page shows what the display shows.
    const view = await browser.newPage();
    await view.setViewport({ width: 390, height: 844 });
    await view.goto(address);
    await until("the game on the page", async () => (await text(view, "blinds")) !== null && (await text(view, "blinds")) !== "");
    let shown = await display();
    if ((await text(view, "blinds")) !== shown.blinds) fail(`blinds: page ${await text(view, "blinds")}, display ${shown.blinds}`);
    const round = (await text(view, "round")).match(/\d+/)[0];
    if (!shown.round.includes("Round " + round)) fail(`round: page ${round}, display ${shown.round}`);
    const left = seconds(await text(view, "countdown"));
    shown = await display();
    if (Math.abs(left - shown.secondsLeft) > 1) fail(`countdown: page ${left} s, display ${shown.secondsLeft} s`);
    console.log(`page and display agree: ${shown.blinds}, round ${round}, ${left} s left`);

    // A second page, with the PIN: pause, resume, next level.
    const control = await browser.newPage();
    await control.goto(address);
    await control.waitForSelector("#pin");
    await control.type("#pin", pin);
    await control.click("#pinForm button");
    await control.waitForSelector("#buttons:not([hidden])", { timeout: 10000 });
    await control.click("#pause");
    await until("paused on the display", async () => (await display()).paused === true);
    await until("PAUSED on the page", async () => (await text(view, "paused")) === "PAUSED");
    await control.click("#pause");
    await until("resumed", async () => (await display()).paused === false);
    await until("PAUSED gone", async () => (await text(view, "paused")) === null);
    await control.click("#nextLevel");
    await until("level 2 on the display", async () => (await display()).round.includes("Round 2"));
    shown = await display();
    await until("level 2 on the page", async () => (await text(view, "blinds")) === shown.blinds);
    if ((await text(view, "ante")) !== shown.ante) fail(`ante: page ${await text(view, "ante")}, display ${shown.ante}`);
    console.log(`the PIN page paused, resumed and moved on to ${shown.blinds} (${shown.ante})`);

    // The server goes away and comes back: the page finds it again by itself.
    probe.stdin.write("restart\n");
    await until("the page noticing", async () => (await text(view, "offline")) !== null);
    await nextLine();
    await until("the page reconnecting", async () => (await text(view, "offline")) === null, 15000);
    await until("the game again", async () => (await text(view, "blinds")) === shown.blinds);
    console.log("the page reconnected after the server restarted");

    if (process.env.SHOTS) {
      await view.screenshot({ path: path.join(process.env.SHOTS, "page-phone-390x844.png") });
      await view.setViewport({ width: 3840, height: 2160 });
      await new Promise((r) => setTimeout(r, 300));
      await view.screenshot({ path: path.join(process.env.SHOTS, "page-tv-3840x2160.png") });
    }
    console.log("1 passed, 0 failed");
  } finally {
    await browser.close();
    probe.kill();
  }
})().catch((e) => {
  console.error("FAIL: " + e.message);
  probe.kill();
  process.exit(1);
});
