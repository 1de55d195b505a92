// The pure readers of the page, which need no WebAssembly build: command
// lines into words, bifurcation loops and sweeps, output into columns
// (whole or in pieces that split lines anywhere); its throttles, on a clock
// the test moves; and its pool of workers, with stand-ins for them.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {splitWords, joinWords, seqWords, readFragment} from '../src/command.mjs';
import {parseSweep} from '../src/sweep.mjs';
import {splitFragment, joinFragment, differences, versionNote} from '../src/compare.mjs';
import {VERSION} from '../src/version.mjs';
import {newSha256, addBytes, hexDigest} from '../src/sha256.mjs';
import {createHash, randomBytes} from 'node:crypto';
import {newThrottle, newSettler} from '../src/timing.mjs';
import {newPool} from '../src/pool.mjs';
import {MSG} from '../src/messages.mjs';
import {readAs, noticesFor, WHOLE_NUMBERS, PROBABILITIES} from '../src/asread.mjs';
import {readFileSync, readdirSync} from 'node:fs';
import {readColumns, newTable, addText, finishText} from '../src/columns.mjs';
import {newEnvelope, addRow, envelopeData, newScatter, addPoint, scatterData} from '../src/reduce.mjs';
import {newBatcher, take, flush, eachPart} from '../src/handover.mjs';
import {CURVES} from '../src/curves.mjs';

test('command lines split into words and back', () => {
  const words = ['mapseries', '-func', 'it\'s sin', '', '-x0', '0.5'];
  assert.deepEqual(splitWords(joinWords(words)), words);
  assert.deepEqual(splitWords(' a  "b c"\\ d \'\' '), ['a', 'b c d', '']);
  for (const open of ['a \'b', 'a "b', 'a\\']) assert.throws(() => splitWords(open), /unbalanced|backslash/);
});

test('a bifurcation loop gives the values seq gives, or a refusal', () => {
  const cases = [ // from, step, to, words or the refusal
    ['0.7', '0.1', '1', ['0.7', '0.8', '0.9', '1.0']],
    ['1', '-0.25', '0', ['1.00', '0.75', '0.50', '0.25', '0.00']],
    ['-1', '1', '1', ['-1', '0', '1']],
    ['0.5', '0.2', '0.5', ['0.5']],
    ['0', '0', '1', /must not be 0/],
    ['1', '0.1', '0', /reversed/],
    ['0', '-1', '3', /reversed/],
    ['0', '0.00001', '1', /100001 values.*at most 20000/],
    ['0,7', '0.1', '1', /decimal/],
    ['0.7', '1e-3', '1', /decimal/],
  ];
  for (const [from, step, to, want] of cases) {
    const got = seqWords({from, step, to}, 20000);
    if (Array.isArray(want)) assert.deepEqual(got, {words: want}, `${from} ${step} ${to}`);
    else assert.match(got.error, want, `${from} ${step} ${to}`);
  }
});

test('a long series keeps the extremes of each pixel column, a short one every row', () => {
  const short = newEnvelope(1, {from: 0, to: 9});
  for (let i = 0; i < 10; i++) addRow(short, i, [i * i]);
  assert.deepEqual(envelopeData(short).ys[0], Array.from({length: 10}, (_, i) => i * i));
  // Past its range the envelope widens; the extremes survive the merges.
  const long = newEnvelope(1, {from: 0, to: 1000});
  let low = Infinity, high = -Infinity;
  for (let i = 0; i < 100000; i++) {
    const y = Math.sin(i * 0.37) * (1 + i / 50000);
    [low, high] = [Math.min(low, y), Math.max(high, y)];
    addRow(long, i, [y]);
  }
  const {x, ys, last} = envelopeData(long);
  assert.ok(x.length <= 2048);
  assert.deepEqual([x[0], x.at(-1), last.x], [0, 99999, 99999]);
  assert.deepEqual([Math.min(...ys[0]), Math.max(...ys[0])], [low, high]);
  // On a log-like axis the first steps keep a column each.
  const steps = newEnvelope(1, {from: 0, to: 99999, log: true});
  for (let i = 0; i < 100000; i++) addRow(steps, i, [i % 7]);
  assert.deepEqual(envelopeData(steps).x.slice(0, 4), [0, 1, 2, 3]);
});

