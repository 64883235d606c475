// What the tests that drive the clock's page in headless Chromium share.
"use strict";
const puppeteer = require("puppeteer-core");
const path = require("path");

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
module.exports = { fail, until, text, movedText, launch };
