// The WebAssembly programs against the native ones, byte for byte, on option
// sets generated from each program's own option table (malformed ones
// included), and their help screens read into option tables. BIN_DIR names
// the folder of the native programs, DIST_DIR the built page (default
// web/dist).
//
// Two differences are known and allowed: the sine map (the C library's sin
// differs in the last bit, and the chaotic series then diverges: there only
// the number of lines is compared) and the byte counts in refused-allocation
// messages (pointers take 4 bytes in WebAssembly, 8 natively).
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';
import {parseHelp} from '../src/help.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));
const dist = process.env.DIST_DIR || path.join(top, 'web/dist');
const {run, PROGRAMS} = await import(pathToFileURL(path.join(dist, 'suite.mjs')).href);

// Task files handed to jobmatch -specs, good and bad.
const files = {
  'tiny.dat': '3\n1 2 3\n4 5 6\n7 8 9\n',
  'short.dat': '2\n1 2\n3\n',
  'words.dat': 'two\n1 2\n3 4\n',
  'empty.dat': '',
};
const pools = {
  number: ['0', '1', '2', '3', '7', '-1', '-3', '0.5', '0.01', '0.9', 'nan', 'abc', '1e2', ''],
  '-specs': [...Object.keys(files), 'data/hop1.dat', 'missing.dat'],
  '-func': ['log', 'tent', 'gauss', 'sin', 'LOG', ''],
};
// Refused parameters and allocations that the random sets would rarely hit.
const extra = {
  peakseek: [['-len', '1'], ['-size', '2147483647'], ['-size', '1000000000']],
  hillscan: [['-len', '0'], ['-size', '0']],
  jobmatch: [['-size', '-5'], ['-specs', 'short.dat']],
  tacticbreed: [['-hlen', '16'], ['-bouts', '0'], ['-rounds', '0'], ['-size', '300000000']],
  tacticpool: [['-steps', '3', '-Iallc', '-0.2']],
  mapseries: [['-func', 'sin', '-points', '200']],
  orbitpin: [['-on1', '-1'], ['-off', '250'], ['-on2', '400']],
};

function native(program, args, dir) {
  const r = spawnSync(path.join(bin, program), args, {argv0: program, cwd: dir, encoding: 'utf8',
                                                        maxBuffer: 1 << 28});
  return {stdout: r.stdout, stderr: r.stderr, status: r.status};
}

// n option sets from the table, the same ones every time: every eleventh
// ends with an unknown option, the one after it with an option lacking its
// value, and one asks for the help screen.
function optionSets(options, seed, n) {
  let s = seed;
  const next = (k) => { s = (s * 1103515245 + 12345) % 2147483648; return (s >> 8) % k; };
  const sets = [['-help']];
  for (let i = 1; i < n; i++) {
    const args = [];
    for (let k = next(5); k > 0; k--) {
      const o = options[next(options.length)];
      args.push(o.name);
      if (o.kind === 'switch') continue;
      const pool = pools[o.name] ?? pools.number;
      args.push(pool[next(pool.length)]);
    }
    if (i % 11 === 0) args.push('-nosuch');
    if (i % 11 === 1) args.push(options[next(options.length)].name);
    sets.push(args);
  }
  return sets;
}

function lastValue(args, name) {
  const i = args.lastIndexOf(name);
  return i >= 0 ? args[i + 1] : undefined;
}

function comparable(result, args) {
  const c = {...result, stderr: result.stderr.replace(/malloc failed to get -?\d+ bytes/, 'malloc failed to get N bytes')};
  if (lastValue(args, '-func') === 'sin') c.stdout = c.stdout.split('\n').length;
  return c;
}

// Where two results first differ, in a line short enough to read.
function difference(got, want) {
  for (const key of ['status', 'stdout', 'stderr']) {
    if (got[key] === want[key]) continue;
    const a = String(got[key]), b = String(want[key]);
    let i = 0;
    while (a[i] === b[i]) i++;
    return `${key} differs at ${i}: ${JSON.stringify(a.slice(i, i + 60))} != ${JSON.stringify(b.slice(i, i + 60))}`;
  }
  return '';
}

test('every program prints what the native one prints', {skip: !bin && 'BIN_DIR not set'}, async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'suite-test-'));
  try {
    fs.mkdirSync(path.join(dir, 'data'));
    fs.copyFileSync(path.join(top, 'data/hop1.dat'), path.join(dir, 'data/hop1.dat'));
    for (const [name, text] of Object.entries(files)) fs.writeFileSync(path.join(dir, name), text);
    for (const [seed, program] of PROGRAMS.entries()) {
      const table = parseHelp(native(program, ['-help'], dir).stderr).options;
      for (const args of [...optionSets(table, seed + 1, 55), ...extra[program]]) {
        const got = await run(program, args, {files});
        const want = comparable(native(program, args, dir), args);
        assert.equal(difference(comparable(got, args), want), '', `${program} ${args.join(' ')}`);
      }
    }
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});

