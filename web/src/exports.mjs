// What a run's data comes out as, apart from the raw output: the file names,
// the table (tab-separated, one header row of column names) and the fields
// of its run record (record.mjs). Pure: used by the export worker
// (exportwork.mjs), the page and node's tests.
//
// fileStem(about) -> 'tacticpool_noise0.05_steps500': the program and the
//   options that differ from the defaults, by name.
// tableOf(about) -> {stream, whole}, {stream, header, row(line) -> text
//   or null} or {stream, header, raw: true}: how the table is made from
//   `stream` ('stdout' or 'stderr'): from the whole text (whole(text) ->
//   table), line by line, or as the header and the stream unchanged.
// recordFields(about, meta) -> the record of crateJson (record.mjs).
// about: {program, args, values, defaults, words, sweep, shares}: values
//   and defaults the options' values (command.mjs's optionValues) as run
//   and by default, words a bifurcation loop's values of r, sweep a
//   sweep/run.sh grid, shares the strategy names of tacticpool's columns.
import {gaStatsText} from './gastats.mjs';

const GA = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed'];
const STEM_LIMIT = 150;

const safe = (text) => String(text).replace(/[^\w.+-]+/g, '-');

export function fileStem({program, values, defaults, words, sweep}) {
  const parts = [program];
  if (sweep) parts.push(`sweep${safe(sweep.option.replace(/^-/, ''))}`, `seeds${sweep.seeds}`);
  if (words) parts.push(`r${safe(words[0])}-${safe(words.at(-1))}`);
  const changed = Object.keys(values).filter((name) => values[name] !== defaults[name] &&
    !(words && name === '-r') && !(sweep && (name === sweep.option || name === '-seed')));
  for (const name of changed.sort()) {
    const value = values[name];
    parts.push(value === 'ON' || value === 'OFF' ? safe(name.slice(1)) : safe(name.slice(1) + value));
  }
  return parts.join('_').slice(0, STEM_LIMIT);
}

// "(t,x[t],y[t],p[t])=\t1\t 0.55\t-1.08\t 0.00": its label's names.
const ORBIT = /^\(([^)]*)\)=\t(.*)$/;

export function tableOf({program, values, words, sweep, shares}) {
  if (sweep) return {stream: 'stdout', whole: (text) => text}; // the sweep's table is tab-separated already
  if (GA.includes(program)) {
    return {stream: program === 'tacticbreed' ? 'stderr' : 'stdout', whole: (text) => gaStatsText(text)};
  }
  if (program === 'tacticpool') {
    let step = 0;
    return {stream: 'stdout', header: ['step', ...shares].join('\t'),
            row: (line) => (line.trim() ? [step++, ...line.split('\t').filter((v) => v !== '')].join('\t') : null)};
  }
  if (program === 'orbitpin') {
    return {stream: 'stdout', header: 't\tx\ty\tp',
            row: (line) => {
              const m = ORBIT.exec(line);
              return m ? m[2].split('\t').map((v) => v.trim()).join('\t') : null;
            }};
  }
  if (program === 'mapseries' && words) {
    // Each run of the loop prints -points values, one a line.
    const points = Math.max(1, Number.parseInt(values['-points'], 10) || 1);
    let k = 0;
    return {stream: 'stdout', header: 'r\tx',
            row: (line) => (line.trim() ? `${words[Math.min(words.length - 1, Math.floor(k++ / points))]}\t${line.trim()}` : null)};
  }
  return {stream: 'stdout', header: 'x', raw: true}; // one value a line already: the output as it is
}

// The run record's fields: a single run or a bifurcation loop as a grid of
// one value (its seed, or its values of r) and one seed.
// meta: {line, version, startTime, endTime, status, streams: {stdout,
// stderr}: {name, size, sha256}}
export function recordFields({program, values, words, sweep}, meta) {
  const files = Object.values(meta.streams).map(({name, size, sha256}) => ({name, format: 'text/plain', size, sha256}));
  const base = {program, command: meta.line, software: {version: meta.version, commit: ''},
                startTime: meta.startTime, endTime: meta.endTime, workingDirectory: '', files};
  if (sweep) return {...base, option: sweep.option, values: sweep.values, seeds: sweep.seeds, runs: []};
  const run = {seq: 1, command: meta.line, status: meta.status, host: 'browser', startTime: meta.startTime,
               endTime: meta.endTime, stdoutSha256: meta.streams.stdout.sha256,
               stderrSha256: meta.streams.stderr.sha256, seed: 1};
  // Not a sweep: named as what it is, its seed its own -seed ('none' for
  // mapseries, which draws no random numbers).
  const single = {...base, name: `${words ? 'bifurcation diagram' : 'run'} of ${program}`, seeds: 1,
                  seedValues: [values['-seed'] ?? 'none']};
  if (words) return {...single, option: '-r', values: words, runs: []};
  // mapseries' run is one value of r.
  const option = '-seed' in values ? '-seed' : '-r';
  return {...single, option, values: [values[option] ?? ''], runs: [run]};
}
