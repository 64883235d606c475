// The host's phone paired by the scanned control link, on the real program, and after the
// program is killed and the game resumed; see page_control.sh.
"use strict";
const { fail, until, text, launch, waitFor } = require("./browser.cjs");
const { spawn } = require("child_process");
const readline = require("readline");
const path = require("path");
const net = require("net");

// The display's game timer, in seconds, read through the accessibility bus.
// Debian's own Python, which has the accessibility bus's client.
const reader = spawn("/usr/bin/python3", [process.env.TIMER], { stdio: ["pipe", "pipe", "inherit"] });
const answers = [];
let wake = null;
const heard = (answer) => { answers.push(answer); if (wake) wake(); };
readline.createInterface({ input: reader.stdout }).on("line", (line) => heard(Number(line)));
reader.on("exit", () => heard(NaN));
async function timer() {
  reader.stdin.write("\n");
  while (!answers.length) await new Promise((resolve) => { wake = resolve; });
  const seconds = answers.shift();
  if (!(seconds >= 0)) fail("the display's game timer could not be read");
  return seconds;
}
// The moment the timer turns to its next second, on the wall clock: a reading accurate to
// the time one reading takes, not to a whole second.
async function tick() {
  const from = await timer();
  for (;;) {
    const now = await timer();
    if (now !== from) return { game: now, wall: Date.now() };
  }
}

