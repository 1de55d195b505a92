// Runs compared on one page: the current run and the kept ones, each
// labelled with the options in which it differs from the others.
//
// The address holds them all: the current command line as before, then
// each kept one after KEEP, every line escaped as encodeURIComponent
// escapes it. An escaped line never holds a bare "&", so a link without
// kept runs reads as it always has, and the current line comes first:
//   #peakseek%20-seed%207&keep=peakseek%20-seed%203&keep=peakseek
// This module touches no DOM.

export const KEEP = '&keep=';
export const KEEP_LIMIT = 4; // kept runs, each drawn beside the current one

// {current, kept}: the raw (still escaped) current line and kept lines.
export function splitFragment(raw) {
  const [current, ...kept] = raw.split(KEEP);
  return {current, kept: kept.filter(Boolean)};
}

// The fragment of a current line (raw: as the address had it) and kept
// lines.
export function withKept(raw, keptLines) {
  return [raw, ...keptLines.map(encodeURIComponent)].join(KEEP);
}

export const joinFragment = (line, keptLines) => withKept(encodeURIComponent(line), keptLines);

// What sets a run apart besides its options: its program, the values of r
// of a bifurcation loop, the grid of a sweep.
function traits({program, values, bifurcation, sweep}) {
  const own = {program, ...values};
  if (bifurcation) own['r loop'] = `from ${bifurcation.from} step ${bifurcation.step} to ${bifurcation.to}`;
  if (sweep) own.sweep = `${sweep.option} over ${sweep.values.join(' ')}, ${sweep.seeds} seeds`;
  return own;
}

// One label per run: {program, values (option -> the value the program
// reads), bifurcation, sweep, line}. Runs of the same program are labelled
// by what differs among them ("-seed 7 -mrate 0.1"); once the programs
// differ, each is labelled by its whole command line.
export function differences(runs) {
  if (new Set(runs.map((r) => r.program)).size > 1) return runs.map((r) => r.line);
  const all = runs.map(traits);
  const names = [...new Set(all.flatMap(Object.keys))];
  const differ = names.filter((n) => all.some((t) => t[n] !== all[0][n]));
  return all.map((t) => differ.map((n) => (t[n] === undefined ? `no ${n}` : `${n} ${t[n]}`)).join(' ') ||
    'the same options');
}
