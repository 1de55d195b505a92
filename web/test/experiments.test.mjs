// Every experiment the page lists, run with the native programs: its
// finding holds in the output. BIN_DIR names the folder of the native
// programs.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {EXPERIMENTS} from '../src/experiments.mjs';
import {parseSweep, sweepRuns, tableRow, lastStats, SHARES} from '../src/sweep.mjs';
import {parseCommand, seqWords} from '../src/command.mjs';
import {henonFixedPoint} from '../src/formulas.mjs';
import {lastGaStats} from '../src/gastats.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));

function shell(line) {
  const env = {...process.env, PATH: `${bin}:${process.env.PATH}`};
  const r = spawnSync('bash', ['-c', line], {cwd: top, env, encoding: 'utf8', maxBuffer: 1 << 26});
  assert.equal(r.status, 0, `${line}: ${r.stderr}`);
  return r;
}

// A sweep's table rows, as [value, seed, ...numbers], run by run.
function sweepTable(sweep) {
  return sweepRuns(sweep).map((run) => {
    const r = spawnSync(path.join(bin, sweep.program), run.args, {cwd: top, encoding: 'utf8'});
    return tableRow(sweep.program, run, r).split('\t');
  });
}

// The smallest period up to 32 (and half the values) that the values
// repeat with, or 0.
function period(values) {
  for (let p = 1; p <= Math.min(32, values.length / 2); p++) {
    if (values.every((v, i) => i + p >= values.length || v === values[i + p])) return p;
  }
  return 0;
}

const option = (args, name, value) => (args.includes(name) ? args[args.lastIndexOf(name) + 1] : value);

// The measured value of one expectation, from the experiment's output.
function measure(e, line, {stdout, stderr}) {
  const lines = stdout.trim().split('\n');
  const {program, args, bifurcation} = parseCommand(line);
  switch (e.kind) {
  case 'share':
    return Number(lines.at(-1).trim().split(/\s+/)[SHARES.indexOf(e.name)]);
  case 'best': {
    const stats = lastStats(program === 'tacticbreed' ? stderr : stdout);
    return e.average ? stats.average : stats.best;
  }
  case 'bestX':
    return Math.abs(Number(lastGaStats(stdout).best_x) - e.to);
  case 'period':
    return period(lines);
  case 'periods': {
    const points = Number(option(args, '-points', 10));
    const rs = seqWords(bifurcation).words;
    return Object.fromEntries(Object.keys(e.at).map((r) => {
      const i = rs.indexOf(r);
      return [r, period(lines.slice(i * points, (i + 1) * points))];
    }));
  }
  case 'settles':
    return lines.findLastIndex((v) => v !== e.value) + 2;
  case 'pinned': {
    const xstar = henonFixedPoint(Number(option(args, '-A', 1.29)), Number(option(args, '-B', 0.3)));
    const xs = lines.slice(e.from - 1, e.to).map((l) => Number(l.split('\t')[2]));
    return Math.max(...xs.map((x) => Math.abs(x - xstar)));
  }
  }
  throw new Error(`no measure ${e.kind}`);
}

function holds(e, value) {
  if ('equals' in e) return String(value) === e.equals;
  if ('at' in e) return Object.entries(e.at).every(([r, p]) => value[r] === p);
  if ('period' in e) return value === e.period;
  if ('from' in e && 'value' in e) return value === e.from;
  const v = Number(value);
  return !(v <= e.above) && !(v >= e.below) && !(v > e.within) && !(v <= e.beyond);
}

test('every experiment finds what the page says it finds', {skip: !bin && 'BIN_DIR not set'}, () => {
  const programs = new Set();
  for (const {id, line, expect} of EXPERIMENTS) {
    const sweep = parseSweep(line);
    programs.add(sweep ? sweep.program : parseCommand(line).program);
    if (sweep) {
      const rows = sweepTable(sweep);
      const names = sweep.program === 'tacticpool' ? SHARES : ['average', 'best'];
      for (const e of expect) {
        const column = rows.filter((row) => row[0] === e.value).map((row) => Number(row[2 + names.indexOf(e.column)]));
        const mean = column.reduce((a, b) => a + b, 0) / column.length;
        assert.ok(column.length && holds(e, mean), `${id}: mean ${e.column} at ${e.value} is ${mean}`);
      }
      continue;
    }
    const output = shell(line);
    for (const e of expect) {
      const value = measure(e, line, output);
      assert.ok(holds(e, value), `${id}: ${e.kind} measured ${JSON.stringify(value)}, expected ${JSON.stringify(e)}`);
    }
  }
  assert.ok(EXPERIMENTS.length >= 12);
  assert.equal(programs.size, 7, 'an experiment for every program');
});
