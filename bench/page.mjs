// Times the page in headless Chromium against the native programs: the
// first plot of a bare load, and runs whose output is large. Prints one
// markdown table. Used by bench/web.sh.
//   node bench/page.mjs BIN_DIR   (RUNS: timed runs each, default 3;
//                                  CHROMIUM: the browser)
import {spawnSync} from 'node:child_process';
import {createRequire} from 'node:module';
import {fileURLToPath} from 'node:url';

const top = fileURLToPath(new URL('..', import.meta.url));
const require = createRequire(`${top}web/package.json`);
const {chromium} = require('playwright-core');
const {serve} = await import(`${top}web/server.mjs`);
const bin = process.argv[2];
const RUNS = Number(process.env.RUNS || 3);
const LARGE = ['tacticpool -steps 2000000', 'mapseries -points 20000000'];

const median = (xs) => xs.sort((a, b) => a - b)[xs.length >> 1];
const secs = (ms) => (ms / 1000).toFixed(2);

function nativeMs(line) {
  const [program, ...args] = line.split(' ');
  const times = [];
  for (let i = 0; i < RUNS; i++) {
    const start = performance.now();
    spawnSync(`${bin}/${program}`, args, {stdio: ['ignore', 'ignore', 'ignore']});
    times.push(performance.now() - start);
  }
  return median(times);
}

const server = await serve(`${top}web/dist`);
const base = `http://127.0.0.1:${server.address().port}/index.html`;
const browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                       args: ['--no-sandbox']});
const ended = (page, line) => page.waitForFunction((l) => document.getElementById('command').textContent === l &&
  document.getElementById('status').textContent !== '', line, {timeout: 600000});

console.log('| workload | native (s) | page (s) | page/native |');
console.log('|---|---:|---:|---:|');
const loads = [];
for (let i = 0; i < RUNS; i++) {
  const page = await browser.newPage();
  const start = performance.now();
  await page.goto(base);
  await page.waitForFunction(() => /\d/.test(document.querySelector('#plot figcaption')?.textContent ?? ''));
  loads.push(performance.now() - start);
  await page.close();
}
console.log(`| first plot of a bare load | - | ${secs(median(loads))} | - |`);
const page = await browser.newPage();
await page.goto(`${base}#tacticpool%20-steps%2010`);
await ended(page, 'tacticpool -steps 10');
for (const line of LARGE) {
  const times = [];
  for (let i = 0; i < RUNS; i++) {
    await page.evaluate(() => { location.hash = '#peakseek%20-gens%201'; });
    await ended(page, 'peakseek -gens 1');
    const start = performance.now();
    await page.evaluate((l) => { location.hash = '#' + encodeURIComponent(l); }, line);
    await ended(page, line);
    times.push(performance.now() - start);
  }
  const native = nativeMs(line), inPage = median(times);
  console.log(`| ${line} | ${secs(native)} | ${secs(inPage)} | ${(inPage / native).toFixed(1)} |`);
}
await browser.close();
server.close();
