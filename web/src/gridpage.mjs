// What the page adds for sweep/run.sh command lines: the form's sweep
// section, the view that draws a sweep's runs against the value, and the
// run of a sweep as the page shows any run: its progress in runs, the table
// as its output and the failures as its error output.
import {SWEEP_PROGRAMS, SHARES, defaultOption, defaultValues, formatSweep} from './sweep.mjs';
import {runGrid, gridTable, gridReport} from './sweeprun.mjs';
import {drawSweep} from './pictures.mjs';
import {joinWords} from './command.mjs';

export const GRID_LIMIT = 20000; // runs in one sweep
const SHOWN = 20000; // characters of the table shown; the download has all of it
const EVERY = 150; // milliseconds between redraws while runs end
const $ = (id) => document.getElementById(id);

// ---------------------------------------------------------------------------
// The form's section: the option, its values and the number of seeds.

export function buildGrid(screen) {
  const offered = SWEEP_PROGRAMS.includes(screen.program);
  $('grid').hidden = !offered;
  if (!offered) return;
  const options = screen.options.filter((o) => o.kind === 'number' && o.name !== '-seed');
  $('grid-option').replaceChildren(...options.map((o) => new Option(`${o.name}  ${o.help}`, o.name)));
}

export function fillGrid(sweep, program) {
  if ($('grid').hidden) return;
  const option = sweep?.option ?? defaultOption(program);
  $('grid-on').checked = Boolean(sweep);
  $('grid-option').value = option;
  $('grid-values').value = sweep ? sweep.values.join(' ') : defaultValues(option);
  $('grid-seeds').value = String(sweep?.seeds ?? 10);
}

// The sweep/run.sh command line the form stands for, or null when its
// sweep is off: the other options of the form go to every run (-a).
export function gridLine(screen, args) {
  if ($('grid').hidden || !$('grid-on').checked) return null;
  const option = $('grid-option').value;
  const rest = [];
  for (let i = 0; i < args.length; i++) {
    const switched = screen.options.find((o) => o.name === args[i])?.kind === 'switch';
    const words = switched ? [args[i]] : [args[i], args[++i]];
    if (words[0] !== option && words[0] !== '-seed') rest.push(...words);
  }
  const values = $('grid-values').value.split(/\s+/).filter(Boolean);
  return formatSweep({program: screen.program, option, values, seeds: $('grid-seeds').value.trim() || '10',
                      argsText: joinWords(rest)});
}

// A changed option in the sweep section brings its default values.
export function wireGrid() {
  $('grid-option').addEventListener('change', () => {
    $('grid-values').value = defaultValues($('grid-option').value);
  });
}

// ---------------------------------------------------------------------------
// The view: every run's measure above its value, and the means as lines.

function sweepData(sweep, results, xLabel) {
  const names = sweep.program === 'tacticpool' ? SHARES : ['average', 'best'];
  const series = names.map((name) => ({name, points: []}));
  for (const r of results) {
    if (!r?.row) continue;
    const words = r.row.split(' ');
    const at = sweep.values.indexOf(words[0]);
    names.forEach((_, k) => series[k].points.push([at, Number(words[2 + k])]));
  }
  const measure = {tacticbreed: 'payoff per round', jobmatch: 'total'}[sweep.program] ?? 'fitness';
  const yLabel = sweep.program === 'tacticpool' ? 'share at the last step' : `${measure}, last generation`;
  return {rows: results.filter(Boolean).length, values: sweep.values, series, xLabel, yLabel};
}

const texts = new WeakMap();
export const GRID_VIEW = {
  name: 'sweep',
  progress: {noun: 'run'},
  make(element) {
    const canvas = document.createElement('canvas');
    canvas.setAttribute('aria-hidden', 'true');
    element.append(canvas);
    canvas.boxWidth = element.clientWidth;
    return {canvas, element};
  },
  draw(view, data) {
    view.data = data;
    texts.set(data, drawSweep(view.canvas, data));
  },
  describe: (data) => texts.get(data) ?? 'No run has ended yet.',
  resize(view) {
    view.canvas.boxWidth = view.element.clientWidth;
    if (view.data) texts.set(view.data, drawSweep(view.canvas, view.data));
  },
};

// ---------------------------------------------------------------------------
// The run: page is the page's run record with its fields as for one program
// (head, chunks, data, ended); update(final) shows it, done(status) ends it.

export function checkGrid(sweep, screen) {
  if (sweep.error) return `sweep/run.sh: ${sweep.error}.`;
  if (!screen.options.some((o) => o.name === sweep.option)) {
    return `sweep/run.sh: ${sweep.program} has no option ${sweep.option} (see ${sweep.program} -help).`;
  }
  const runs = sweep.values.length * sweep.seeds;
  if (runs > GRID_LIMIT) return `The sweep has ${runs} runs; the page runs at most ${GRID_LIMIT}.`;
  return '';
}

export function startGrid(sweep, r, {module, update, done}) {
  const help = r.screen.options.find((o) => o.name === sweep.option)?.help ?? '';
  const words = help.replace(/\s*\([^)]*\)\s*$/, '').replace(/\.$/, '');
  const xLabel = `${words.charAt(0).toLowerCase()}${words.slice(1)} (${sweep.option})`;
  const ended = [];
  let timer = 0;
  // The table comes at the end, as sweep/run.sh writes it; meanwhile the
  // picture grows.
  const redraw = () => {
    timer = 0;
    r.data = [sweepData(sweep, ended, xLabel)];
    update(false);
  };
  const grid = runGrid(sweep, {
    module,
    onResult(result, count) {
      ended[result.index] = result;
      r.ended = count;
      timer ||= setTimeout(redraw, EVERY);
    },
    onDone(results) {
      clearTimeout(timer);
      const table = gridTable(sweep, results);
      const report = gridReport(sweep, grid.runs, results);
      r.head = {stdout: table.slice(0, SHOWN), stderr: report.text};
      for (const [name, text] of [['stdout', table], ['stderr', report.text]]) {
        const blob = new Blob([text]);
        r.chunks[name] = text ? [blob] : [];
        r.size[name] = blob.size;
      }
      r.data = [sweepData(sweep, results, xLabel)];
      done(String(report.status));
    },
  });
  r.expected = grid.runs.length;
  return () => {
    clearTimeout(timer);
    grid.stop();
  };
}
