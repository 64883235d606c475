// Drives the clock's page in headless Chromium against a running game (page_probe).
"use strict";
const { fail, until, text, movedText, launch, startProbe, waitFor } = require("./browser.cjs");
const path = require("path");

let probe = startProbe([]);
const nextLine = () => probe.ask();
const display = () => probe.ask("display");
const shows = (page, id) => page.$eval("#" + id, (e) => e.getClientRects().length > 0);
const seconds = (mss) => { const [m, s] = mss.split(":").map(Number); return m * 60 + s; };
// The players' band as the display words it: its two lines, CR LF between them.
const band = (page) => page.evaluate(() => (document.getElementById("band").hidden ? null
  : ["bandCount", "bandPrizes"].map((id) => document.getElementById(id).textContent).filter((t) => t).join("\r\n")));
const keyName = "chiplark-control";

// Run in the page before its own script. A TV's browser from 2017: none of the library
// calls that came later, no wake lock, no fetch.
function oldEngine() {
  const later = [[String.prototype, ["padStart", "padEnd", "trimStart", "trimEnd", "replaceAll", "at"]],
    [Array.prototype, ["includes", "flat", "flatMap", "at"]], [Object, ["entries", "values", "fromEntries"]],
    [Promise.prototype, ["finally"]], [window, ["fetch", "globalThis"]], [Navigator.prototype, ["wakeLock"]]];
  for (const [owner, names] of later) for (const name of names) delete owner[name];
}
// A phone on plain http: no wake lock.
function noWakeLock() { delete Navigator.prototype.wakeLock; }
// A browser that grants it: the page's requests are kept in window.wakeRequests.
function wakeLock() {
  window.wakeRequests = [];
  Object.defineProperty(Navigator.prototype, "wakeLock", {
    configurable: true,
    get: () => ({ request: (type) => { window.wakeRequests.push(type); return Promise.resolve({ addEventListener() {} }); } }),
  });
}

// Finger-sized and apart: each at least 48 px tall, 8 px from the others and from the edges.
async function roomy(page, ids) {
  const boxes = await page.evaluate((ids) => ids.map((id) => {
    const r = document.getElementById(id).getBoundingClientRect();
    return { id, left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: innerWidth, height: innerHeight };
  }), ids);
  for (const b of boxes) {
    if (b.bottom - b.top < 48) fail(`#${b.id} is ${b.bottom - b.top} px tall`);
    const edge = Math.min(b.left, b.top, b.width - b.right, b.height - b.bottom);
    if (edge < 8) fail(`#${b.id} is ${edge} px from the screen's edge`);
    for (const o of boxes) {
      const apart = Math.max(o.left - b.right, b.left - o.right, o.top - b.bottom, b.top - o.bottom);
      if (o !== b && apart < 8) fail(`#${b.id} and #${o.id} are ${apart} px apart`);
    }
  }
}

