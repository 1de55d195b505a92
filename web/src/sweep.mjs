// A sweep as sweep/run.sh runs it: a grid of values of one option and seeds
// 1 to N, one run per point, and one line of table.txt per run that ends
// with status 0. The page runs the same grid and writes the same table.
//
// parseSweep(line) -> null when line is no sweep/run.sh command, else
//   {program, option, values, seeds, argsText, args, error}: argsText is
//   what -a gives, args its words; error is why the page will not run the
//   sweep, or '' for one it runs.
import {splitWords, joinWords} from './command.mjs';
import {lastGaStats} from './gastats.mjs';
// sweep/programs.tsv, which sweep/run.sh reads too: per program the option
// swept by default and its values, where the statistics are, the table's
// measures and the picture's labels; web/build.sh makes it a module.
import programsText from './sweepprograms.mjs';

// The rows of a tab-separated text with a header row, as objects.
export function readTsv(text) {
  const [head, ...lines] = text.split('\n').filter(Boolean);
  const names = head.split('\t');
  return lines.map((line) => Object.fromEntries(line.split('\t').map((v, i) => [names[i], v])));
}

export const SWEEP_PROGRAMS_DATA = Object.fromEntries(readTsv(programsText).map((p) => [p.program, p]));
export const SWEEP_SCRIPT = 'sweep/run.sh';
export const SWEEP_PROGRAMS = Object.keys(SWEEP_PROGRAMS_DATA);
export const SHARES = ['All-C', 'TFT', 'Random', 'Pavlov', 'All-D'];

// The columns of the table after the option and the seed.
export const measures = (program) => SWEEP_PROGRAMS_DATA[program]?.measures.split(' ') ?? [];
// The y axis of the sweep's picture.
export const measureLabel = (program) => SWEEP_PROGRAMS_DATA[program]?.ylabel ?? '';

const FLAGS = new Set(['p', 'o', 'v', 's', 'a', 'b', 'd', 'n']);

// The option swept when none is given, and the values when none are: the
// default option has default values, another option none.
export function defaultOption(program) {
  return SWEEP_PROGRAMS_DATA[program]?.option ?? '-noise';
}

export function defaultValues(option, program = '') {
  const data = SWEEP_PROGRAMS_DATA[program];
  if (data) return data.option === option ? data.values : '';
  return Object.values(SWEEP_PROGRAMS_DATA).find((p) => p.option === option)?.values ?? '';
}

// The flags as getopts reads them: "-p NAME" or "-pNAME", flags bundled
// before one that takes a value; parsing stops at "--" or the first word
// that is not a flag. The folders (-b, -d), the runs per job (-n), keeping
// the outputs (-k) and --resume mean nothing in the page.
function readFlags(words) {
  const end = words.indexOf('--');
  const own = end < 0 ? words : words.slice(0, end);
  if (own.includes('--help')) return {help: true};
  words = own.filter((w) => w !== '--resume');
  const given = {};
  let i = 1;
  while (i < words.length && /^-./.test(words[i]) && words[i] !== '--') {
    const word = words[i++];
    for (let k = 1; k < word.length; k++) {
      const flag = word[k];
      if (flag === 'h') return {help: true};
      if (flag === 'k') continue;
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
  const valueText = given.v || defaultValues(option, program);
  const sweep = {
    program, option, values: valueText.split(/\s+/).filter(Boolean), seeds: Number(given.s ?? 10),
    argsText: given.a ?? '', args: (given.a ?? '').split(/\s+/).filter(Boolean),
  };
  sweep.error = help ? 'its help screen is for a shell; the page runs sweeps'
    : error ?? refusal(sweep, given.s ?? '10', Boolean(given.v));
  return sweep;
}

// A number as the programs read one, and as sweep/run.sh accepts one.
export const NUMBER = /^[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)?$/;

// Why sweep/run.sh refuses a sweep before any run, or ''.
function refusal({program, option, values, args}, seeds, valuesGiven) {
  if (!SWEEP_PROGRAMS.includes(program)) {
    return `it sweeps ${SWEEP_PROGRAMS.slice(0, -1).join(', ')} or ${SWEEP_PROGRAMS.at(-1)}, not "${program}"`;
  }
  if (!/^[1-9][0-9]*$/.test(seeds)) return '-s wants a count of seeds';
  if (option === '-seed' || args.includes('-seed')) {
    return "-seed is the sweep's own: every value runs with seeds 1 to SEEDS (-s)";
  }
  if (!values.length) return valuesGiven ? 'no values to sweep (-v)' : `${option} has no default values: give them with -v`;
  const bad = values.find((v) => !NUMBER.test(v));
  if (bad !== undefined) return `-v: "${bad}" is not a number`;
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

// table.txt's header row: the option's name without its dash (a name that
// pandas, R and gnuplot take as it stands), the seed and the measures.
export function tableHeader({program, option}) {
  return [option.replace(/^-/, ''), 'seed', ...measures(program)].join('\t');
}

// The average and best of the last statistics block, as printed, or null
// for output without a block.
export function lastStats(text) {
  const stats = lastGaStats(text);
  return stats && {average: stats.average, best: stats.best};
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
// when the output holds nothing to report.
export function tableRow(program, {value, seed}, {stdout, stderr}) {
  const data = SWEEP_PROGRAMS_DATA[program];
  const text = data.stats === 'stderr' ? stderr : stdout;
  let fields;
  if (data.reads === 'line') {
    fields = lastShares(text);
  } else {
    const stats = lastGaStats(text);
    fields = stats && measures(program).map((name) => stats[name] ?? '');
  }
  return fields ? [value, seed, ...fields].join('\t') : null;
}
