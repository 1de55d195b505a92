// Runs compared on one page: the current run and the kept ones, each
// labelled with the options in which it differs from the others.
//
// The address holds them all: the current command line as before, then
// each kept one after KEEP, every line escaped as encodeURIComponent
// escapes it. An escaped line never holds a bare "&", so a link without
// kept runs reads as it always has, and the current line comes first:
//   #peakseek%20-seed%207&keep=peakseek%20-seed%203&keep=peakseek&v=1.0.0
// Last comes the version of the suite that wrote the address, so that a
// link opened by another version can say so; a link without one is older
// than the versions and reads as before. This module touches no DOM.
import {VERSION} from './version.mjs';

export const KEEP = '&keep=';
const MADE_BY = '&v=';
export const KEEP_LIMIT = 4; // kept runs, each drawn beside the current one

// {current, kept, version}: the raw (still escaped) current line and kept
// lines, and the version that made the link ('' for none).
export function splitFragment(raw) {
  const at = raw.lastIndexOf(MADE_BY);
  const version = at < 0 ? '' : decodeURIComponent(raw.slice(at + MADE_BY.length));
  const [current, ...kept] = (at < 0 ? raw : raw.slice(0, at)).split(KEEP);
  return {current, kept: kept.filter(Boolean), version};
}

// The fragment of a current line (raw: as the address had it) and kept
// lines.
export function withKept(raw, keptLines) {
  return [raw, ...keptLines.map(encodeURIComponent)].join(KEEP) + MADE_BY + encodeURIComponent(VERSION);
}

// What the page says of a link made by another version of the suite, or ''.
export function versionNote(version) {
  if (!version || version === VERSION) return '';
  return `This link was made with version ${version} of the suite, and this page is version ${VERSION}: ` +
    'it runs the command all the same, and what it prints may differ from what the link showed.';
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
