// Drives the real program (by keys and clicks under Xvfb) and a page in headless Chromium;
// see page_address.sh.
"use strict";
const { fail, until, text, movedText: moved, launch } = require("./browser.cjs");
const { spawn, execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const net = require("net");

const app = process.env.APP;
const keptFile = path.join(app, "chiplark-page.ini");
let program = null;
let output = "";

const xdotool = (...args) => execFileSync("xdotool", args, { encoding: "utf8" }).trim();
function kept() {
  try {
    const text = fs.readFileSync(keptFile, "utf8");
    const field = (k) => (text.match(new RegExp("^" + k + "=(.*)$", "m")) || [])[1];
    return { token: field("Token"), port: field("Port"), pin: field("PIN"), mode: fs.statSync(keptFile).mode & 0o777 };
  } catch (e) {
    return null;
  }
}
// Whether something accepts connections on the port.
const listening = (port) => new Promise((resolve) => {
  const probe = net.connect({ host: "127.0.0.1", port: Number(port) }, () => { probe.destroy(); resolve(true); });
  probe.on("error", () => resolve(false));
});
const address = (k) => `http://127.0.0.1:${k.port}/${k.token}/`;
async function windowNamed(name) {
  let id = "";
  await until("window " + name, () => {
    try { id = xdotool("search", "--onlyvisible", "--name", name).split("\n")[0]; } catch (e) { id = ""; }
    return id !== "";
  });
  return id;
}
async function startProgram() {
  output = "";
  program = spawn(path.join(app, "chiplark"), [], { cwd: app, stdio: ["ignore", "pipe", "pipe"] });
  program.stdout.on("data", (d) => (output += d));
  program.stderr.on("data", (d) => (output += d));
  const settings = await windowNamed("^Chiplark! - version 1.0$");
  return settings;
}
async function endProgram(settings) {
  const done = new Promise((resolve) => program.once("exit", resolve));
  xdotool("windowfocus", "--sync", settings);
  xdotool("key", "Escape");
  await done;
  program = null;
}

(async () => {
  const browser = await launch();
  try {
    let settings = await startProgram();
    const files = fs.readFileSync(`/proc/${program.pid}/limits`, "utf8").match(/^Max open files +(\S+) +(\S+)/m);
    if (!files || files[1] !== files[2]) fail("the open-file limit was not raised: " + (files ? files[0] : "?"));
    await until("the address kept", () => kept() !== null, 30000);
    const first = kept();
    if (first.mode !== 0o600) fail("the kept address is readable by others: " + first.mode.toString(8));
    const tv = await browser.newPage();
    await tv.setViewport({ width: 1920, height: 1080 });
    // The page's WebSocket as the browser sees it: the game messages it got, its closes.
    const socket = { frames: 0, closed: 0 };
    const cdp = await tv.target().createCDPSession();
    await cdp.send("Network.enable");
    cdp.on("Network.webSocketFrameReceived", () => socket.frames++);
    cdp.on("Network.webSocketClosed", () => socket.closed++);
    const connected = async (what, ms) => {
      const mark = socket.frames;
      await until(what, async () => socket.frames > mark && (await text(tv, "offline")) === null, ms);
    };
    await tv.goto(address(first));
    await connected("the page connected", 30000);
    console.log("page open at the kept address, port " + first.port);

    // The program ends and starts again: the page finds it by itself, at the same address,
    // within 5 s of the program serving again.
    const closes = socket.closed;
    await endProgram(settings);
    await until("the page noticing the program gone", async () => socket.closed > closes && (await text(tv, "offline")) !== null);
    const restarted = Date.now();
    const back = connected("the page back", 30000);
    settings = await startProgram();
    await until("the program serving", () => listening(first.port), 30000);
    const serving = Date.now();
    await back;
    const after = Date.now() - serving;
    console.log(`program restarted: the page was back ${after} ms after the program served again (${Date.now() - restarted} ms after it was started)`);
    if (after > 5000) fail("the page took more than 5 s to come back");
    const second = kept();
    if (second.token !== first.token || second.port !== first.port || second.pin !== first.pin)
      fail("the address changed over a restart");

    // Serving off and on in "More options": the same address again.
    xdotool("windowfocus", "--sync", settings);
    xdotool("mousemove", "--window", settings, "544", "412", "click", "1"); // "More options…"
    const dialog = await windowNamed("^More options$");
    xdotool("windowfocus", "--sync", dialog);
    const closedBefore = socket.closed;
    xdotool("key", "alt+s"); // off
    await until("the page noticing serving off", async () => socket.closed > closedBefore && (await text(tv, "offline")) !== null);
    const again = connected("the page back after serving on");
    xdotool("key", "alt+s"); // on
    await again;
    const third = kept();
    if (third.token !== first.token || third.port !== first.port) fail("serving off and on changed the address");
    console.log("serving off and on kept the address");

    // A new address: the page says so and stops; the new address serves.
    xdotool("key", "alt+n");
    await until("the page saying the address changed", async () => (await tv.evaluate(() => document.body.innerText)).includes(moved));
    const fourth = kept();
    if (fourth.token === first.token || fourth.pin === first.pin) fail("no new token or PIN");
    const status = await tv.evaluate(async (old) => (await fetch(old, { cache: "no-store" })).status, address(first));
    if (status !== 403) fail("the old address answered " + status);
    const fresh = await browser.newPage();
    await fresh.goto(address(fourth));
    await until("the new address serving", async () => (await text(fresh, "offline")) === null && (await text(fresh, "waiting")) !== null);
    console.log("New address and PIN: the old page says so, the new address serves");
    xdotool("key", "Escape");
    await endProgram(settings);
    console.log("1 passed, 0 failed");
  } finally {
    await browser.close();
    if (program) program.kill();
  }
})().catch((e) => {
  console.error("FAIL: " + e.message);
  console.error("--- the program printed:\n" + output);
  if (program) program.kill();
  process.exit(1);
});
