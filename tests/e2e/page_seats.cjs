// The clock's page with two tables of nine, in headless Chromium against page_probe: the host's
// phone busts a player by tapping the seat in the tables drawn (asked first, by click and by
// key), refuses a move and then makes one by tapping the seat it left, seats a name typed, and
// redraws the final table; a TV shows every table's seats by name, live, the move, and at the end
// every place.
"use strict";
const { fail, startProbe, waitFor, shot: shotOf, runPages } = require("./browser.cjs");

const probe = startProbe(["seats"]);
const ask = probe.ask;
const texts = (page, selector) => page.$$eval(selector, (all) => all.map((e) => e.textContent));
// A screenshot, then the phone in sight again.
let inSight = null;
const shot = (page, name) => shotOf(page, name, inSight);
const nameOf = (game, player) => game.players[player - 1] || `Entry ${player}`;
// Every table's seats as the TV lists them: "Table 1: 2 Anna Berg · 5 Entry 7".
const mapLines = (game) => game.seatMap.map((row, t) => row.length ? `Table ${t + 1}: ` +
  (row.map((p, s) => p ? `${s + 1} ${nameOf(game, p)}` : "").filter((x) => x).join(" · ") || "empty") : "").filter((x) => x).join("\n");
// "Table 2, Seat 4": where a player sits.
const seatText = (game, player) => {
  for (const [t, row] of game.seatMap.entries()) if (row.includes(player)) return `Table ${t + 1}, Seat ${row.indexOf(player) + 1}`;
  return "nowhere";
};
const seatOf = (text) => { const m = /Table (\d+), Seat (\d+)$/.exec(text); return m ? [Number(m[1]), Number(m[2])] : null; };

// The seats drawn on the phone, as a screen reader names them and as they are placed.
function drawnSeats(page) {
  return page.$$eval("#tablesDrawn button.seat", (all) => all.map((b) => {
    const r = b.getBoundingClientRect();
    return { id: b.getAttribute("data-seat"), label: b.getAttribute("aria-label"), text: b.firstChild.textContent,
      enabled: !b.disabled, box: [r.left, r.top, r.right, r.bottom], width: innerWidth };
  }));
}
// The seats the phone draws are the game's: each named with its table, seat and player, its
// initials shown, finger-sized, apart from the others and within the screen's width.
function checkDrawn(drawn, game, enabledAt) {
  const initials = (name) => { const w = name.split(" "); return w[0][0] + w[w.length - 1][0]; };
  const wanted = [];
  game.seatMap.forEach((row, t) => row.forEach((entry, s) => {
    const where = `Table ${t + 1}, Seat ${s + 1}`;
    const name = nameOf(game, entry);
    wanted.push({ id: `${t + 1}-${s + 1}`, label: entry ? `${where}: ${name}` : `${where}, empty`,
      text: entry ? (game.players[entry - 1] ? initials(name) : String(entry)) : "", enabled: entry > 0 && enabledAt(t + 1) });
  }));
  const got = drawn.map(({ id, label, text, enabled }) => ({ id, label, text, enabled }));
  if (JSON.stringify(got) !== JSON.stringify(wanted)) fail(`the seats drawn: ${JSON.stringify(got)}, not ${JSON.stringify(wanted)}`);
  for (const a of drawn) {
    const [left, top, right, bottom] = a.box;
    if (bottom - top < 48 || right - left < 48) fail(`seat ${a.id} is ${right - left}×${bottom - top} px`);
    if (left < 8 || right > a.width - 8) fail(`seat ${a.id} is off the screen's width`);
    for (const b of drawn) {
      if (b === a || b.id.split("-")[0] !== a.id.split("-")[0]) continue;
      const apart = Math.max(b.box[0] - right, left - b.box[2], b.box[1] - bottom, top - b.box[3]);
      if (apart < 8) fail(`seats ${a.id} and ${b.id} are ${apart} px apart`);
    }
  }
}

