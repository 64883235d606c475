// The clock's page with a chip case, in headless Chromium against page_probe: a TV shows the
// colour-up a level ahead, the next break and the night's plan (the level in play marked), then
// in the break the chips to colour up and the add-on; the host's phone races the leftover small
// chips at each table and says how many larger ones to bring out.
"use strict";
const { fail, launch } = require("./browser.cjs");
const { spawn } = require("child_process");
const readline = require("readline");
const path = require("path");

const probe = spawn(process.env.PROBE, ["chips"], { stdio: ["pipe", "pipe", "inherit"] });
const lines = [];
let wake = null;
readline.createInterface({ input: probe.stdout }).on("line", (line) => {
  lines.push(JSON.parse(line));
  if (wake) wake();
});
probe.on("exit", () => { if (wake) wake(); });
async function ask(command) {
  if (command) probe.stdin.write(command + "\n");
  while (!lines.length) {
    if (probe.exitCode !== null) fail("page_probe ended");
    await new Promise((resolve) => { wake = resolve; });
  }
  return lines.shift();
}
const waitFor = (page, test, arg) => page.waitForFunction(test, { timeout: 10000, polling: "mutation" }, arg);
async function shot(page, name) {
  if (!process.env.SHOTS) return;
  await page.bringToFront();
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
  await page.screenshot({ path: path.join(process.env.SHOTS, name) });
}
// The plan as the page lists it, and as the game publishes it.
const planShown = (page) => page.$$eval("#plan li", (all) => all.map((li) => (li.className === "now" ? "*" : "") + li.textContent));
const planOf = (game) => game.plan.slice(Math.max(0, game.plan.findIndex((r) => r.now) - 1), 40)
  .map((r) => (r.now ? "*" : "") + r.at + " " + (r.level > 0 ? "Round " + r.level + " " + r.blinds : "Break"));

(async () => {
  const { address, pin } = await ask("");
  const browser = await launch();
  const errors = [];
  async function open(name, width, height) {
    const page = await browser.newPage();
    page.on("pageerror", (e) => errors.push(`${name}: ${e.message}`));
    await page.setViewport({ width, height });
    await page.goto(address);
    return page;
  }
  let passed = 0;
  try {
    const tv = await open("TV", 1920, 1080);
    const phone = await open("phone", 390, 844);
    await ask("enter 12");

    // Round 1, the 25s leaving at the break after it: the TV says so, with the next break, and
    // lists the plan from the round in play.
    let game = await ask("chips");
    if (game.warning !== "At the next break the 25s leave." || !game.band.startsWith(game.warning + " · Next break in 0:"))
      fail("round 1: " + JSON.stringify(game));
    await waitFor(tv, (g) => document.getElementById("chipLine").textContent === g.warning &&
      document.getElementById("chipMore").textContent === g.nextBreak && !document.getElementById("chips").hidden, game);
    let plan = planOf(game);
    await waitFor(tv, (want) => Array.from(document.querySelectorAll("#plan li"), (li) => (li.className === "now" ? "*" : "") + li.textContent)
      .join("\n") === want, plan.join("\n"));
    if (!plan[0].startsWith("*") || !/^\*\d\d:\d\d Round 1 /.test(plan[0])) fail("the plan does not start at round 1: " + plan.join(" | "));
    passed++;
    console.log(`round 1 on the TV: "${game.warning}", "${game.nextBreak}", the plan ${plan.slice(0, 3).join(", ")}…`);

    // The break: the chips to colour up and the add-on, on the display and the TV, the break marked in the plan.
    await ask("next");
    game = await ask("chips");
    if (game.colourUp !== "Colour up: the 25s" || !/^Add-on now: .*10 for 15,000 chips$/.test(game.addOnNow) ||
        !game.band.startsWith(game.colourUp + " · " + game.addOnNow))
      fail("the break: " + JSON.stringify(game));
    await waitFor(tv, (g) => document.getElementById("chipLine").textContent === g.colourUp &&
      document.getElementById("chipMore").textContent === g.addOnNow, game);
    plan = planOf(game);
    await waitFor(tv, (want) => Array.from(document.querySelectorAll("#plan li"), (li) => (li.className === "now" ? "*" : "") + li.textContent)
      .join("\n") === want, plan.join("\n"));
    if (!plan.some((row) => /^\*\d\d:\d\d Break$/.test(row))) fail("the break is not marked in the plan: " + plan.join(" | "));
    if (await tv.evaluate(() => document.getElementById("chips").getBoundingClientRect().bottom > innerHeight)) fail("the TV's plan runs off the screen");
    await shot(tv, "page-tv-plan-1920x1080.png");
    passed++;
    console.log(`the break on the display and the TV: "${game.colourUp}", "${game.addOnNow}"`);

    // The host's phone: a row a table, the leftover 25s typed in, the 100s to bring out; half a
    // 100 or more takes one more, less takes none; the race's rules under them.
    await phone.bringToFront();
    await phone.click("#host");
    await phone.type("#pin", pin);
    await phone.click("#unlock");
    await waitFor(phone, () => !document.getElementById("race").hidden && document.querySelectorAll("#raceTables input").length === 2);
    const title = await phone.$eval("#raceTitle", (e) => e.textContent);
    if (title !== "Chip race: the 25s (white) for 100s (black)") fail("the race's title: " + title);
    if (!(await phone.$eval("#raceRules", (e) => e.textContent))) fail("no rules for the race");
    for (const [typed, out] of [["7", "Bring out 2 × 100 (black)"], ["1", "None to bring out"], ["3", "Bring out 1 × 100 (black)"],
      ["12", "Bring out 3 × 100 (black)"], ["", ""]]) {
      await phone.click("#race-1-25", { clickCount: 3 });
      await phone.keyboard.press("Backspace");
      if (typed) await phone.type("#race-1-25", typed);
      const got = await phone.$eval("#raceOut-1", (e) => e.textContent);
      if (got !== out) fail(`${typed} × 25 at Table 1: "${got}", not "${out}"`);
    }
    await phone.type("#race-1-25", "7");
    await phone.type("#race-2-25", "2");
    await waitFor(phone, () => document.getElementById("raceOut-2").textContent === "Bring out 1 × 100 (black)");
    await phone.$eval("#race", (e) => e.scrollIntoView());
    await shot(phone, "page-phone-race-390x844.png");
    passed++;
    console.log("the phone's chip race: 7, 1, 3 and 12 leftover 25s bring out 2, 0, 1 and 3 100s");

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
