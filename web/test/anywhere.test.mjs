// The page where a teacher puts it, in headless Chromium: offline after a
// first visit, with a new build taking over at the next visit online; as
// the single file, copied alone and opened from disk; index.html opened
// from disk; on a phone; and printed. BIN_DIR names the folder of the
// native programs; CHROMIUM the browser (default /usr/bin/chromium).
import {test, before, after} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {chromium} from 'playwright-core';
import {serve} from '../server.mjs';
import {writeServiceWorker} from '../pack/offline-copy.mjs';
import {EXPERIMENTS} from '../src/experiments.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));
const dist = path.resolve(process.env.DIST_DIR || path.join(top, 'web/dist'));
const skip = {skip: !bin && 'BIN_DIR not set'};
const SWEEP = 'sweep/run.sh -p tacticpool -v "0 0.05" -s 2 -a "-steps 50"'; // 4 runs

let browser, server;
const scratch = [];
const folder = () => {
  scratch.push(fs.mkdtempSync(path.join(os.tmpdir(), 'page-anywhere-')));
  return scratch.at(-1);
};

before(async () => {
  server = await serve(dist);
  browser = await chromium.launch({executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
                                   args: ['--no-sandbox']});
});

after(async () => {
  await browser?.close();
  server?.close();
  for (const dir of scratch) fs.rmSync(dir, {recursive: true, force: true});
});

function native(line) {
  const env = {...process.env, PATH: `${bin}:${process.env.PATH}`};
  const r = spawnSync('bash', ['-c', line], {cwd: top, env, encoding: 'utf8', maxBuffer: 1 << 26});
  return {stdout: r.stdout, stderr: r.stderr, status: String(r.status)};
}

// The run of `line` once it has ended.
async function result(page, line) {
  await page.waitForFunction((l) => document.getElementById('command').textContent === l &&
                                    document.getElementById('status').textContent !== '', line, {timeout: 60000});
  const text = (id) => page.textContent(`#${id}`);
  return {stdout: await text('stdout'), stderr: await text('stderr'), status: await text('status')};
}

const served = (line) => `http://127.0.0.1:${server.address().port}/index.html#${encodeURIComponent(line)}`;
// The previous run's status is cleared first: a sweep shows its command
// before its run starts.
const go = (page, line) => page.evaluate((l) => {
  document.getElementById('status').textContent = '';
  location.hash = '#' + encodeURIComponent(l);
}, line);

// A sweep ends with status 0 and a line for each of its runs.
async function sweepRan(page) {
  const got = await result(page, SWEEP);
  assert.equal(got.status, '0', got.stderr);
  assert.ok(got.stdout.trim().split('\n').length >= 4, got.stdout);
}

test('offline after a first visit; a new build replaces the copy at the next visit online', skip, async () => {
  const copied = folder();
  fs.cpSync(dist, copied, {recursive: true});
  let copy = await serve(copied);
  const {port} = copy.address();
  const stop = () => new Promise((resolve) => {
    copy.closeAllConnections();
    copy.close(resolve);
  });
  const copies = (page) => page.evaluate(() => caches.keys());
  const context = await browser.newContext();
  const page = await context.newPage();
  const line = 'peakseek -gens 3';
  await page.goto(`http://127.0.0.1:${port}/index.html#${encodeURIComponent(line)}`);
  await result(page, line);
  await page.waitForFunction(() => navigator.serviceWorker.controller);
  const first = await copies(page);
  assert.equal(first.length, 1);

  await stop();
  await page.reload();
  assert.deepEqual(await result(page, line), native(line));
  await go(page, SWEEP);
  await sweepRan(page);
  await page.goto(`http://127.0.0.1:${port}/man/peakseek.1.html`);
  assert.equal(await page.title(), 'PEAKSEEK(1)');

  // A new build: online, its files at once, and its copy once the browser
  // has installed the new worker; offline then, the new build.
  fs.appendFileSync(path.join(copied, 'style.css'), '/* the next build */\n');
  const build = writeServiceWorker(copied);
  copy = await serve(copied, port);
  await page.goto(`http://127.0.0.1:${port}/index.html#${encodeURIComponent(line)}`);
  const style = () => page.evaluate(async () => (await fetch('style.css')).text());
  assert.match(await style(), /the next build/);
  // The browser installs the new worker, which then drops the old copy.
  await page.evaluate(async (b) => {
    while ((await caches.keys()).join() !== `modelsuite-${b}`) await new Promise((go) => setTimeout(go, 50));
  }, build);
  await stop();
  await page.reload();
  assert.equal((await result(page, line)).status, '0');
  assert.match(await style(), /the next build/);
  await context.close();
});