runPages(probe, async ({ pin, open }) => {
  let passed = 0;
  // Sixteen entries, seated by the game: the TV lists every table's seats by name.
  const tv = await open("TV", 1920, 1080);
  const phone = inSight = await open("phone", 390, 844); // last: the tab in sight, as its clicks need
  let game = await ask("enter 16");
  if (game.entries !== 16 || game.seatMap.length !== 2 || game.seatCalls.length !== 10) fail("sixteen entries: " + JSON.stringify(game));
  await waitFor(tv, (lines) => Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n") === lines && !document.getElementById("seating").hidden, mapLines(game));

  // The host's phone: a bust opens the tables, every taken seat a button; the seat tapped is
  // asked about by its table, seat and name, and busted once confirmed.
  await phone.click("#host");
  await phone.type("#pin", pin);
  await phone.click("#unlock");
  await waitFor(phone, () => !document.getElementById("buttons").hidden && !document.getElementById("ledger").hidden &&
    !document.getElementById("namesRow").hidden);
  const bustAt = async (tap, table) => {
    await phone.click("#bust");
    await waitFor(phone, () => !document.getElementById("diagram").hidden && document.getElementById("acts").hidden &&
      document.activeElement.className === "seat");
    const drawn = await drawnSeats(phone);
    checkDrawn(drawn, game, () => true);
    const seat = game.seatMap[table - 1].findIndex((entry) => entry > 0) + 1;
    const entry = game.seatMap[table - 1][seat - 1];
    const question = `Bust Table ${table}, Seat ${seat} (${nameOf(game, entry)})?`;
    await tap(`[data-seat="${table}-${seat}"]`);
    await waitFor(phone, (q) => document.getElementById("question").textContent === q && !document.getElementById("ask").hidden &&
      document.getElementById("diagram").hidden && document.activeElement.id === "yes", question);
    await tap("#yes");
    const left = game.entries - game.busts - 1;
    await waitFor(phone, (said) => document.getElementById("said").textContent.startsWith(said) &&
      !document.getElementById("acts").hidden, `${nameOf(game, entry)} is out — ${left} left`);
    const before = game;
    game = await ask("seats");
    await waitFor(tv, (lines) => Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n") === lines, mapLines(game)); // live on the TV
    if (game.busts !== before.busts + 1 || game.seatMap[table - 1][seat - 1] !== 0) fail(`Table ${table}, Seat ${seat} not busted: ${JSON.stringify(game)}`);
    return drawn;
  };
  // By hand, then by keys alone: the first seat taken has the focus, Enter taps it and Enter says yes.
  const click = (selector) => phone.click(selector);
  const keys = async (selector) => {
    if (!(await phone.$eval(selector, (e) => e === document.activeElement))) fail(`${selector} does not have the focus`);
    await phone.keyboard.press("Enter");
  };
  await bustAt(async (selector) => {
    if (selector !== "#yes") await shot(phone, "page-phone-seats-390x844.png");
    await click(selector);
  }, 1);
  await bustAt(keys, 1);
  passed++;
  console.log("a bust tapped on the tables drawn (2 tables of 9, 16 then 15 taken), asked by seat and name, by hand and by keys");

  // Six at Table 1, eight at Table 2: the move shows on the phone and the TV. "Not now" refuses
  // it until the next bust; then "Done" and the seat it left, tapped at the table it is from.
  const moveShown = (page, move) => waitFor(page, (m) => document.getElementById("moveText").textContent === m &&
    !document.getElementById("moveBar").hidden && !document.getElementById("tableActs").hidden, move);
  if (!game.move || game.moveFrom !== 2) fail("no move from Table 2: " + JSON.stringify(game));
  await moveShown(phone, game.move);
  await waitFor(tv, (m) => document.getElementById("moveLine").textContent === m && !document.getElementById("moveLine").hidden, game.move);
  await shot(tv, "page-tv-seats-1920x1080.png");
  await shot(phone, "page-phone-move-390x844.png");
  await phone.click("#moveLater");
  await waitFor(phone, () => document.getElementById("moveBar").hidden);
  if ((await ask("seats")).move !== "") fail("the move was not refused");
  await bustAt(click, 1);
  if (!game.move) fail("no move after the next bust");
  await moveShown(phone, game.move);
  await phone.click("#moveDone");
  await waitFor(phone, (title) => !document.getElementById("diagram").hidden && document.getElementById("diagramTitle").textContent === title,
    `Which seat at Table ${game.moveFrom} moved? Tap it.`);
  checkDrawn(await drawnSeats(phone), game, (table) => table === game.moveFrom);
  const fromTable = game.moveFrom;
  const from = game.seatMap[game.moveFrom - 1].findIndex((entry) => entry > 0) + 1;
  const mover = game.seatMap[game.moveFrom - 1][from - 1];
  const [toTable, toSeat] = seatOf(game.move);
  await phone.click(`[data-seat="${game.moveFrom}-${from}"]`);
  await waitFor(phone, () => document.getElementById("moveBar").hidden && document.getElementById("diagram").hidden &&
    !document.getElementById("acts").hidden);
  const moved = await ask("seats");
  if (moved.move !== "" || moved.seatMap[game.moveFrom - 1][from - 1] !== 0 || moved.seatMap[toTable - 1][toSeat - 1] !== mover)
    fail(`the move from Table ${game.moveFrom}, Seat ${from}: ${JSON.stringify(moved)}`);
  game = moved;
  passed++;
  await waitFor(tv, (lines) => Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n") === lines, mapLines(game));
  console.log(`a move refused, then made: ${nameOf(game, mover)} from Table ${fromTable}, Seat ${from} to Table ${toTable}, Seat ${toSeat}`);

  // A re-entry from the phone is a player's who is out: those out listed, the last out first;
  // the first out comes back, seated, and is no longer out.
  await phone.click("#reentry");
  await waitFor(phone, (n) => !document.getElementById("whose").hidden && document.querySelectorAll("#whoseList button").length === n &&
    document.activeElement.parentNode.id === "whoseList", game.out.length);
  const listed = await texts(phone, "#whoseList button");
  const wanted = game.out.map((p, i) => nameOf(game, p) + (i === 0 ? " (last out)" : ""));
  if (JSON.stringify(listed) !== JSON.stringify(wanted)) fail(`those out: ${listed.join(", ")}, not ${wanted.join(", ")}`);
  const back = game.out[game.out.length - 1];
  await shot(phone, "page-phone-whose-390x844.png");
  await phone.click(`#whoseList button:nth-child(${game.out.length})`);
  await waitFor(phone, (said) => document.getElementById("said").textContent.startsWith(said) && document.getElementById("whose").hidden,
    `${nameOf(game, back)} re-enters`);
  game = await ask("seats");
  if (game.out.includes(back) || !game.seatMap.some((row) => row.includes(back))) fail("the re-entry was not the player picked: " + JSON.stringify(game));
  passed++;
  console.log(`a re-entry picked by name from ${listed.length} out: ${nameOf(game, back)}`);

  // A name typed on the phone and seated: the list comes filled in, the new line is kept and
  // drawn a seat, and the TV lists it; then a player renamed.
  await phone.click("#namesOpen");
  await waitFor(phone, (names) => !document.getElementById("namesPanel").hidden && document.getElementById("namesText").value === names &&
    document.activeElement.id === "namesText", game.names.join("\n"));
  await phone.keyboard.down("Control");
  await phone.keyboard.press("End");
  await phone.keyboard.up("Control");
  await phone.keyboard.type("\n  Zoe Quinn  ");
  await phone.click("#drawSeats");
  await waitFor(tv, () => / Zoe Quinn( ·|$)/m.test(Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n")));
  game = await ask("seats");
  if (game.entries !== 18 || game.players[16] !== "Zoe Quinn" || game.seatCalls[0] !== `Zoe Quinn → ${seatText(game, 17)}`)
    fail("the name typed was not seated: " + JSON.stringify(game));
  await phone.select("#renameWho", "1");
  await phone.type("#renameTo", "Anna Bee");
  await phone.click("#renameSave");
  await waitFor(phone, (said) => document.getElementById("said").textContent === said, `Renamed: ${nameOf(game, 1)} is now Anna Bee`);
  await waitFor(tv, () => / Anna Bee( ·|$)/m.test(Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n")));
  game = await ask("seats");
  if (game.players[0] !== "Anna Bee") fail("the rename did not take: " + JSON.stringify(game.players));

  // Nine players left (six busts more): a table breaks, the TV's seats follow, and the phone offers the final
  // table's redraw, asked first.
  game = await ask("bust 6");
  await waitFor(tv, (lines) => Array.from(document.querySelectorAll("#seatList li"), (li) => li.textContent).join("\n") === lines && !lines.includes("Table 2"), mapLines(game));
  if (!game.redrawOffered || game.seatMap.filter((row) => row.length).length !== 1) fail("no final table: " + JSON.stringify(game));
  await waitFor(phone, () => !document.getElementById("redraw").hidden);
  await phone.click("#redraw");
  await waitFor(phone, () => document.getElementById("question").textContent === "Draw every seat at the final table afresh?");
  await phone.click("#yes");
  await waitFor(phone, () => document.getElementById("redraw").hidden && document.getElementById("tableActs").hidden);
  if ((await ask("seats")).redrawOffered) fail("the final table was not redrawn");
  passed++;
  console.log("a name typed on the phone seated and called on the TV; the final table redrawn from the phone");

  // One player left: the TV shows every place as the game words it, in place of the clock.
  game = await ask("bust 8");
  if (game.results.length !== 17) fail("no results: " + JSON.stringify(game));
  for (const page of [tv, phone]) {
    await waitFor(page, (n) => document.querySelectorAll("#resultsRows tr").length === n && !document.getElementById("results").hidden &&
      document.getElementById("game").hidden && document.getElementById("seating").hidden, game.results.length);
    const rows = await page.$$eval("#resultsRows tr", (trs) => trs.map((tr) => Array.from(tr.cells, (td) => td.textContent)));
    const worded = rows.map(([place, ...rest]) => place + "  " + rest.filter((cell) => cell).join(" · "));
    if (worded.join("\n") !== game.results.join("\n")) fail(`the results shown: ${worded.join(" | ")}, not ${game.results.join(" | ")}`);
  }
  if (await tv.evaluate(() => document.getElementById("resultsBox").getBoundingClientRect().bottom > innerHeight)) fail("the TV's results run off the screen");
  if (await phone.evaluate(() => document.getElementById("resultsTable").getBoundingClientRect().right > innerWidth)) fail("the phone's results are wider than its screen");
  await shot(tv, "page-tv-results-1920x1080.png");
  await phone.evaluate(() => window.scrollTo(0, 0));
  await shot(phone, "page-phone-results-390x844.png");
  passed++;
  console.log(`one player left: the TV and the phone list all ${game.results.length} places, 1st "${game.results[0]}"`);
  return passed;
});
