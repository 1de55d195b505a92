// The page in headless Chromium against the native programs: a command line
// in the URL fragment runs and draws; a bad option shows the message and the
// help screen; a changed form value updates the URL and reruns; the console
// stays free of errors. BIN_DIR names the folder of the native programs;
// CHROMIUM the browser (default /usr/bin/chromium); SCREENSHOT, if set, a
// file for a picture of the page; PICTURES, if set, a folder for pictures
// of two views and of the experiments.
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';
import {serve} from '../server.mjs';
import {EXPERIMENTS} from '../src/experiments.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));
const RUNS = [
  'peakseek -gens 20 -seed 7',
  'hillscan -gens 30 -size 20',
  'jobmatch -gens 40 -size 20',
  'tacticbreed -gens 10 -size 20 -dump',
  'tacticpool -steps 200 -noise 0.01',
  'mapseries -points 50',
  'orbitpin -points 200 -on1 20 -off 80 -on2 120 -skip 50',
  'for r in $(seq 0.7 0.01 1); do mapseries -skip 100 -points 20 -r $r; done',
];

let server, browser, page, base;
const errors = [];

before(async () => {
  server = await serve(path.join(top, 'web/dist'));
  base = `http://127.0.0.1:${server.address().port}/index.html`;
  browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                   args: ['--no-sandbox']});
  page = await browser.newPage({viewport: {width: 1200, height: 800}});
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
});

after(async () => {
  await browser?.close();
  server?.close();
});

// The command line as a shell runs it with the native programs.
function native(line) {
  const env = {...process.env, PATH: `${bin}:${process.env.PATH}`};
  const r = spawnSync('bash', ['-c', line], {cwd: top, env, encoding: 'utf8', maxBuffer: 1 << 26});
  return {stdout: r.stdout, stderr: r.stderr, status: String(r.status)};
}

// Waits for the run of `line` to end; the command is shown as the run
// starts, the status as it ends.
async function result(line) {
  await page.waitForFunction((l) => document.getElementById('command').textContent === l &&
                                    document.getElementById('status').textContent !== '', line);
  const text = (id) => page.textContent(`#${id}`);
  return {stdout: await text('stdout'), stderr: await text('stderr'), status: await text('status')};
}

// Pixels of the plot in a colour of a series, not the greys of the axes.
function colouredPixels() {
  return page.evaluate(() => {
    let n = 0;
    for (const canvas of document.querySelectorAll('#plot canvas')) {
      const {data} = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      for (let i = 0; i < data.length; i += 4) {
        const [r, g, b, a] = data.subarray(i, i + 4);
        if (a > 0 && Math.max(r, g, b) - Math.min(r, g, b) > 80) n++;
      }
    }
    return n;
  });
}

const open = (line) => page.goto(`${base}#${encodeURIComponent(line)}`);

test('a command line in the fragment runs, prints as native and draws', {skip: !bin && 'BIN_DIR not set'}, async () => {
  for (const line of RUNS) {
    await open(line);
    assert.deepEqual(await result(line), native(line), line);
    assert.ok(await colouredPixels() > 50, `${line}: nothing drawn`);
  }
});

// Each view in its own element, drawn: the pixels of its canvases in a
// colour of a series, not the greys of the axes.
function viewPixels() {
  return page.evaluate(() => Object.fromEntries([...document.querySelectorAll('#plot [data-view]')].map((view) => {
    let n = 0;
    for (const canvas of view.querySelectorAll('canvas')) {
      const {data} = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
      for (let i = 0; i < data.length; i += 4) {
        const [r, g, b, a] = data.subarray(i, i + 4);
        if (a > 0 && Math.max(r, g, b) - Math.min(r, g, b) > 80) n++;
      }
    }
    return [view.dataset.view, n];
  })));
}

test('every view draws its picture', {skip: !bin && 'BIN_DIR not set'}, async () => {
  const seen = new Set();
  for (const line of [...RUNS, 'peakseek -gens 20 -target 0.8 -var 0.01', 'sweep/run.sh -p hillscan -v "0.01 0.1" -s 2 -a "-gens 5"']) {
    await open(line);
    await result(line);
    for (const [view, pixels] of Object.entries(await viewPixels())) {
      assert.ok(pixels > 50, `${line}: view ${view} drew ${pixels} coloured pixels`);
      seen.add(view);
    }
  }
  for (const view of ['phase', 'return', 'landscape', 'strategies', 'population', 'sweep']) assert.ok(seen.has(view), view);
});

