// The host's phone on a bounty night, in headless Chromium: paired with the PIN, it does what
// each line it is given says and prints "done" once the clock has said so.
//   bust TABLE SEAT NAME: the seat tapped, NAME picked as who busted them, recorded;
//   deal CHIPS... PLAYFOR: each player's chips typed in seat order, the deal shown (a TV's
//   page beside it shows the same), ICM taken, play going on; counted: the counts typed on the
//   display shown, the chip leader first; offered: a deal offered on the display shown; quit.
"use strict";
const readline = require("readline");
const { launch, until } = require("./browser.cjs");
const fail = (why) => { throw new Error(why); };

(async () => {
  const browser = await launch();
  const phone = await browser.newPage();
  await phone.setViewport({ width: 400, height: 860 });
  await phone.goto(process.env.WATCH);
  // The PIN is sent once the page has the game: a slow clock (a sanitizer's build) takes a while.
  await until("the game on the page", () => phone.$eval("#game", (e) => !e.hidden), 30000);
  await phone.click("#host");
  await phone.type("#pin", process.env.PIN);
  await phone.click("#unlock");
  await until("control", () => phone.$eval("#buttons", (e) => !e.hidden));
  const shown = (id) => phone.$eval("#" + id, (e) => !e.hidden && !e.closest("[hidden]"));
  const said = (what) => until(what, () => phone.$eval("#said", (e, w) => e.textContent.includes(w), what));
  const tap = async (selector) => { await until(selector, () => phone.$(selector)); await phone.click(selector); };
  for await (const line of readline.createInterface({ input: process.stdin })) {
    const [command, ...args] = line.split(" ");
    if (command === "quit") break;
    if (command === "bust") {
      await tap("#bust");
      await tap(`[data-seat="${args[0]}-${args[1]}"]`);
      await until("who busted them", () => shown("whose"));
      for (const b of await phone.$$("#whoseList button"))
        if ((await b.evaluate((e) => e.textContent)) === args[2]) await b.click();
      await tap("#bustBy");
      await tap("#yes");
      await said(" is out");
    } else if (command === "counted") {
      // The counts come one by one as they are typed: all three, the leader first.
      await until("the counts shown", async () => (await shown("counted")) && (await phone.$$("#countedRows tr")).length === 3);
      const rows = await phone.$$eval("#countedRows tr", (trs) => trs.map((tr) => tr.innerText.replace(/\t/g, " ")));
      if (!/^\S+ \(chip leader\) 40,000 200 BB$/.test(rows[0])) fail("the counts: " + rows.join(" | "));
    } else if (command === "offered") {
      await until("the display's offer", () => shown("dealPick"));
    } else if (command === "deal") {
      await tap("#dealOpen");
      await until("the counts' boxes", () => shown("countsPanel"));
      const boxes = await phone.$$("#countsList input");
      // The display's last counts stand in the boxes: typed over.
      await phone.$$eval("#countsPanel input", (all) => all.forEach((e) => { e.value = ""; }));
      for (let i = 0; i < boxes.length; i++) await boxes[i].type(args[i]);
      await phone.type("#playFor", args[args.length - 1]);
      await tap("#dealShow");
      await until("the deal offered", () => shown("dealPick"));
      const tv = await browser.newPage();
      await tv.setViewport({ width: 1280, height: 720 });
      await tv.goto(process.env.WATCH);
      await until("the TV's deal", () => tv.$eval("#dealt", (e) => !e.hidden));
      console.log(await tv.$eval("#dealt", (e) => e.innerText));
      if (process.env.SHOTS) {
        await tv.screenshot({ path: process.env.SHOTS + "/tv-deal.png" });
        await phone.bringToFront();
        await phone.screenshot({ path: process.env.SHOTS + "/phone-deal.png", fullPage: true });
      }
      await tv.close();
      const ways = await phone.$$("#dealWays button");
      await ways[3].click();
      await tap("#yes");
      await said("Deal — ICM");
    }
    console.log("done " + command);
  }
  await browser.close();
})().catch((e) => { console.log("FAIL " + e.message); process.exit(1); });
