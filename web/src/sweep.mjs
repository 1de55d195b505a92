// A sweep as sweep/run.sh runs it: a grid of values of one option and seeds
// 1 to N, one run per point, and one line of table.txt per run that ends
// with status 0. The page runs the same grid and writes the same table.
//
// parseSweep(line) -> null when line is no sweep/run.sh command, else
//   {program, option, values, seeds, argsText, args, error}: argsText is
//   what -a gives, args its words; error is why the page will not run the
//   sweep, or '' for one it runs.
import {splitWords, joinWords} from './command.mjs';

export const SWEEP_SCRIPT = 'sweep/run.sh';
export const SWEEP_PROGRAMS = ['peakseek', 'hillscan', 'jobmatch', 'tacticbreed', 'tacticpool'];
export const SHARES = ['All-C', 'TFT', 'Random', 'Pavlov', 'All-D'];

const FLAGS = new Set(['p', 'o', 'v', 's', 'a', 'b', 'd']);

// The option swept when none is given, and the values when none are.
export function defaultOption(program) {
  return program === 'tacticbreed' || program === 'tacticpool' ? '-noise' : '-mrate';
}

export function defaultValues(option) {
  return option === '-mrate' ? '0.001 0.002 0.005 0.01 0.02 0.05 0.1' : '0 0.005 0.01 0.02 0.05 0.1 0.2';
}

// The flags as getopts reads them: "-p NAME" or "-pNAME", flags bundled
// before one that takes a value; parsing stops at "--" or the first word
// that is not a flag. The folders (-b, -d) mean nothing in the page.
function readFlags(words) {
  if (words[1] === '--help') return {help: true};
  const given = {};
  let i = 1;
  while (i < words.length && /^-./.test(words[i]) && words[i] !== '--') {
    const word = words[i++];
    for (let k = 1; k < word.length; k++) {
      const flag = word[k];
      if (flag === 'h') return {help: true};
      if (!FLAGS.has(flag)) return {error: `unknown flag -${flag}`};
      if (k + 1 < word.length) { given[flag] = word.slice(k + 1); break; }
      if (i >= words.length) return {error: `-${flag} wants a value`};
      given[flag] = words[i++];
      break;
    }
  }
  return {given};
}

export function parseSweep(line) {
  const first = line.trim().split(/\s/)[0];
  if (first !== SWEEP_SCRIPT && first !== `./${SWEEP_SCRIPT}`) return null;
  let words;
  try {
    words = splitWords(line);
  } catch (e) {
    return {program: '', option: '', values: [], seeds: 0, args: [], argsText: '', error: e.message};
  }
  const {given = {}, help, error} = readFlags(words);
  const program = given.p ?? 'tacticbreed';
  const option = given.o || defaultOption(program);
  const valueText = given.v || defaultValues(option);
  const sweep = {
    program, option, values: valueText.split(/\s+/).filter(Boolean), seeds: Number(given.s ?? 10),
    argsText: given.a ?? '', args: (given.a ?? '').split(/\s+/).filter(Boolean),
  };
  sweep.error = help ? 'its help screen is for a shell; the page runs sweeps'
    : error ?? refusal(sweep, given.s ?? '10');
  return sweep;
}

function refusal({program, values}, seeds) {
  if (!SWEEP_PROGRAMS.includes(program)) {
    return `it sweeps ${SWEEP_PROGRAMS.slice(0, -1).join(', ')} or ${SWEEP_PROGRAMS.at(-1)}, not "${program}"`;
  }
  if (!/^[1-9][0-9]*$/.test(seeds)) return '-s wants a count of seeds';
  if (!values.length) return 'no values to sweep';
  return '';
}

// The command line that reproduces a sweep, with its grid written out.
export function formatSweep(sweep) {
  const words = [SWEEP_SCRIPT, '-p', sweep.program, '-o', sweep.option, '-v', sweep.values.join(' '),
                 '-s', String(sweep.seeds)];
  if (sweep.argsText.trim()) words.push('-a', sweep.argsText);
  return joinWords(words);
}

// The runs in the order of the table: value by value, seed by seed.
export function sweepRuns(sweep) {
  const runs = [];
  for (const value of sweep.values) {
    for (let seed = 1; seed <= sweep.seeds; seed++) {
      runs.push({value, seed, args: [...sweep.args, sweep.option, value, '-seed', String(seed)]});
    }
  }
  return runs;
}

export function tableHeader({program, argsText, option}) {
  const what = program === 'tacticpool'
    ? `seed and the shares of ${SHARES.slice(0, -1).join(', ')} and ${SHARES.at(-1)} at the last step`
    : 'seed, average and best of the last generation';
  return `# ${program}${argsText ? ` ${argsText}` : ''}: ${option}, ${what}`;
}

// The average and best of the last statistics block, as printed ('' where
// the block lacks one), or null for output without a block.
export function lastStats(text) {
  let block = null, last = null;
  const close = () => { if (block) last = block; block = null; };
  for (const line of text.split('\n')) {
    if (line === '---') { close(); block = {average: '', best: ''}; continue; }
    if (!block || !line.includes(' = ')) { close(); continue; }
    const key = line.replace(/ *= .*/, '');
    const value = line.replace(/^[^=]*= */, '').replace(/"/g, '');
    if (/^average (value|score)$/.test(key)) block.average = value;
    if (/^best (value|score|average score)$/.test(key)) block.best = value;
  }
  close();
  return last;
}

// The words of the last line of tacticpool's output, or null for none.
function lastShares(text) {
  const lines = text.split('\n');
  if (lines.at(-1) === '') lines.pop();
  if (!lines.length) return null;
  const words = lines.at(-1).trim().split(/\s+/);
  return SHARES.map((_, i) => words[i] ?? '');
}

// The table line of a run that ended with status 0, from its output; null
// when the output holds nothing to report. tacticbreed reports on standard
// error, the others on standard output.
export function tableRow(program, {value, seed}, {stdout, stderr}) {
  const fields = program === 'tacticpool' ? lastShares(stdout)
    : Object.values(lastStats(program === 'tacticbreed' ? stderr : stdout) ?? {});
  return fields?.length ? [value, seed, ...fields].join(' ') : null;
}