test('every experiment link runs to status 0', {skip: !bin && 'BIN_DIR not set'}, async () => {
  await open('peakseek -gens 1');
  await result('peakseek -gens 1');
  for (const {id, line} of EXPERIMENTS) {
    await page.click(`[data-experiment="${id}"] a`);
    assert.equal((await result(line)).status, '0', id);
  }
});

// sweep/run.sh's table for a sweep command line, and the time it took.
function nativeSweep(line) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'page-sweep-'));
  try {
    const start = Date.now();
    const r = spawnSync('bash', ['-c', `${line} -b "${bin}" -d "${dir}"`], {cwd: top, encoding: 'utf8'});
    assert.equal(r.status, 0, r.stderr);
    return {table: fs.readFileSync(path.join(dir, 'table.txt'), 'utf8'), ms: Date.now() - start};
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
}

test('a sweep prints the table sweep/run.sh writes', {skip: !bin && 'BIN_DIR not set'}, async (t) => {
  for (const line of ['sweep/run.sh -p tacticbreed -v "0 0.05" -s 3 -a "-gens 10 -size 20"',
                      'sweep/run.sh -p tacticpool -o -rounds -v "2 10" -s 2 -a "-steps 300 -noise 0.05"',
                      'sweep/run.sh']) {
    const start = Date.now();
    await open(line);
    const got = await result(line);
    const ms = Date.now() - start;
    const want = nativeSweep(line);
    assert.equal(got.stdout, want.table, line);
    assert.equal(got.status, '0', line);
    t.diagnostic(`${line}: page ${ms} ms, sweep/run.sh ${want.ms} ms`);
  }
});

test('a bad option shows the message and the help screen', {skip: !bin && 'BIN_DIR not set'}, async () => {
  const line = 'hillscan -size 20 -bogus';
  await open(line);
  const got = await result(line);
  assert.deepEqual(got, native(line));
  assert.match(got.stderr, /unknown or incorrectly used option "-bogus"[^]*Usage: hillscan/);
  assert.ok(await page.isVisible('#stderr'));
});

test('a changed value updates the URL and reruns', {skip: !bin && 'BIN_DIR not set'}, async () => {
  await open('peakseek -gens 3');
  await result('peakseek -gens 3');
  await page.fill('#opt-seed', '7');
  await page.press('#opt-seed', 'Enter');
  const line = 'peakseek -gens 3 -seed 7';
  assert.deepEqual(await result(line), native(line));
  assert.equal(await page.evaluate(() => location.hash), `#${encodeURIComponent(line)}`);
});

test('Stop ends a long run, and the next run goes on', {skip: !bin && 'BIN_DIR not set'}, async () => {
  await open('tacticbreed -gens 1000000');
  await page.waitForSelector('#stop', {state: 'visible'});
  await page.click('#stop');
  assert.equal((await result('tacticbreed -gens 1000000')).status, 'stopped');
  await open('tacticbreed -gens 3');
  assert.deepEqual(await result('tacticbreed -gens 3'), native('tacticbreed -gens 3'));
});

test('a 100,000-step tacticpool run ends and draws', {skip: !bin && 'BIN_DIR not set'}, async (t) => {
  await open('tacticpool -steps 10');
  await result('tacticpool -steps 10');
  const start = Date.now();
  await page.evaluate(() => { location.hash = '#tacticpool'; });
  await result('tacticpool');
  t.diagnostic(`tacticpool -steps 100000: ${Date.now() - start} ms to the status`);
  assert.ok(await colouredPixels() > 50);
});

test('a picture of the page', {skip: !process.env.SCREENSHOT && 'SCREENSHOT not set'}, async () => {
  const line = 'for r in $(seq 0.7 0.001 1); do mapseries -skip 300 -points 80 -r $r; done';
  await page.setViewportSize({width: 1100, height: 720});
  await open(line);
  await result(line);
  await page.screenshot({path: process.env.SCREENSHOT});
});

test('pictures of two views and the experiments', {skip: !process.env.PICTURES && 'PICTURES not set'}, async () => {
  await page.setViewportSize({width: 1100, height: 720});
  for (const [line, view, name] of [['orbitpin -gauss 0.002 -points 400', 'phase', 'web-phase.png'],
                                    ['hillscan -size 20 -gens 100 -seed 3', 'landscape', 'web-landscape.png']]) {
    await open(line);
    await result(line);
    await page.locator(`[data-view=${view}]`).screenshot({path: path.join(process.env.PICTURES, name)});
  }
  await page.locator('#experiments').screenshot({path: path.join(process.env.PICTURES, 'web-experiments.png')});
});

test('the console shows no errors', () => {
  assert.deepEqual(errors, []);
});
