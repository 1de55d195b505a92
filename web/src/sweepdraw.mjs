// The drawing half of the sweep view (sweepread.mjs reads it): every run's
// measure above its value and the means as lines; and the sweep's output,
// made as sweep/run.sh makes it: the table of the runs that ended with
// status 0, in the grid's order, and the report of the failed ones. As
// views.mjs describes.
import {SHARES, SWEEP_PROGRAMS_DATA, measures, measureLabel, sweepRuns, tableHeader} from './sweep.mjs';
import {drawSweep} from './pictures.mjs';
import {canvasView} from './storydraw.mjs';

const REPORTED = 3; // failed runs whose command and message the report shows

// The x axis in words: the option's help text without its default, as in
// "Mutation rate. (0.01)" -> "mutation rate (-mrate)".
function axisLabel(run) {
  const {option} = run.sweep;
  const help = run.screen?.options.find((o) => o.name === option)?.help ?? '';
  const words = help.replace(/\s*\([^)]*\)\s*$/, '').replace(/\.$/, '');
  return `${words.charAt(0).toLowerCase()}${words.slice(1)} (${option})`;
}

// The series drawn, each with its column among the table's measures: the
// five shares, or a genetic algorithm's average and best.
function drawnSeries(program) {
  const names = measures(program);
  if (SWEEP_PROGRAMS_DATA[program].reads === 'line') return SHARES.map((name, k) => ({name, column: k}));
  return ['average', 'best'].map((name) => ({name, column: names.indexOf(name)}));
}

function sweepData(run, {results}) {
  const {sweep} = run;
  const series = drawnSeries(sweep.program).map((s) => ({...s, points: []}));
  for (const r of results) {
    if (!r?.row) continue;
    const fields = r.row.split('\t');
    const at = sweep.values.indexOf(fields[0]);
    for (const s of series) s.points.push([at, Number(fields[2 + s.column])]);
  }
  return {values: sweep.values, series, xLabel: axisLabel(run), yLabel: measureLabel(sweep.program)};
}

// table.txt: the header and the line of every run that ended with status 0,
// in the grid's order.
export function sweepTable(sweep, results) {
  const rows = results.filter((r) => r?.status === 0 && r.row !== null).map((r) => r.row);
  return [tableHeader(sweep), ...rows].join('\n') + '\n';
}

// What sweep/run.sh writes to standard error about the runs that failed
// (a run that ended well without statistics among them) and those that did
// not run, and its exit status: 1 when a run failed or the table is empty.
export function sweepReport(sweep, results) {
  const runs = sweepRuns(sweep);
  const failed = results.map((r, i) => [r, i]).filter(([r]) => r && (r.status !== 0 || r.row === null));
  const lines = [];
  if (failed.length) {
    lines.push(`sweep: ${failed.length} of ${runs.length} runs failed; their rows are missing from the table`);
    for (const [r, i] of failed.slice(0, REPORTED)) {
      const status = r.status === null ? 'none (the run did not end)' : r.status === 0 ? '0, no statistics' : r.status;
      lines.push(`  ${[sweep.program, ...runs[i].args].join(' ')}`, `    exit status ${status}:`,
                 ...r.error.split('\n').filter(Boolean).map((l) => `    | ${l}`));
    }
    if (failed.length > REPORTED) lines.push(`  and ${failed.length - REPORTED} more`);
  }
  const notRun = results.filter((r) => !r).length;
  if (notRun) lines.push(`sweep: ${notRun} of ${runs.length} runs did not run: the sweep was stopped`);
  const rows = results.filter((r) => r?.status === 0 && r.row !== null).length;
  return {text: lines.length ? lines.join('\n') + '\n' : '', status: failed.length || !rows ? 1 : 0};
}

const picture = canvasView((target, data, run) => drawSweep(target, sweepData(run, data)), 'No run has ended yet.');

export const SWEEP_DRAWING = {
  sweep: {
    ...picture,
    output(data, run) {
      const report = sweepReport(run.sweep, data.results);
      return {stdout: sweepTable(run.sweep, data.results), stderr: report.text, status: report.status};
    },
  },
};