(async () => {
  const browser = await launch();
  try {
    const link = process.env.LINK;
    if (!/#control=[0-9a-f]{32}$/.test(link)) fail("the scanned code is no control link: " + link);
    const address = link.replace(/#.*$/, "");
    // A TV: the times the game's pushes arrive, and when the count it shows changed.
    const tv = await browser.newPage();
    await tv.evaluateOnNewDocument(() => {
      window.pushes = [];
      window.counted = [];
      const Native = window.WebSocket;
      window.WebSocket = function (url) {
        const s = new Native(url);
        s.addEventListener("message", (e) => {
          if (e.data.indexOf('"type":"state"') < 0) return;
          window.pushes.push(Date.now());
          const state = JSON.parse(e.data);
          window.lastLeft = state.secondsLeft; // the countdown the room saw last
          if (state.count) window.counted.push([Date.now(), state.count.records]);
        });
        return s;
      };
    });
    await tv.goto(address);
    // The host's phone, from the link: control at once, and the link gone from its address.
    const host = await browser.newPage();
    await host.setViewport({ width: 390, height: 844 });
    await host.goto(link);
    await waitFor(host, () => !document.getElementById("buttons").hidden && !document.getElementById("control").hidden);
    if (host.url() !== address) fail("the link stayed in the address bar: " + host.url());
    const key = await host.evaluate(() => sessionStorage.getItem("chiplark-control"));
    if (!/^[0-9a-f]{32}$/.test(key)) fail("no control key kept: " + key);
    if (process.env.SHOTS) await host.screenshot({ path: path.join(process.env.SHOTS, "page-paired-by-link-390x844.png") });
    const pauses = async (what) => {
      await host.click("#pause");
      await until(what + ": PAUSED on the TV", async () => (await text(tv, "paused")) === "PAUSED");
      await host.click("#pause");
      await until(what + ": running again", async () => (await text(tv, "paused")) === null);
    };
    await pauses("paired by the link");
    console.log("the scanned link gave the phone control, and left its address bar");
    // The socket drops (sleep, Wi-Fi roaming) and the page is reloaded: control stays.
    await host.evaluate(() => socket.close());
    await until("the phone reconnecting", async () => (await text(host, "offline")) === null &&
      (await host.evaluate(() => socket !== null && socket.readyState === 1)));
    await pauses("after a dropped socket");
    await host.reload();
    await waitFor(host, () => !document.getElementById("buttons").hidden);
    await pauses("after a reload");
    console.log("control kept across a dropped socket and a reload");

    // 10,000 actions in a burst from the host's phone.
    const before = await tick();
    const sent = Date.now();
    await host.evaluate(() => { for (let i = 0; i < 10000; i++) socket.send('{"action":"entry"}'); });
    const sending = Date.now() - sent;
    await until("ten seconds of play after the burst", async () =>
      (await tv.evaluate(() => state.gameSeconds)) >= before.game + 10, 30000);
    const after = await tick();
    const drift = (after.game - before.game) - (after.wall - before.wall) / 1000;
    const pushes = await tv.evaluate((from) => window.pushes.filter((t) => t >= from), sent);
    let widest = 0;
    for (let i = 1; i < pushes.length; i++) widest = Math.max(widest, pushes[i] - pushes[i - 1]);
    const taken = await tv.evaluate(() => (state.count ? state.count.records : -1));
    const told = await host.evaluate(() => document.getElementById("said").textContent);
    console.log(`burst of 10,000 sent in ${sending} ms: ${taken} taken (${told}); the display's timer ` +
      `${drift >= 0 ? "+" : ""}${drift.toFixed(2)} s against the wall over ${((after.wall - before.wall) / 1000).toFixed(1)} s; ` +
      `${pushes.length} pushes to the TV, at most ${widest} ms apart`);
    if (Math.abs(drift) > 1) fail(`the display's game timer is ${drift.toFixed(2)} s off the wall clock`);
    if (widest > 1500) fail(`the TV's pushes were ${widest} ms apart`);
    // Ten at once, then one each 250 ms for as long as the clock took to read the burst (until the
    // TV saw the count's last change): a slow machine reads it longer, never faster.
    const lastChange = await tv.evaluate((n) => (window.counted.find((c) => c[1] === n) || [Date.now()])[0], taken);
    const allowed = 10 + Math.ceil((lastChange - sent) / 250) + 1;
    if (taken < 1 || taken > allowed) fail(`${taken} of the burst were counted, more than the ${allowed} its time allows`);
    // Three more entries at a hand's pace, then the kill.
    for (let i = 1; i <= 3; i++) {
      await host.click("#entry");
      await until(`entry ${i} after the burst`, async () =>
        (await tv.evaluate(() => (state.count ? state.count.records : -1))) === taken + i, 10000);
    }

    // The program killed and the game resumed (page_control.sh): the phone controls it
    // again without the PIN, from the key it kept.
    console.log("kill now");
    // The phone finds the program again by itself, within 4 s of it serving again.
    const listening = () => new Promise((resolve) => {
      const probe = net.connect({ host: "127.0.0.1", port: Number(new URL(address).port) }, () => { probe.destroy(); resolve(true); });
      probe.on("error", () => resolve(false));
    });
    const back = (async () => {
      await until("the phone noticing the program gone", async () => (await text(host, "offline")) !== null, 30000);
      await until("the program serving again", listening, 60000);
      const serving = Date.now();
      await until("the phone back", async () => (await text(host, "offline")) === null, 30000);
      return Date.now() - serving;
    })();
    back.catch(() => {});
    // The kept game's countdown (what the resume question said), against the last push.
    const kept = Number(String(await new Promise((resolve) => process.stdin.once("data", resolve))).split(" ")[1]);
    process.stdin.destroy();
    const lastLeft = await tv.evaluate(() => window.lastLeft);
    console.log(`resumed at ${kept} s left; the last push before the kill said ${lastLeft} s`);
    if (!(Math.abs(kept - lastLeft) <= 1)) fail(`the resumed countdown ${kept} s is not the last push's ${lastLeft} s`);
    const backAfter = await back;
    console.log(`the phone was back ${backAfter} ms after the program served again`);
    if (backAfter > 4000) fail("the phone took more than 4 s to come back");
    await until("the phone back on the resumed game", async () => (await text(host, "offline")) === null &&
      (await host.evaluate(() => socket !== null && socket.readyState === 1)), 30000);
    await waitFor(host, () => !document.getElementById("buttons").hidden);
    await host.click("#pause"); // resumed paused: the phone runs it
    await until("the resumed game run from the phone", async () => (await text(tv, "paused")) === null, 30000);
    await pauses("after the kill and the resume");
    if (await host.evaluate(() => sessionStorage.getItem("chiplark-control")) !== key) fail("the phone was given a new key");
    console.log("the phone kept control of the resumed game, without the PIN");
    console.log("1 passed, 0 failed");
  } finally {
    await browser.close();
    reader.kill();
  }
})().catch((e) => {
  console.error("FAIL: " + e.message);
  reader.kill();
  process.exit(1);
});
