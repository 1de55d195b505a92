// The page's sweep against sweep/run.sh: the same command line gives the
// same grid of runs and, from the native programs' output, the same
// table.txt byte for byte. BIN_DIR names the folder of the native programs;
// skipped without GNU parallel.
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import {parseSweep, formatSweep, sweepRuns, tableHeader, tableRow} from '../src/sweep.mjs';
import {gaStatsText} from '../src/gastats.mjs';
import {crateJson, sha256Sums} from '../src/record.mjs';
import {sweepRecord} from '../src/sweeprecord.mjs';

const bin = process.env.BIN_DIR;
const top = fileURLToPath(new URL('../..', import.meta.url));
const parallel = spawnSync('sh', ['-c', 'command -v parallel']).status === 0;
const skip = (!bin && 'BIN_DIR not set') || (!parallel && 'GNU parallel is missing');

// The table the page writes, from native runs of the grid.
export function pageTable(sweep) {
  const rows = [tableHeader(sweep)];
  for (const run of sweepRuns(sweep)) {
    const r = spawnSync(path.join(bin, sweep.program), run.args, {cwd: top, encoding: 'utf8'});
    const row = r.status === 0 ? tableRow(sweep.program, run, r) : null;
    if (row !== null) rows.push(row);
  }
  return rows.join('\n') + '\n';
}

test('a sweep command line gives the table sweep/run.sh writes', {skip}, () => {
  const lines = [
    'sweep/run.sh -p tacticbreed -v "0 0.1" -s 2 -a "-gens 3 -size 10  -bouts 5"',
    'sweep/run.sh -p tacticpool -o -rounds -v "1 5 20" -s 2 -a -steps\\ 40',
    "sweep/run.sh -s3 -p peakseek -a '-gens 4'",
    'sweep/run.sh -p jobmatch -o -size -v "4 9" -s 1 -a "-gens 5"',
    'sweep/run.sh -p hillscan -o -len -v "0 3" -s 1 -a "-gens 2"', // -len 0 fails: no line
  ];
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'sweep-test-'));
  try {
    for (const line of lines) {
      const sweep = parseSweep(line);
      assert.equal(sweep.error, '', line);
      assert.deepEqual(parseSweep(formatSweep(sweep)), sweep, line);
      // A sweep with a failed run leaves its table in partial/.
      const {status} = spawnSync('bash', ['-c', `${line} -b "${bin}" -d "${dir}" -- -j 2`], {cwd: top});
      const table = path.join(dir, status === 0 ? 'table.txt' : 'partial/table.txt');
      assert.equal(pageTable(sweep), fs.readFileSync(table, 'utf8'), line);
    }
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});

test('sweep command lines the page refuses', () => {
  const cases = [
    ['sweep/run.sh -p orbitpin', /or tacticpool, not "orbitpin"/],
    ['sweep/run.sh -s 0', /-s wants a count/],
    ['sweep/run.sh -x', /unknown flag -x/],
    ['sweep/run.sh -v', /-v wants a value/],
    ['sweep/run.sh --help', /help screen is for a shell/],
    ['sweep/run.sh -v "0.01 abc -1"', /"abc" is not a number/],
    ['sweep/run.sh -p peakseek -o -gens', /-gens has no default values/],
    ['sweep/run.sh -o -seed -v 1', /-seed is the sweep's own/],
    ['sweep/run.sh -a "-gens 2 -seed 4"', /-seed is the sweep's own/],
  ];
  for (const [line, message] of cases) assert.match(parseSweep(line).error, message, line);
  // What means nothing in the page is no reason to refuse.
  assert.equal(parseSweep('sweep/run.sh -k -n 3 --resume -s 2 -- -j 4').error, '');
  assert.equal(parseSweep('tacticbreed -noise 0.1'), null);
});

// The one JavaScript reading of the statistics blocks against the shell's,
// demo/gastats.awk, on every genetic algorithm's real output.
test('the statistics blocks read as demo/gastats.awk reads them', {skip}, () => {
  const runs = [['peakseek', ['-gens', '3']], ['hillscan', ['-gens', '3']],
                ['jobmatch', ['-gens', '3']], ['tacticbreed', ['-gens', '3', '-size', '10']]];
  for (const [program, args] of runs) {
    const r = spawnSync(path.join(bin, program), args, {cwd: top, encoding: 'utf8'});
    const stats = program === 'tacticbreed' ? r.stderr : r.stdout;
    for (const last of [false, true]) {
      const awk = spawnSync('awk', ['-v', `last=${last ? 1 : 0}`, '-f', path.join(top, 'demo/gastats.awk')],
                            {input: stats, encoding: 'utf8'});
      assert.equal(gaStatsText(stats, last), awk.stdout, `${program} last=${last}`);
    }
  }
});

// The page's record against sweep/run.sh's: from the same fields, the same
// ro-crate-metadata.json and SHA256SUMS, byte for byte.
test('a sweep record is the one the page builds from its fields', {skip}, () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'sweep-record-'));
  try {
    const line = 'sweep/run.sh -p peakseek -v "0.01 0.2" -s 2 -a "-gens 3" -k';
    const r = spawnSync('bash', ['-c', `${line} -b "${bin}" -d "${dir}"`], {cwd: top, encoding: 'utf8'});
    assert.equal(r.status, 0, r.stderr);
    const text = fs.readFileSync(path.join(dir, 'ro-crate-metadata.json'), 'utf8');
    const graph = new Map(JSON.parse(text)['@graph'].map((e) => [e['@id'], e]));
    const sweep = graph.get('#sweep');
    const runs = graph.get('./').mentions.slice(1).map(({'@id': name}) => {
      const run = graph.get(name);
      return {...run, seq: Number(name.slice(5)), command: run.name, status: run.exitStatus,
              seed: Number(graph.get(run.object[1]['@id']).value)};
    });
    const files = sweep.result.map(({'@id': name}) => {
      const f = graph.get(name);
      return {name, format: f.encodingFormat, size: Number(f.contentSize), sha256: f.sha256};
    });
    assert.deepEqual(files.map((f) => f.name), ['table.txt', 'sweep.png', 'outputs.txt'].filter(
      (name) => fs.existsSync(path.join(dir, name))));
    assert.equal(runs.length, 4);
    const record = {program: 'peakseek', option: '-mrate', values: ['0.01', '0.2'], seeds: 2,
                    command: sweep.name, software: graph.get('#modelsuite'), startTime: sweep.startTime,
                    endTime: sweep.endTime, workingDirectory: sweep.workingDirectory, runs, files};
    assert.equal(crateJson(record), text);
    // The page's record of the same runs: each run's command as run.sh's,
    // without the programs' folder, and the sweep's as given.
    const results = new Array(4).fill(null);
    for (const run of runs) results[run.seq - 1] = run;
    const page = sweepRecord({line, sweep: parseSweep(line), results, version: record.software.version,
                              table: {size: files[0].size, sha256: files[0].sha256}});
    assert.deepEqual(page.runs.map((run) => run.command), runs.map((run) => run.command.replace(`${bin}/`, '')));
    assert.equal(`${page.command} -b ${bin} -d ${dir}`, sweep.name);
    const sums = fs.readFileSync(path.join(dir, 'SHA256SUMS'), 'utf8');
    const crate = {name: 'ro-crate-metadata.json', sha256: sums.match(/^(\S+)  ro-crate-metadata.json$/m)[1]};
    assert.equal(sha256Sums([...files, crate]), sums);
  } finally {
    fs.rmSync(dir, {recursive: true, force: true});
  }
});