test('help screens read into option tables', async () => {
  const cases = [ // program, entries, [option, default, kind, help]
    ['tacticbreed', 14, ['-dump', 'OFF', 'switch', 'Print entire population at end?']],
    ['jobmatch', 7, ['-specs', 'data/hop1.dat', 'string', 'Problem specification file.']],
    ['mapseries', 6, ['-func', 'log', 'string',
      "Map function to use (one of 'log', 'tent', 'sin', or 'gauss')."]],
    ['tacticpool', 14, ['-Ialld', '0.2', 'number', 'Initial population of All-D.']],
    ['orbitpin', 10, ['-A', '1.29', 'number', 'Value of the A parameter.']],
  ];
  for (const [program, count, [name, value, kind, help]] of cases) {
    const screen = parseHelp((await run(program, ['-help'])).stderr);
    assert.equal(screen.program, program);
    assert.equal(screen.options.length, count, program);
    assert.deepEqual(screen.options.find((o) => o.name === name), {name, value, kind, help});
  }
  const {summary} = parseHelp((await run('tacticpool', ['-help'])).stderr);
  assert.equal(summary, "The ecological iterated Prisoner's Dilemma is simulated over time according to the specified parameters.");
});

// The reader worker's WebAssembly line scanner against the JavaScript
// reader it stands in for: the same rows, numbers and views' snapshots,
// whatever the lines and wherever the pieces are cut.
test('the line scanner reads what the JavaScript reader reads', async () => {
  const load = (name) => import(pathToFileURL(path.join(dist, name)).href);
  const [{loadScanner, useScanner}, {readColumns, newTable, addText, finishText, passLines, passed}, {CURVES}, {STORIES}, {describeRun}] =
    await Promise.all(['linescan.mjs', 'columns.mjs', 'curves.mjs', 'stories.mjs', 'views.mjs'].map(load));
  const scanner = await loadScanner();
  assert.ok(scanner, 'linescan.wasm loads');
  let seed = 7;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  const digits = (n) => Array.from({length: n}, () => Math.floor(random() * 10)).join('');
  const odd = ['nan', '-nan', 'inf', '-inf', '-0', '-0.000000', '+5', '.5', '5.', '.', '-', '-.', '1e5',
               '123456789012345', '123456789.012345', '1234567890123456', '0.1234567890123456',
               '9007199254740993', '9999999999999.999', '179769313486231570000000000000000000000', 'x', '0x10', '1,5', '12a'];
  const lines = [];
  for (let i = 0; i < 4000; i++) {
    const count = 1 + Math.floor(random() * 4);
    const words = Array.from({length: count}, () => (random() < 0.1 ? odd[Math.floor(random() * odd.length)]
      : `${random() < 0.3 ? '-' : ''}${digits(Math.floor(random() * 9))}.${digits(Math.floor(random() * 9))}`));
    const gap = ['\t', ' ', '  ', '\t \r'][Math.floor(random() * 4)];
    lines.push(random() < 0.02 ? ['', '---', 'a = 1', '(t,x)=\t1\t2', 'word', ' \r'][Math.floor(random() * 6)]
      : words.join(gap) + (random() < 0.1 ? gap : ''));
  }
  const plain = Array.from({length: 20000}, () => `${digits(1 + Math.floor(random() * 7))}.${digits(Math.floor(random() * 9))}`);
  // A line longer than the scanner's window, in pieces longer than it.
  const small = lines.join('\n') + '\n';
  const long = small + '7'.repeat(1.5 * 2 ** 20) + '\n' + small + '0.5\n1.25';
  const texts = [[small, [1, 13, 4096]], [long, [65536, 3 * 2 ** 20]]];
  const read = () => texts.flatMap(([text, cuts]) => [readColumns(text), ...cuts.map((cut) => {
    const table = newTable();
    for (let i = 0; i < text.length; i += cut) addText(table, text.slice(i, i + cut));
    return finishText(table);
  })].map(({names, columns, rows}) => ({names, columns, rows})));
  // mapseries' two views, fed the same pieces as the reader worker feeds them.
  // Fewer points expected than come widen the series' range as it goes.
  const snapshots = () => ['0.5\n-0.000000\n0.25\nnan\n12.5\n'.repeat(1000),
                            ('0.5\n' + '\n'.repeat(37)).repeat(20000), small.repeat(10), long,
                            plain.join('\n')].flatMap((t) => ['100000', '3000'].map((points) => {
    const run = describeRun({program: 'mapseries', args: []}, {values: {'-points': points}});
    const views = [CURVES.series, STORIES.return].map((v) => [v, v.start(run)]);
    const bytes = new TextEncoder().encode(t);
    for (let i = 0; i < bytes.length; i += 32771) {
      const piece = bytes.subarray(i, i + 32771);
      for (const [v, state] of views) v.bytes(state, piece, 0, 'stdout');
    }
    return views.map(([v, state]) => (v.end(state, 0, 0, '', {}), v.snapshot(state)));
  }));
  // Lines passed over, from anywhere.
  const blank = new TextEncoder().encode(long.replace(/[^\n]{1,40}\n/g, (line) => (random() < 0.5 ? '\n' : line)));
  const passes = () => Array.from({length: 500}, (_, i) => {
    const from = Math.floor(random() * blank.length), count = i % 50 ? Math.floor(random() * 5000) : 1e9;
    return [passLines(blank, from, count), passed.lines];
  });
  const start = seed;
  useScanner(null);
  const inJavaScript = [read(), snapshots(), passes()];
  seed = start;
  useScanner(scanner);
  assert.deepStrictEqual([read(), snapshots(), passes()], inJavaScript);
  // Numbers of up to 15 digits as Number() reads them.
  assert.deepStrictEqual(readColumns(plain.join('\n')).columns[0], plain.map(Number));
});