test('the single file, alone in a folder and opened from disk, runs every model and a sweep', skip, async () => {
  const alone = folder();
  fs.copyFileSync(path.join(dist, 'modelsuite.html'), path.join(alone, 'modelsuite.html'));
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(`file://${alone}/modelsuite.html`);
  for (const line of ['peakseek -gens 5 -seed 3', 'hillscan -gens 5', 'jobmatch -gens 5', 'tacticbreed -gens 3 -dump',
                      'tacticpool -steps 30 -noise 0.01', 'mapseries -points 40', 'orbitpin -points 120',
                      'for r in $(seq 0.7 0.1 1); do mapseries -skip 50 -points 8 -r $r; done']) {
    await go(page, line);
    assert.deepEqual(await result(page, line), native(line), line);
  }
  await go(page, SWEEP);
  await sweepRan(page);
  // Its manual pages come with it.
  await page.click('#controls summary');
  await Promise.all([page.waitForURL(/^blob:/), page.click('#about-man')]);
  assert.equal(await page.title(), 'TACTICPOOL(1)');
  assert.deepEqual(errors, []);
  await page.close();
});

test('index.html opened from disk says why it cannot run and points to the single file', async () => {
  const page = await browser.newPage();
  await page.goto(`file://${dist}/index.html`);
  await page.waitForSelector('#alert', {state: 'visible'});
  assert.match(await page.textContent('#alert'), /cannot run opened from a file.*modelsuite\.html/);
  assert.equal(await page.getAttribute('#alert a', 'href'), 'modelsuite.html');
  await page.close();
});

// Every target in view at least 24 px each way.
const smallTargets = (page) => page.evaluate(() => [...document.querySelectorAll('a, button, summary, select, input')]
  .filter((e) => e.checkVisibility())
  .map((e) => [e.id || e.textContent.trim().slice(0, 30), e.getBoundingClientRect()])
  .filter(([, r]) => r.width < 24 || r.height < 24)
  .map(([name, r]) => `${name}: ${Math.round(r.width)} x ${Math.round(r.height)}`));

test('on a phone the model and Run/Stop stay over the picture, the options right under it; targets of 24 px', skip, async () => {
  const page = await browser.newPage({viewport: {width: 390, height: 800}});
  const inView = (id) => page.evaluate((i) => {
    const r = document.getElementById(i).getBoundingClientRect();
    return document.getElementById(i).checkVisibility() && r.top >= 0 && r.bottom <= innerHeight;
  }, id);
  for (const line of ['orbitpin -points 200', 'tacticbreed -gens 5 -dump', 'tacticpool -steps 100000000']) {
    await page.goto(served(line));
    await page.waitForSelector('#plot figure:last-child canvas');
    await page.evaluate(() => document.querySelector('#plot figure:last-child').scrollIntoView({block: 'end'}));
    assert.ok(await inView('program') && await inView('run'), `${line}: the bar is out of view`);
    const gap = await page.evaluate(() => document.getElementById('options').getBoundingClientRect().top -
                                          document.getElementById('plot').getBoundingClientRect().bottom);
    assert.ok(gap < 120, `${line}: ${gap} px between the picture and the options`);
    if (line.includes('100000000')) {
      assert.ok(await inView('stop'), 'Stop is out of view');
      await page.click('#stop');
    }
    await page.waitForFunction(() => document.getElementById('status').textContent);
    assert.deepEqual(await smallTargets(page), [], line);
  }
  await page.setViewportSize({width: 1280, height: 800});
  assert.deepEqual(await smallTargets(page), [], 'at 1280 px');
  await page.close();
});

// The pages a print of the page takes on a paper size.
async function printedPages(page, format) {
  const pdf = (await page.pdf({format})).toString('latin1');
  return pdf.match(/\/Type\s*\/Page\b(?!s)/g).length;
}

test('printed, a run takes at most two pages of A4 or Letter, without the form or the output; ' +
     'an experiment with its finding', skip, async () => {
  const WINDOW = EXPERIMENTS.find((e) => e.id === 'map-window');
  for (const width of [1280, 390]) {
    const page = await browser.newPage({viewport: {width, height: 800}});
    for (const line of ['orbitpin -points 200 -on1 20 -off 80 -on2 120 -skip 50', 'tacticbreed -gens 10 -size 20 -dump',
                        WINDOW.line, SWEEP]) {
      await page.goto(served(line));
      await result(page, line);
      for (const format of ['A4', 'Letter']) {
        const pages = await printedPages(page, format);
        assert.ok(pages <= 2, `${line} at ${width} px: ${pages} pages of ${format}`);
      }
      await page.emulateMedia({media: 'print'});
      const shown = await page.evaluate(() => ({
        ...Object.fromEntries(['controls', 'stdout', 'plot', 'command']
          .map((id) => [id, document.getElementById(id).checkVisibility()])),
        findings: [...document.querySelectorAll('#experiments li')].filter((e) => e.checkVisibility())
          .map((e) => e.dataset.experiment),
      }));
      assert.deepEqual(shown, {controls: false, stdout: false, plot: true, command: true,
                               findings: line === WINDOW.line ? [WINDOW.id] : []}, line);
      await page.emulateMedia({media: null});
    }
    await page.close();
  }
});
