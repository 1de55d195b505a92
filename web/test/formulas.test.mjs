// The formulas the page draws against the native programs' own numbers, to
// the printed digits, so that a drawn curve cannot drift from the model.
// BIN_DIR names the folder of the native programs.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import path from 'node:path';
import {hump, surface, surfacePoint, binaryFraction, mapFunction, henonFixedPoint}
  from '../src/formulas.mjs';
import {STORIES} from '../src/stories.mjs';
import {readGaStats} from '../src/gastats.mjs';

const bin = process.env.BIN_DIR;
const skip = !bin && 'BIN_DIR not set';

function native(program, args) {
  const r = spawnSync(path.join(bin, program), args, {encoding: 'utf8', maxBuffer: 1 << 26});
  assert.equal(r.status, 0, `${program} ${args.join(' ')}: ${r.stderr}`);
  return r.stdout;
}

// The statistics blocks as objects of their columns.
function blocks(text) {
  const {names, rows} = readGaStats(text);
  return rows.map((row) => Object.fromEntries(names.map((name, i) => [name, row[i]])));
}

// v as printf's %f writes it: six decimals of the exact value, a tie to the
// even digit (toFixed takes the larger, and binary fractions do tie).
function fixed(v) {
  const [whole, fraction] = Math.abs(v).toFixed(100).split('.');
  let digits = BigInt(whole + fraction.slice(0, 6));
  const rest = fraction.slice(6).replace(/0+$/, '');
  if (rest > '5' || (rest === '5' && digits % 2n === 1n)) digits++;
  const text = digits.toString().padStart(7, '0');
  return `${v < 0 || Object.is(v, -0) ? '-' : ''}${text.slice(0, -6)}.${text.slice(-6)}`;
}

test('the hump and the surface give the best values the programs report', {skip}, () => {
  for (const args of [[], ['-target', '0.8', '-var', '0.05', '-seed', '3'], ['-len', '40', '-var', '0.001']]) {
    const target = args.includes('-target') ? Number(args[args.indexOf('-target') + 1]) : 0.5;
    const variance = args.includes('-var') ? Number(args[args.indexOf('-var') + 1]) : 1;
    for (const b of blocks(native('peakseek', [...args, '-gens', '30']))) {
      const x = binaryFraction(b.best_dna);
      assert.equal(fixed(x), b.best_x);
      assert.equal(fixed(hump(x, target, variance)), b.best, `peakseek ${args} at ${x}`);
    }
  }
  for (const args of [[], ['-size', '40', '-gens', '100'], ['-len', '30', '-seed', '5']]) {
    for (const b of blocks(native('hillscan', args))) {
      const [x, y] = surfacePoint(b.best_dna);
      assert.deepEqual([fixed(x), fixed(y)], [b.best_x, b.best_y]);
      assert.equal(fixed(surface(x, y)), b.best, `hillscan ${args} at ${x}, ${y}`);
    }
  }
});

// Every map's curve passes through every printed pair (x(t), x(t+1)), to
// the printed digits: within half a unit of the sixth decimal, widened by the
// slope for the rounding of x(t). The first steps, iterated from x0, print
// the same digits; further on a chaotic series magnifies a last-bit
// difference between this exp or sin and the C library's.
test('each map passes through the pairs mapseries prints', {skip}, () => {
  const cases = [ // func, r, aux
    ['log', '1', '1'], ['log', '0.87', '1'], ['tent', '0.9', '1'], ['gauss', '0.8', '5'],
    ['gauss', '1', '9'], ['sin', '0.8', '1'], ['sin', '1', '1.3'], ['bogus', '0.95', '1'],
  ];
  for (const [func, r, aux] of cases) {
    const printed = native('mapseries', ['-func', func, '-r', r, '-aux', aux, '-points', '300'])
      .trim().split('\n');
    const f = mapFunction(func, Number(r), Number(aux));
    let x = 0.123456;
    for (let t = 0; t < 15; t++) {
      x = f(x);
      assert.equal(fixed(x), printed[t], `${func} r=${r} aux=${aux} at ${t + 1}`);
    }
    for (let t = 0; t + 1 < printed.length; t++) {
      const [a, b] = [Number(printed[t]), Number(printed[t + 1])];
      const slope = Math.abs(f(a + 5e-7) - f(a - 5e-7)) / 1e-6;
      assert.ok(Math.abs(f(a) - b) <= 5e-7 * (1 + slope) + 1e-12, `${func} r=${r} aux=${aux}: (${a}, ${b})`);
    }
  }
});

test('a controlled orbit sits on the fixed point', {skip}, () => {
  for (const [A, B] of [['1.29', '0.3'], ['1.4', '0.3'], ['1.3', '0.2']]) {
    const rows = native('orbitpin', ['-A', A, '-B', B, '-points', '100', '-on1', '0', '-off', '100', '-on2', '100'])
      .trim().split('\n').map((l) => l.split('\t'));
    assert.equal(Number(rows.at(-1)[2]).toFixed(6), fixed(henonFixedPoint(Number(A), Number(B))), `A=${A} B=${B}`);
  }
});

// The views keep a sample of a long output whatever pieces it comes in, and
// a return-map pair is two printed values in a row.
test('the views read the same from output cut anywhere', {skip}, () => {
  const cases = [ // view, program and options, its stream
    ['phase', ['orbitpin', '-points', '50000'], 'stdout'], ['return', ['mapseries', '-points', '50000'], 'stdout'],
    ['landscape', ['hillscan', '-gens', '3000'], 'stdout'], ['strategies', ['tacticbreed', '-gens', '30', '-hlen', '2'], 'stderr'],
    ['population', ['tacticbreed', '-gens', '3', '-dump'], 'stdout'],
  ];
  const run = {number: () => 0, text: () => ''};
  for (const [name, [program, ...args], stream] of cases) {
    const view = STORIES[name];
    const r = spawnSync(path.join(bin, program), args, {maxBuffer: 1 << 26});
    const bytes = new Uint8Array(r[stream]);
    const read = (cut) => {
      const state = view.start(run);
      for (let i = 0; i < bytes.length; i += cut) view.bytes(state, bytes.subarray(i, i + cut));
      view.end(state);
      return view.snapshot(state);
    };
    const whole = read(bytes.length);
    for (const cut of [1, 7, 4096]) assert.deepEqual(read(cut), whole, `${name} in pieces of ${cut}`);
    if (name !== 'return') continue;
    const printed = r.stdout.toString().trim().split('\n');
    const pairs = new Set(printed.slice(1).map((b, t) => `${Number(printed[t])} ${Number(b)}`));
    assert.ok(whole.pairs[0].length > 2000);
    whole.pairs[0].forEach((a, k) => assert.ok(pairs.has(`${a} ${whole.pairs[1][k]}`), `pair ${k}`));
  }
});