test('an envelope puts each row in the bucket its x falls in, x in any order', () => {
  let seed = 7;
  const random = () => (seed = (seed * 69069 + 1) % 4294967296) / 4294967296;
  for (const log of [false, true]) {
    const e = newEnvelope(1, {from: 0, to: 100, log});
    const place = log ? Math.asinh : (x) => x;
    const buckets = new Map(); // the plain formula's bucket -> its values
    for (let i = 0; i < 20000; i++) {
      // Runs of rising x, and steps back, as a sweep's x or a block's time may take.
      const x = random() < 0.9 ? (i % 97) + random() : random() * 100;
      const y = random();
      addRow(e, x, [y]);
      const b = Math.floor((place(x) - place(0)) / e.span * 1024);
      buckets.set(b, [...(buckets.get(b) ?? []), y]);
    }
    const extremes = (ys) => (ys.length > 1 ? [Math.min(...ys), Math.max(...ys)] : ys);
    const sorted = (ys) => ys.sort((a, b) => a - b);
    assert.deepEqual(sorted(envelopeData(e).ys[0]), sorted([...buckets.values()].flatMap(extremes)),
                     log ? 'log' : 'linear');
  }
});

test('a curve shows what is not a number as a gap, not as 0', () => {
  const run = {number: () => 0, text: () => '', expected: 3};
  const cases = [ // record, output, its series
    ['series', '0.5\n-nan\n0.25\n', [[0.5, null, 0.25]]],
    ['shares', '0.1\t0.2\n0.3\tinf\n', [[0.1, 0.3], [0.2, null], [null, null], [null, null], [null, null]]],
  ];
  for (const [name, text, ys] of cases) {
    const view = CURVES[name];
    const state = view.start(run);
    view.bytes(state, new TextEncoder().encode(text));
    view.end(state);
    assert.deepEqual(view.snapshot(state).ys, ys, name);
  }
});

test('a scatter keeps its points, then the cells they fill, through a wider range', () => {
  const s = newScatter({from: 0, to: 1});
  for (let i = 0; i < 60000; i++) addPoint(s, (i % 1000) / 1000, i % 2 ? 0.25 : 0.75);
  addPoint(s, 0.5, 5); // outside the range so far: the grid widens, keeping its cells
  const {x, y, cells, width, height} = scatterData(s);
  assert.deepEqual(x, [0, 1]);
  const filled = (yv) => {
    const row = Math.floor((yv - y[0]) / (y[1] - y[0]) * height);
    return cells.subarray(row * width, (row + 1) * width).reduce((n, c) => n + c, 0);
  };
  assert.ok(filled(0.25) > 400 && filled(0.75) > 400 && filled(5) === 1);
  assert.equal(cells.reduce((n, c) => n + c, 0), filled(0.25) + filled(0.75) + 1);
});

test('output reads into columns, in any pieces', () => {
  const cases = [ // text, names, the last row
    ['---\ntime = 0\naverage value = 1.5\nbest DNA = "01"\n---\ntime = 1\naverage value = -nan\nbest DNA = "10"\n',
      ['time', 'average value', 'best DNA'], [1, null, '"10"']],
    ['0.200000\t0.100000\t\n0.300000\tinf\t\n', ['1', '2'], [0.3, null]],
    ['(t,x[t],y[t],p[t])=\t1\t 1.27\t 0.06\t 0.000000\n(t,x[t],y[t],p[t])=\t2\t-0.32\t 1.27\t 0.01',
      ['t', 'x[t]', 'y[t]', 'p[t]'], [2, -0.32, 1.27, 0.01]],
    ['DCDDD\n0.5\n', ['1'], [0.5]],
    ['0.1 -0.000000 1e2 12345678901234567 .5\n', ['1', '2', '3', '4', '5'], [0.1, -0, 100, 12345678901234567, 0.5]],
  ];
  for (const [text, names, last] of cases) {
    const whole = readColumns(text);
    assert.deepEqual(whole.names, names);
    assert.deepEqual(whole.columns.map((c) => c[whole.rows - 1]), last);
    for (const cut of [1, 7, 13]) {
      const pieces = newTable();
      for (let i = 0; i < text.length; i += cut) addText(pieces, text.slice(i, i + cut));
      assert.deepEqual(finishText(pieces).columns, whole.columns, `pieces of ${cut}`);
    }
  }
});

