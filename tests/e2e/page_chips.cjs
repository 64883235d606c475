// The clock's page with a chip case, in headless Chromium against page_probe: a TV shows the
// colour-up a level ahead, the next break and the night's plan (the level in play marked), then
// in the break the chips to colour up and the add-on; the host's phone races the leftover 25s
// at each table for the 100s to bring out.
"use strict";
const { fail, startProbe, waitFor, shot, runPages } = require("./browser.cjs");

const probe = startProbe(["chips"]);
// The TV shows the game's lines and plan, as the display and the page's push have them.
async function tvShows(tv, line, more) {
  const c = await probe.ask("chips");
  if (c[line] === "" || c.display !== c[line] + " · " + c[more]) fail("the display: " + JSON.stringify(c));
  const plan = c.plan.map((r) => (r.now ? "*" : "") + "at " + r.at + " " + (r.level > 0 ? "Round " + r.level + " " + r.blinds : "Break"));
  await waitFor(tv, (want) => [document.getElementById("chipLine").textContent, document.getElementById("chipMore").textContent]
    .concat(Array.from(document.querySelectorAll("#plan li"), (li) => (li.className === "now" ? "*" : "") + li.textContent))
    .join("\n") === want, [c[line], c[more]].concat(plan).join("\n"));
  return plan;
}

runPages(probe, async ({ pin, open }) => {
  const tv = await open("TV", 1920, 1080);
  const phone = await open("phone", 390, 844);
  await probe.ask("enter 12");
  let plan = await tvShows(tv, "warning", "nextBreak");
  if (!/^\*at \d\d:\d\d Round 1 /.test(plan[0])) fail("round 1 not marked first in the plan: " + plan.join(" | "));
  console.log(`round 1: the colour-up warned, the next break and the plan on the TV: ${plan.slice(0, 3).join(", ")}…`);

  await probe.ask("next");
  plan = await tvShows(tv, "colourUp", "addOnNow");
  if (!/^\*at \d\d:\d\d Break$/.test(plan[1])) fail("the break not marked in the plan: " + plan.join(" | "));
  await shot(tv, "page-tv-plan-1920x1080.png");
  console.log("the break: the colour-up and the add-on on the display and the TV, the break marked in the plan");

  // A row a table: half a 100 or more left over brings one out, less brings none.
  await phone.bringToFront();
  await phone.click("#host");
  await phone.type("#pin", pin);
  await phone.click("#unlock");
  await waitFor(phone, () => document.querySelectorAll("#race:not([hidden]) #raceTables input").length === 2 &&
    document.getElementById("raceRules").textContent !== "");
  const title = await phone.$eval("#raceTitle", (e) => e.textContent);
  if (title !== "Chip race: the 25s (white) for 100s (black)") fail("the race's title: " + title);
  for (const [table, typed, out] of [[1, "7", "Bring out 2 × 100 (black)"], [1, "1", "None to bring out"],
    [1, "12", "Bring out 3 × 100 (black)"], [1, "", ""], [2, "2", "Bring out 1 × 100 (black)"], [1, "4", "Bring out 1 × 100 (black)"]]) {
    await phone.click(`#race-${table}-25`, { clickCount: 3 });
    await phone.keyboard.press("Backspace");
    await phone.type(`#race-${table}-25`, typed);
    const got = await phone.$eval(`#raceOut-${table}`, (e) => e.textContent);
    if (got !== out) fail(`${typed} × 25 at Table ${table}: "${got}", not "${out}"`);
  }
  await phone.$eval("#race", (e) => e.scrollIntoView());
  await shot(phone, "page-phone-race-390x844.png");
  console.log("the phone's chip race: 7, 1, 12, 2 (half a 100) and 4 leftover 25s bring out 2, 0, 3, 1 and 1 100s");
  return 3;
});
