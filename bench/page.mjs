// Times the page in headless Chromium against the native programs: the
// first plot of a bare load, and runs whose output is large, each also in
// the page built in BASELINE (if set), taking turns so that both see the
// same load, and with the native run. Prints one markdown table. Used by bench/web.sh.
//   node bench/page.mjs BIN_DIR   (RUNS: timed runs each, default 3;
//                                  CHROMIUM: the browser; BASELINE: a
//                                  folder like web/dist; LARGE: the
//                                  command lines to time, comma-separated)
import {spawnSync} from 'node:child_process';
import {createRequire} from 'node:module';
import {fileURLToPath} from 'node:url';

const top = fileURLToPath(new URL('..', import.meta.url));
const require = createRequire(`${top}web/package.json`);
const {chromium} = require('playwright-core');
const {serve} = await import(`${top}web/server.mjs`);
const bin = process.argv[2];
const RUNS = Number(process.env.RUNS || 3);
const LARGE = process.env.LARGE ? process.env.LARGE.split(',')
  : ['tacticpool -steps 2000000', 'mapseries -points 20000000'];

const median = (xs) => xs.sort((a, b) => a - b)[xs.length >> 1];
const secs = (ms) => (ms / 1000).toFixed(2);

function nativeMs(line) {
  const [program, ...args] = line.split(' ');
  const start = performance.now();
  spawnSync(`${bin}/${program}`, args, {stdio: ['ignore', 'ignore', 'ignore']});
  return performance.now() - start;
}

const servers = [await serve(`${top}web/dist`)];
if (process.env.BASELINE) servers.push(await serve(process.env.BASELINE));
const [base, baseline] = servers.map((s) => `http://127.0.0.1:${s.address().port}/index.html`);
const browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                       args: ['--no-sandbox']});
const ended = (page, line) => page.waitForFunction((l) => document.getElementById('command').textContent === l &&
  document.getElementById('status').textContent !== '', line, {timeout: 600000});

const row = (cells) => console.log(`| ${cells.join(' | ')} |`);
row(['workload', 'native (s)', 'page (s)', 'page/native', ...(baseline ? ['baseline page (s)', 'baseline/native'] : [])]);
row(['---', ...Array(baseline ? 5 : 3).fill('---:')]);
const loads = [];
for (let i = 0; i < RUNS; i++) {
  const page = await browser.newPage();
  const start = performance.now();
  await page.goto(base);
  await page.waitForFunction(() => /\d/.test(document.querySelector('#plot figcaption')?.textContent ?? ''));
  loads.push(performance.now() - start);
  await page.close();
}
row(['first plot of a bare load', '-', secs(median(loads)), '-', ...(baseline ? ['-', '-'] : [])]);
const pages = [];
for (const url of [base, baseline].filter(Boolean)) {
  const page = await browser.newPage();
  await page.goto(`${url}#tacticpool%20-steps%2010`);
  await ended(page, 'tacticpool -steps 10');
  pages.push(page);
}
// A short run before and after the timed one: after, so that the work the
// page goes on with once a run has ended (its table and run record, made
// from the whole output) is dropped before the other page's turn.
async function timeRun(page, line) {
  const short = async () => {
    await page.evaluate(() => { location.hash = '#peakseek%20-gens%201'; });
    await ended(page, 'peakseek -gens 1');
  };
  await short();
  const start = performance.now();
  await page.evaluate((l) => { location.hash = '#' + encodeURIComponent(l); }, line);
  await ended(page, line);
  const time = performance.now() - start;
  await short();
  return time;
}
for (const line of LARGE) {
  const times = [[], ...pages.map(() => [])];
  for (let i = 0; i < RUNS; i++) {
    times[0].push(nativeMs(line));
    for (const [k, page] of pages.entries()) times[k + 1].push(await timeRun(page, line));
  }
  const [native, inPage, inBaseline] = times.map(median);
  row([line, secs(native), secs(inPage), (inPage / native).toFixed(1),
       ...(baseline ? [secs(inBaseline), (inBaseline / native).toFixed(1)] : [])]);
}
await browser.close();
for (const s of servers) s.close();