test('the fragment gives a command line, a sweep or a refusal', () => {
  const programs = ['peakseek', 'mapseries'];
  const cases = [ // fragment, what it gives (a refusal as a pattern)
    ['peakseek%20-gens%203', {line: 'peakseek -gens 3', command: {program: 'peakseek', args: ['-gens', '3'],
                                                                 bifurcation: null}, words: null}],
    ['for%20r%20in%20$(seq%200.5%200.25%201);%20do%20mapseries%20-r%20$r;%20done',
      {line: 'for r in $(seq 0.5 0.25 1); do mapseries -r $r; done',
       command: {program: 'mapseries', args: [], bifurcation: {from: '0.5', step: '0.25', to: '1'}},
       words: ['0.50', '0.75', '1.00']}],
    ['sweep/run.sh%20-p%20peakseek%20-s%202', {sweep: 'peakseek'}],
    ['%', /% that is not an escape/],
    ['%20', /empty/],
    ['ls', /There is no program "ls"\. The programs are: peakseek, mapseries\./],
    ["peakseek -seed '7", /unbalanced ' quote/],
    ['for r in $(seq 0 0.5 1); do peakseek -r $r; done', /Only mapseries/],
    ['for r in $(seq 0 0.00001 1); do mapseries -r $r; done', /100001 values.*at most 20000/],
  ];
  for (const [fragment, want] of cases) {
    const got = readFragment(fragment, {programs, parseSweep});
    if (want instanceof RegExp) assert.match(got.refusal, want, fragment);
    else if (want.sweep) assert.equal(got.sweep.program, want.sweep, fragment);
    else assert.deepEqual(got, want, fragment);
  }
});

test('kept runs and the version ride after the current line, which an old link holds alone; each run is labelled by what differs', () => {
  const old = encodeURIComponent("jobmatch -specs 'a&keep=b&v=2'");
  assert.deepEqual(splitFragment(old), {current: old, kept: [], version: ''});
  const both = joinFragment('peakseek -seed 7', ['peakseek -seed 3', "jobmatch -specs 'a&keep=b&v=2'"]);
  assert.deepEqual(splitFragment(both), {current: 'peakseek%20-seed%207',
                                         kept: ['peakseek%20-seed%203', old], version: VERSION});
  assert.equal(versionNote(VERSION), '');
  assert.equal(versionNote(''), '');
  assert.match(versionNote('0.9.0'), new RegExp(`version 0\\.9\\.0 .*version ${VERSION.replace(/\./g, '\\.')}: it runs`));
  const run = (line, values, more = {}) => ({program: line.split(' ')[0], line, values, ...more});
  const cases = [ // runs, their labels
    [[run('peakseek -seed 7', {'-seed': '7', '-gens': '5'}), run('peakseek -seed 3 -gens 5', {'-seed': '3', '-gens': '5'})],
     ['-seed 7', '-seed 3']],
    [[run('peakseek', {'-seed': '1'}), run('peakseek -seed 1', {'-seed': '1'})], ['the same options', 'the same options']],
    [[run('peakseek -seed 7', {'-seed': '7'}), run('hillscan -seed 7', {'-seed': '7'})], ['peakseek -seed 7', 'hillscan -seed 7']],
    [[run('mapseries', {'-r': '1'}), run('mapseries', {'-r': '1'}, {bifurcation: {from: '0.7', step: '0.1', to: '1'}})],
     ['no r loop', 'r loop from 0.7 step 0.1 to 1']],
  ];
  for (const [runs, labels] of cases) assert.deepEqual(differences(runs), labels);
});

test('SHA-256 of bytes in any pieces, across the padding\'s boundaries', () => {
  for (const n of [0, 1, 55, 56, 63, 64, 65, 119, 120, 5000]) {
    const data = randomBytes(n);
    for (const cut of [1, 63, 64, 65, 4096]) {
      const s = newSha256();
      for (let i = 0; i < n; i += cut) addBytes(s, data.subarray(i, i + cut));
      assert.equal(hexDigest(s), createHash('sha256').update(data).digest('hex'), `${n} bytes in pieces of ${cut}`);
    }
  }
});

// A clock the test moves by hand.
function fakeClock() {
  const clock = {t: 0, timers: new Map(), next: 1};
  clock.now = () => clock.t;
  clock.later = (fn, ms) => { clock.timers.set(clock.next, [clock.t + ms, fn]); return clock.next++; };
  clock.cancel = (id) => clock.timers.delete(id);
  clock.advance = (ms) => {
    clock.t += ms;
    for (const [id, [at, fn]] of [...clock.timers]) if (at <= clock.t && clock.timers.delete(id)) fn();
  };
  return clock;
}

test('a throttle calls at most once per interval, the waiting call at its end; a settled choice runs once', () => {
  const clock = fakeClock();
  let calls = 0;
  const throttle = newThrottle(100, () => calls++, clock);
  throttle.request(); // the first call runs at once
  throttle.request();
  throttle.request();
  assert.equal(calls, 1);
  clock.advance(99);
  assert.equal(calls, 1);
  clock.advance(1);
  assert.equal(calls, 2);
  throttle.request();
  throttle.flush(); // a text alternative asks for the waiting drawing now
  assert.equal(calls, 3);
  throttle.request();
  throttle.cancel();
  clock.advance(1000);
  assert.equal(calls, 3);

  const chosen = [];
  const settler = newSettler(600, clock);
  settler.choose(() => chosen.push('pointer')); // no key pressed: at once
  for (const name of ['a', 'b', 'c']) {
    settler.keyed();
    settler.choose(() => chosen.push(name));
    clock.advance(500);
  }
  assert.deepEqual(chosen, ['pointer']);
  clock.advance(100);
  assert.deepEqual(chosen, ['pointer', 'c']);
  settler.keyed();
  settler.choose(() => chosen.push('d'));
  settler.now(); // leaving the picker
  assert.deepEqual(chosen, ['pointer', 'c', 'd']);
});

test('the pool: a job per runner and one waiting, help beside a busy pool, stop and a dead runner', async () => {
  const made = [];
  const fake = () => {
    const w = {sent: [], ended: false, postMessage: (m) => w.sent.push(m.job?.index ?? m.type),
               terminate: () => { w.ended = true; }};
    made.push(w);
    return w;
  };
  const reply = (w, index, status = 0) => w.onmessage({data: {type: MSG.RAN, index, status}});
  const pool = newPool(2, fake);
  const results = [];
  const job = (tag, index) => pool.submit({tag, message: {type: MSG.RUN, job: {index}}})
    .then((r) => results.push([index, r.died ? 'died' : r.status]), () => results.push([index, 'stopped']));
  for (let i = 0; i < 6; i++) job('a', i);
  assert.deepEqual(made.map((w) => w.sent), [[0, 2], [1, 3]]); // two runners, each with one job waiting
  const help = pool.submit({tag: 'help', urgent: true, message: {type: MSG.HELP}});
  assert.deepEqual(made[2].sent, [MSG.HELP]); // a third runner, beyond the size
  made[2].onmessage({data: {type: MSG.HELPED, program: 'p', text: '', module: 'm'}});
  assert.equal((await help).type, MSG.HELPED);
  assert.ok(made[2].ended); // and it goes once its job is done
  reply(made[0], 0);
  assert.deepEqual(made[0].sent, [0, 2, 4]);
  made[1].onerror({preventDefault() {}, message: 'gone'}); // job 1 dies; job 3 goes to a new runner
  assert.ok(made[1].ended);
  assert.deepEqual(made[3].sent, [3, 5]);
  pool.stop('a');
  await new Promise((resolve) => setTimeout(resolve));
  assert.deepEqual(results.sort((x, y) => x[0] - y[0]),
                   [[0, 0], [1, 'died'], [2, 'stopped'], [3, 'stopped'], [4, 'stopped'], [5, 'stopped']]);
  assert.ok(made[0].ended && made[3].ended);
});

test('a typed value the program reads otherwise is told, with what it reads', () => {
  const cases = [ // option, typed, what the program reads (null: as typed), why
    ['-gens', '50', null],
    ['-gens', ' +7 ', null],
    ['-gens', '2.0', null],
    ['-gens', 'abc', '0', /does not start with a number/],
    ['-gens', '', '0', /empty/],
    ['-gens', '2.5', '2', /whole number.*"\.5"/],
    ['-gens', '1e3', '1', /whole number/],
    ['-gens', '12abc', '12', /up to "abc"/],
    ['-gens', '0x10', '0', /up to "x10"/],
    ['-seed', '99999999999', '2147483647', /nearest/],
    ['-seed', '-99999999999', '-2147483648', /nearest/],
    ['-size', '-5', '-5', /cannot allocate/],
    ['-size', '-2.5', '-2', /whole number.*cannot allocate/],
    ['-size', '600000000', '600000000', /4 GB/],
    ['-len', '-3', null],
    ['-hlen', '-1', '-1', /cannot allocate/],
    ['-r', '0.5', null],
    ['-r', '.5e1', null],
    ['-r', '1,5', '1', /up to ",5"/],
    ['-r', 'pi', '0', /does not start with a number/],
    ['-r', '0x1.8p1', null],
    ['-r', 'infinity', null],
    ['-r', '1e999', null],
    ['-r', '-nanx', 'nan', /up to "x"/],
    ['-noise', '0.05', null],
    ['-noise', '1', null],
    ['-noise', '2', '2', /probability.*always/],
    ['-mrate', '5', '5', /probability.*always/],
    ['-crate', '-0.1', '-0.1', /never/],
    ['-rcp', 'nan', 'nan', /never/],
    ['-mrate', 'x', '0', /does not start/],
  ];
  for (const [name, typed, value, why] of cases) {
    const got = readAs({name, kind: 'number'}, typed);
    if (value === null) assert.equal(got, null, `${name} ${typed}`);
    else assert.deepEqual([got?.value, why.test(got?.why)], [value, true], `${name} ${typed}: ${got?.why}`);
  }
  // A text option is read as typed; a switch takes no value.
  const screen = {options: [{name: '-func', kind: 'string'}, {name: '-dump', kind: 'switch'},
                            {name: '-gens', kind: 'number'}]};
  assert.deepEqual(noticesFor(screen, ['-func', 'abc', '-dump', '-gens', 'x', '-gens']).map((n) => [n.name, n.value]),
                   [['-gens', '0']]);
});

test('the whole-number and probability options are those of the option tables', () => {
  const top = new URL('../../', import.meta.url);
  const kinds = {OPT_INT: new Set(), OPT_DOUBLE: new Set()};
  for (const folder of ['ga', 'games', 'chaos']) {
    for (const file of readdirSync(new URL(folder, top)).filter((f) => f.endsWith('.cc'))) {
      const text = readFileSync(new URL(`${folder}/${file}`, top), 'utf8');
      for (const [, name, kind] of text.matchAll(/\{\s*"(-\w+)",\s*(OPT_INT|OPT_DOUBLE)\b/g)) kinds[kind].add(name);
    }
  }
  assert.deepEqual([...kinds.OPT_INT].sort(), [...WHOLE_NUMBERS].sort());
  for (const name of PROBABILITIES) assert.ok(kinds.OPT_DOUBLE.has(name), name);
  assert.deepEqual([...kinds.OPT_INT].filter((n) => kinds.OPT_DOUBLE.has(n)), []);
});

test('output handed from runner to reader keeps every byte of each stream, in order', async () => {
  const messages = [];
  const batcher = newBatcher((m) => messages.push(m));
  const sent = {stdout: [], stderr: []};
  for (let k = 0; k < 48; k++) { // both streams, pieces from a byte to past a batch's Blob size
    const name = k % 3 ? 'stdout' : 'stderr';
    const bytes = new Uint8Array([1, 100, 65536, 1500000][k % 4]).fill(k);
    sent[name].push(bytes.slice());
    take(batcher, name, 0, bytes);
    bytes.fill(0); // the program's memory is reused
    if (k === 1) flush(batcher); // a run's end: a batch too small for Blobs of its own
  }
  flush(batcher);
  const read = {stdout: [], stderr: []}, kept = {stdout: [], stderr: []};
  for (const m of messages) {
    for (const [name, , bytes] of m.pieces) read[name].push(bytes);
    eachPart(m, (name, part) => kept[name].push(part));
  }
  assert.ok(kept.stdout.some((p) => p instanceof Blob) && kept.stdout.some((p) => !(p instanceof Blob)));
  for (const name of ['stdout', 'stderr']) {
    const whole = Buffer.concat(sent[name]);
    assert.ok(Buffer.concat(read[name]).equals(whole), `${name} read`);
    assert.ok(Buffer.from(await new Blob(kept[name]).arrayBuffer()).equals(whole), `${name} kept`);
  }
});