(async () => {
  const { address, pin } = await nextLine();
  console.log("page at " + address.replace(/\/[0-9a-f]{32}\//, "/<token>/"));
  const browser = await launch();
  const errors = [];
  // Every page with its requests to the server counted, WebSockets included.
  async function open(name, width, height, before) {
    const page = await browser.newPage();
    page.on("pageerror", (e) => errors.push(`${name}: ${e.message}`));
    page.requests = 0;
    page.on("request", () => page.requests++);
    const cdp = await page.createCDPSession();
    await cdp.send("Network.enable");
    cdp.on("Network.webSocketCreated", () => page.requests++);
    await page.setViewport({ width, height });
    await page.evaluateOnNewDocument(before);
    return page;
  }
  try {
    // A phone held upright: the page shows what the display shows.
    const view = await open("phone", 390, 844, wakeLock);
    await view.goto(address);
    await until("the game on the page", async () => (await text(view, "blinds")) !== null && (await text(view, "blinds")) !== "");
    let shown = await display();
    if ((await text(view, "blinds")) !== shown.blinds) fail(`blinds: page ${await text(view, "blinds")}, display ${shown.blinds}`);
    const round = (await text(view, "round")).match(/\d+/)[0];
    if (!shown.round.includes("Round " + round)) fail(`round: page ${round}, display ${shown.round}`);
    const left = seconds(await text(view, "countdown"));
    shown = await display();
    if (Math.abs(left - shown.secondsLeft) > 1) fail(`countdown: page ${left} s, display ${shown.secondsLeft} s`);
    const wakeAsked = await view.evaluate(() => window.wakeRequests);
    if (!wakeAsked.length || wakeAsked.some((type) => type !== "screen")) fail(`wake lock requests: [${wakeAsked}]`);
    console.log(`page and display agree: ${shown.blinds}, round ${round}, ${left} s left; the screen is kept on`);

    // The page's own SHA-256 and HMAC-SHA256, against the published vectors (FIPS 180-2, RFC 4231).
    const wrong = await view.evaluate(() => {
      const bytes = (n, b) => new Array(n).fill(b);
      const vectors = [
        [hex(sha256(utf8("abc"))), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"],
        [hex(sha256(utf8(""))), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"],
        [hex(sha256(utf8("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"))),
          "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"],
        [hex(sha256(bytes(1000000, 0x61))), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"],
        [hex(hmacSha256(bytes(20, 0x0b), utf8("Hi There"))), "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"],
        [hmacHex("Jefe", "what do ya want for nothing?"), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"],
        [hex(hmacSha256(bytes(131, 0xaa), utf8("Test Using Larger Than Block-Size Key - Hash Key First"))),
          "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"],
      ];
      return vectors.map(([got, want], i) => (got === want ? "" : `vector ${i + 1}: ${got}`)).filter((x) => x);
    });
    if (wrong.length) fail("the page's SHA-256: " + wrong.join("; "));
    console.log("the page's SHA-256 and HMAC-SHA256 give the published vectors");

    // A TV with an old browser: the clock alone, and big.
    const tv = await open("TV", 3840, 2160, oldEngine);
    const html = await (await tv.goto(address)).text();
    const css = (html.match(/<style[\s\S]*?<\/style>|style="[^"]*"/g) || []).join("\n");
    if (!css || /\b(min|max|clamp)\s*\(/.test(css)) fail("the page's style uses min(), max() or clamp(), or has none");
    await until("the countdown on the TV", async () => /^\d+:\d\d$/.test(await text(tv, "countdown")));
    const tall = await tv.evaluate(() => ["blinds", "countdown"].map((id) => [id, parseFloat(getComputedStyle(document.getElementById(id)).fontSize) / innerHeight]));
    for (const [id, share] of tall) if (share < 0.1) fail(`#${id} on the TV: type ${(share * 100).toFixed(1)} % of the screen's height`);
    if (await tv.evaluate(() => document.getElementById("timer").getBoundingClientRect().bottom > innerHeight)) fail("the TV's game time is off the screen");
    for (const [id, wanted] of [["host", true], ["pin", false], ["awake", false]])
      if ((await shows(tv, id)) !== wanted) fail(`#${id} on the TV: ${wanted ? "not " : ""}shown`);
    console.log("the TV shows the clock alone: " + tall.map(([id, share]) => `${id} ${(share * 100).toFixed(0)} %`).join(", ") + " of its height");

    // A second phone, the host's: the controls behind "Host", the PIN, then pause, resume, next level.
    const control = await open("host's phone", 390, 844, noWakeLock);
    await control.goto(address);
    await control.click("#host");
    await roomy(control, ["pin", "unlock", "host"]);
    await control.type("#pin", pin);
    await control.click("#unlock");
    await control.waitForSelector("#buttons:not([hidden])", { timeout: 10000 });
    await roomy(control, ["pause", "nextLevel", "back", "minus", "plus", "host"]);
    if (!(await shows(control, "awake"))) fail("no word on keeping the phone's screen on");
    if (process.env.SHOTS) await control.screenshot({ path: path.join(process.env.SHOTS, "page-phone-controls-390x844.png") });
    await control.click("#pause");
    await until("paused on the display", async () => (await display()).paused === true);
    await until("PAUSED on the page", async () => (await text(view, "paused")) === "PAUSED");
    await control.click("#pause");
    await until("resumed", async () => (await display()).paused === false);
    await until("PAUSED gone", async () => (await text(view, "paused")) === null);
    await control.click("#nextLevel"); // asked first: a level skipped cannot be taken back
    await waitFor(control, () => document.getElementById("question").textContent === "Go to the next level now?");
    if ((await display()).round.includes("Round 2")) fail("the next level was taken before it was confirmed");
    await control.click("#yes");
    await until("level 2 on the display", async () => (await display()).round.includes("Round 2"));
    shown = await display();
    await until("level 2 on the page", async () => (await text(view, "blinds")) === shown.blinds);
    if ((await text(view, "ante")) !== shown.ante) fail(`ante: page ${await text(view, "ante")}, display ${shown.ante}`);
    console.log(`the host's phone paused, resumed and moved on to ${shown.blinds} (${shown.ante})`);

    // The phone keeps the control key it was given (never the PIN); reloaded with a key the clock
    // does not know, it forgets it and asks for the PIN again. A known key kept over a reload: page_control.
    const given = await control.evaluate((key) => sessionStorage.getItem(key), keyName);
    if (!/^[0-9a-f]{32}$/.test(given)) fail(`the control key kept: ${given}`);
    await control.evaluate((key) => sessionStorage.setItem(key, "a".repeat(32)), keyName);
    await control.reload();
    await until("#pinForm after a reload", async () => shows(control, "pinForm"));
    if (await shows(control, "buttons")) fail("#buttons shown after a reload with a key the clock does not know");
    const now = await control.evaluate((key) => sessionStorage.getItem(key), keyName);
    if (now !== null) fail(`a key the clock does not know kept after a reload: ${now}`);
    console.log("the host's phone kept its control key, and forgot one the clock does not know");

    if (process.env.SHOTS) {
      await view.screenshot({ path: path.join(process.env.SHOTS, "page-phone-390x844.png") });
      await tv.screenshot({ path: path.join(process.env.SHOTS, "page-tv-3840x2160.png") });
    }

    // The host makes a new address: the pages at the old one say so and ask no more, and the
    // new one shows the game. Told so ("renew"), a page asks nothing more at all; after the
    // server was gone meanwhile ("newtoken"), it finds the old address refused.
    let current = address;
    const old = [view, tv, control];
    for (const command of ["newtoken", "renew"]) {
      for (const page of old) {
        if (page.url() !== current) await page.goto(current);
        await until("the game at " + command, async () => /^\d+:\d\d$/.test(await text(page, "countdown")));
      }
      const before = old.map((page) => page.requests);
      probe.stdin.write(command + "\n");
      const renewed = await nextLine();
      if (renewed.address === current || renewed.address.split("/")[2] !== current.split("/")[2])
        fail(`${command}: ${renewed.address} after ${current}`);
      for (const page of old) {
        await until(command + ": the address changed", async () => (await text(page, "moved")) === movedText);
        if ((await text(page, "offline")) !== null) fail(command + ": still reconnecting");
      }
      if (command === "renew" && old.some((page, i) => page.requests !== before[i])) fail("renew: the page asked the old address again");
      const asks = old.map((page) => page.requests);
      const from = (await display()).secondsLeft;
      await until("three seconds of play", async () => (await display()).secondsLeft <= from - 3);
      if (old.some((page, i) => page.requests !== asks[i])) fail(command + ": the old address was asked again");
      current = renewed.address;
    }
    await view.goto(current);
    shown = await display();
    await until("the game at the new address", async () => (await text(view, "blinds")) === shown.blinds);
    console.log("a new address: the pages at the old one said so and asked no more; the new one shows the game");

    // A game that counts players. The host's phone records three entries, then a bust and an
    // undo, each asked again on the phone (the one answered by click, the other by key), takes
    // a minute off, goes back to the level's start (10:00) and adds a minute; within a second
    // the display and a TV without the PIN show what the phone shows.
    for (const page of [view, tv, control]) await page.close();
    probe.kill();
    probe = startProbe(["count"]);
    const game = await nextLine();
    // The phone last: the tab in sight, as its clicks need.
    const screen = await open("counting TV", 1920, 1080, noWakeLock);
    const phone = await open("counting phone", 390, 844, noWakeLock);
    await screen.goto(game.address);
    await phone.goto(game.address);
    await phone.click("#host");
    await phone.type("#pin", game.pin);
    await phone.click("#unlock");
    await waitFor(phone, () => !document.getElementById("ledger").hidden && !document.getElementById("buttons").hidden);
    await roomy(phone, ["entry", "reentry", "rebuy", "addon", "bust", "undo", "lock"]);
    for (let i = 0; i < 3; i++) await phone.click("#entry");
    await waitFor(phone, () => document.getElementById("bandCount").textContent.startsWith("Players 3 / 3 · "));
    const asked = async (button, question, answer) => {
      await phone.click(button);
      await waitFor(phone, (q) => !document.getElementById("ask").hidden && document.getElementById("acts").hidden &&
        document.getElementById("question").textContent === q && document.activeElement.id === "yes", question);
      await roomy(phone, ["yes", "no"]);
      await answer();
    };
    await asked("#bust", "Record a bust?", () => phone.click("#yes"));
    await waitFor(phone, () => document.getElementById("said").textContent === "Bust — 2 players left");
    if ((await display()).counts.busts !== 1) fail("the bust is not on the display's count");
    // While the phone asks, an entry at the laptop: the undo names what the phone saw, so the
    // clock asks again about what is now last instead of taking back the entry unseen.
    await asked("#undo", "Undo Bust?", async () => {
      probe.stdin.write("key E\n");
      await nextLine();
      await until("the laptop's entry on the phone", async () => ((await band(phone)) || "").startsWith("Players 3 / 4 · "));
      await phone.click("#yes");
    });
    await waitFor(phone, () => !document.getElementById("ask").hidden &&
      document.getElementById("question").textContent === "The last action is now Entry — undo that?" &&
      document.getElementById("yes").textContent === "Yes, undo");
    if ((await display()).counts.entries !== 4) fail("the stale undo took something back");
    await phone.keyboard.press("Enter");
    await waitFor(phone, () => /^Undone: Entry/.test(document.getElementById("said").textContent) && !document.getElementById("acts").hidden);
    await asked("#undo", "Undo Bust?", () => phone.keyboard.press("Enter"));
    await waitFor(phone, () => /^Undone: Bust/.test(document.getElementById("said").textContent) && !document.getElementById("acts").hidden);
    await phone.click("#minus");
    await until("a minute less on the display", async () => (await display()).secondsLeft <= 540);
    await asked("#back", "Restart Round 1?", () => phone.click("#yes"));
    await phone.click("#plus");
    await until("the level's start and a minute more on the display", async () => (await display()).secondsLeft >= 650);
    let agreed = null;
    await until("the display and the pages agreeing", async () => {
      const d = await display();
      const pages = [];
      for (const page of [phone, screen]) pages.push({ band: await band(page), left: seconds(await text(page, "countdown")) });
      agreed = d;
      return d.counts.entries === 3 && d.counts.busts === 0 && d.band.startsWith("Players 3 / 3 · ") &&
        pages.every((p) => p.band === d.band && Math.abs(p.left - d.secondsLeft) <= 1);
    }, 1000);
    if (await screen.evaluate(() => document.getElementById("band").getBoundingClientRect().bottom > innerHeight)) fail("the TV's band is off the screen");
    if (process.env.SHOTS) await phone.screenshot({ path: path.join(process.env.SHOTS, "page-phone-counting-390x844.png") });
    console.log(`counting: the phone's bust and undo (asked again after the laptop's entry), −1 min, Back and +1 min; display and pages agree on ${JSON.stringify(agreed.band)}, ${agreed.secondsLeft} s left`);

    // 110 players: 22 places paid. The display's band names the first five; the pages list the
    // others, each of them, within the screen; a list longer than its rows moves on by itself (a TV
    // has no hand to scroll it) and scrolls by hand.
    for (let i = 0; i < 107; i++) {
      probe.stdin.write("key E\n");
      await nextLine();
    }
    const long = await display();
    if (long.places.length !== 22 || !long.band.includes(" · 17 more paid")) fail(`110 players: ${long.band}, ${long.places.length} places`);
    const places = (page) => page.evaluate(() => Array.from(document.querySelectorAll("#places li"), (li) => li.textContent));
    for (const page of [phone, screen]) {
      await waitFor(page, (n) => document.querySelectorAll("#places li").length === n, 17);
      if ((await places(page)).join(", ") !== long.places.slice(5).join(", ")) fail(`the page's places: ${await places(page)}`);
      if (!(await shows(page, "places"))) fail("the places not shown");
    }
    if (await screen.evaluate(() => document.getElementById("band").getBoundingClientRect().bottom > innerHeight)) fail("the TV's band with its places is off the screen");
    if (!(await phone.evaluate(() => { const l = document.getElementById("places"); return l.scrollHeight > l.clientHeight + 1; })))
      fail("the phone's places fit in their rows: nothing to scroll");
    await phone.waitForFunction(() => document.getElementById("places").scrollTop > 0, { timeout: 10000, polling: 100 });
    await phone.evaluate(() => { document.getElementById("places").scrollTop = 1e6; });
    if (await phone.evaluate(() => document.getElementById("places").scrollTop === 0)) fail("the phone's places do not scroll by hand");
    if (process.env.SHOTS) {
      await phone.screenshot({ path: path.join(process.env.SHOTS, "page-phone-places-390x844.png") });
      await screen.screenshot({ path: path.join(process.env.SHOTS, "page-tv-places-1920x1080.png") });
    }
    console.log("110 players: the band names 5 places and \"17 more paid\"; the pages list the other 17, the phone's list moving on by itself and scrolled by hand");

    if (errors.length) fail("the page's script failed: " + errors.join("; "));
    console.log("2 passed, 0 failed");
  } catch (e) {
    if (errors.length) e.message += " (the page's script failed: " + errors.join("; ") + ")";
    throw e;
  } finally {
    await browser.close();
    probe.kill();
  }
})().catch((e) => {
  console.error("FAIL: " + e.message + (process.env.DEBUG_STACK ? "\n" + e.stack : ""));
  probe.kill();
  process.exit(1);
});
