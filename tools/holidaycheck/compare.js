// Compares the holiday engine (lunetta-holidaygen --list) with two independent references:
//  - the npm package japanese-holidays, another implementation of the holiday law: every day off;
//  - the equinox moments from the Sun's position (astronomia: VSOP87 and its prediction of
//    terrestrial minus universal time), converted to Japan time: the two equinox days.
// Prints the counts and every disagreement; exits 1 when there is one.
//   node compare.js ENGINE_LIST FIRST LAST   (both packages on NODE_PATH)
"use strict";
const fs = require("fs");
const JapaneseHolidays = require("japanese-holidays");
const { solstice, planetposition, deltat, julian } = require("astronomia");
const vsop87Bearth = require("astronomia/data/vsop87Bearth");

const [listFile, firstText, lastText] = process.argv.slice(2);
const first = Number(firstText), last = Number(lastText);
const pad = (n) => String(n).padStart(2, "0");

const engine = new Map();
for (const line of fs.readFileSync(listFile, "utf8").split("\n")) {
  if (line) engine.set(line.slice(0, 10), line.slice(11));
}

const reference = new Map();
for (let y = first; y <= last; y++) {
  for (const h of JapaneseHolidays.getHolidaysOf(y)) {
    reference.set(`${y}-${pad(h.month)}-${pad(h.date)}`, h.name);
  }
}
const onlyEngine = [...engine.keys()].filter((d) => !reference.has(d));
const onlyReference = [...reference.keys()].filter((d) => !engine.has(d));
const lawMismatches = onlyEngine.length + onlyReference.length;
console.log(`japanese-holidays, ${first}..${last}: engine ${engine.size} days off, reference ` +
            `${reference.size}, both ${engine.size - onlyEngine.length}, mismatches ${lawMismatches}`);
for (const d of onlyEngine) console.log(`  only the engine:    ${d} ${engine.get(d)}`);
for (const d of onlyReference) console.log(`  only the reference: ${d} ${reference.get(d)}`);

const earth = new planetposition.Planet(vsop87Bearth.default ?? vsop87Bearth);
let equinoxes = 0, closest = 24;
const sunMismatches = [];
for (let y = first; y <= last; y++) {
  for (const [name, moment, month] of [["vernal", solstice.march2, 3],
                                       ["autumnal", solstice.september2, 9]]) {
    const jde = moment(y, earth);  // terrestrial time
    const jst = jde - deltat.deltaT(y + (month - 0.5) / 12) / 86400 + 9 / 24;
    const cal = julian.JDToCalendar(jst);
    const day = Math.floor(cal.day), hours = (cal.day - day) * 24;
    closest = Math.min(closest, hours, 24 - hours);
    const date = `${y}-${pad(month)}-${pad(day)}`;
    ++equinoxes;
    if (!engine.has(date)) {
      sunMismatches.push(`  ${name} equinox ${date} ${hours.toFixed(2)} h Japan time: ` +
                         "not a day off of the engine");
    }
  }
}
console.log(`Sun (VSOP87), ${first}..${last}: ${equinoxes} equinoxes, mismatches ` +
            `${sunMismatches.length}; the closest to midnight ${(closest * 60).toFixed(1)} min away`);
for (const m of sunMismatches) console.log(m);
process.exitCode = lawMismatches + sunMismatches.length === 0 ? 0 : 1;
