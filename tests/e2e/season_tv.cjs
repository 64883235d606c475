// The TV's view of the season at the end of the night: the watch page in headless Chromium
// shows the standings under the results; the rows are printed, and a screenshot kept in SHOTS.
"use strict";
const { launch, until } = require("./browser.cjs");

(async () => {
  const browser = await launch();
  const page = await browser.newPage();
  await page.setViewport({ width: 1280, height: 720 });
  await page.goto(process.env.WATCH);
  await until("the season shown", () => page.$eval("#season", (e) => !e.hidden && e.querySelectorAll("tbody tr").length > 0));
  await until("three nights counted", () => page.$eval("#seasonRows", (e) => e.textContent.includes("3")));
  const rows = await page.$$eval("#seasonRows tr", (trs) => trs.map((tr) => [...tr.children].map((td) => td.textContent).join("|")));
  console.log(await page.$eval("#seasonHead", (e) => e.textContent));
  for (const row of rows) console.log(row);
  if (process.env.SHOTS) await page.screenshot({ path: process.env.SHOTS + "/tv-season.png" });
  await browser.close();
})().catch((e) => { console.error(e.message); process.exit(1); });
