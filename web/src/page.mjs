// The page: wires the program picker, the form built from each program's
// help screen, the runs in a worker, the plots and the outputs together. The
// URL fragment holds the command line; every run starts from it.
import {run, PROGRAMS} from './suite.mjs';
import {parseHelp} from './help.mjs';
import {parseCommand, formatCommand, seqWords} from './command.mjs';
import {newTable, addText, finishText, readColumns} from './columns.mjs';
import {chart, redraw, gaColumns, fitWidth} from './plots.mjs';
import {buildForm, fillForm, formCommand} from './form.mjs';

// What the page does with each program's output: the stream it plots, the
// option that counts its rows, and how it draws them.
const KINDS = {
  peakseek: {stream: 'stdout', count: '-gens', noun: 'generation', plot: 'ga'},
  hillscan: {stream: 'stdout', count: '-gens', noun: 'generation', plot: 'ga'},
  jobmatch: {stream: 'stdout', count: '-gens', noun: 'generation', plot: 'ga'},
  tacticbreed: {stream: 'stderr', count: '-gens', noun: 'generation', plot: 'ga'},
  tacticpool: {stream: 'stdout', count: '-steps', noun: 'step', plot: 'shares'},
  mapseries: {stream: 'stdout', count: '-points', noun: 'point', plot: 'series'},
  orbitpin: {stream: 'stdout', count: '-points', noun: 'step', plot: 'control'},
};
const SWEEP_LIMIT = 20000; // runs in one diagram
const SHOWN_TEXT = 50000; // characters of a stream shown; a longer pre slows every run down

const $ = (id) => document.getElementById(id);
const screens = {}; // program -> parsed help screen
let current = null; // the run on the page
let worker = null; // kept from run to run; ended only to stop a run
let runs_started = 0;

function setFragment(command) {
  const hash = '#' + encodeURIComponent(formatCommand(command));
  if (location.hash !== hash) location.hash = hash;
}

// ---------------------------------------------------------------------------
// A run

// The text an option is given last, or its default.
function optionText(program, args, name) {
  const i = args.lastIndexOf(name);
  return i >= 0 && i + 1 < args.length ? args[i + 1]
    : screens[program].options.find((o) => o.name === name)?.value;
}

function optionValue(program, args, name) {
  return Number.parseInt(optionText(program, args, name) ?? '', 10) || 0;
}

function newRun(command, runs) {
  const {program, args} = command;
  return {
    command, runs, id: ++runs_started, kind: KINDS[program], running: true, ended: 0, status: null,
    stdout: [], stderr: [], runText: [], table: newTable(), sweepX: [], sweepY: [],
    expected: command.sweep ? runs.length : optionValue(program, args, KINDS[program].count),
    plots: [], shownAt: 0,
  };
}

function start(command) {
  halt();
  showCommand(formatCommand(command));
  const {program, args, sweep} = command;
  let runs = [args];
  if (sweep) {
    const words = seqWords(sweep, SWEEP_LIMIT);
    if (!words) return pageError('The sweep needs decimal numbers, from, step and to, with a step above 0.');
    runs = words.map((r) => [...args, '-r', r]);
  }
  current = newRun(command, runs);
  clearOutputs();
  $('sine-note').hidden = !(program === 'mapseries' && optionText(program, args, '-func') === 'sin');
  worker ??= new Worker(new URL('./worker.mjs', import.meta.url), {type: 'module'});
  worker.onmessage = (e) => receive(current, e.data);
  worker.onerror = (e) => receive(current, {id: current.id, type: 'crash', message: e.message || 'the worker did not start'});
  worker.postMessage({id: current.id, program, runs});
  document.body.classList.add('running');
  showProgress(current);
}

// Cuts off the run still going, if any, by ending its worker.
function halt() {
  if (!current?.running) return false;
  current.running = false;
  document.body.classList.remove('running');
  worker.terminate();
  worker = null;
  return true;
}

function receive(r, message) {
  if (!r || r.id !== message.id || !r.running) return;
  switch (message.type) {
  case 'stdout':
  case 'stderr':
    r[message.type].push(message.text);
    if (r.command.sweep) r.runText[message.index] = (r.runText[message.index] ?? '') + (message.type === 'stdout' ? message.text : '');
    else if (message.type === r.kind.stream) addText(r.table, message.text);
    break;
  case 'end':
    r.ended = message.index + 1;
    r.status = message.status;
    if (r.command.sweep) addSweepPoints(r, message.index);
    break;
  case 'done':
    return finish(r, String(r.status));
  case 'crash':
    r.stderr.push(`The run ended abnormally: ${message.message}\n`);
    return finish(r, 'crashed');
  }
  update(r, false);
}

function addSweepPoints(r, index) {
  const values = readColumns(r.runText[index] ?? '').columns[0] ?? [];
  const x = Number(r.runs[index].at(-1));
  for (const v of values) if (v !== null) { r.sweepX.push(x); r.sweepY.push(v); }
  r.runText[index] = '';
}

function finish(r, status) {
  r.running = false;
  document.body.classList.remove('running');
  if (!r.command.sweep) finishText(r.table);
  update(r, true);
  // A run refused before its first row has no progress to speak of.
  if (status !== '0' && !r.command.sweep && !r.table.rows) $('progress-text').textContent = '';
  $('status').textContent = status;
  document.body.classList.toggle('failed', status !== '0');
  setDownloads(r);
}

// ---------------------------------------------------------------------------
// Showing it

// The command line, broken between its words only (never after a dash).
function showCommand(line) {
  const words = line.split(' ').map((w) => Object.assign(document.createElement('span'), {textContent: w}));
  $('command').replaceChildren(...words.flatMap((w, i) => (i ? [' ', w] : [w])));
}

function pageError(text) {
  halt();
  current = null;
  clearOutputs();
  $('stderr').textContent = text;
  $('status').textContent = '';
  document.body.classList.add('failed');
}

function clearOutputs() {
  for (const id of ['stdout', 'stderr', 'status', 'progress-text']) $(id).textContent = '';
  $('plot').replaceChildren();
  $('stdout-note').hidden = true;
  $('stderr').hidden = true;
  $('sine-note').hidden = true;
  document.body.classList.remove('failed');
  for (const id of ['download-stdout', 'download-stderr']) {
    const a = $(id);
    if (a.href) URL.revokeObjectURL(a.href);
    a.removeAttribute('href');
    a.hidden = true;
  }
}

function showText(r, final) {
  const now = performance.now();
  if (!final && now - r.shownAt < 300) return;
  r.shownAt = now;
  for (const name of ['stdout', 'stderr']) {
    let text = r[name].join('');
    if (r[name].length > 1) r[name] = [text];
    const cut = text.length > SHOWN_TEXT;
    if (cut) text = text.slice(0, SHOWN_TEXT);
    $(name).textContent = text;
    if (name === 'stdout') $('stdout-note').hidden = !cut;
    if (name === 'stderr') $('stderr').hidden = !text;
  }
}

function showProgress(r) {
  const done = r.command.sweep ? r.ended : r.table.rows;
  const bar = $('progress');
  if (r.expected > 0) {
    bar.max = r.expected;
    bar.value = Math.min(done, r.expected);
  } else {
    bar.removeAttribute('value');
  }
  const noun = r.command.sweep ? 'run' : r.kind.noun;
  $('progress-text').textContent = r.expected > 0 ? `${noun} ${done} of ${r.expected}` : `${done} ${noun}s`;
}

function update(r, final) {
  showText(r, final);
  showProgress(r);
  drawPlots(r);
}

function setDownloads(r) {
  const {program} = r.command;
  for (const name of ['stdout', 'stderr']) {
    const a = $(`download-${name}`);
    const text = r[name].join('');
    a.hidden = !text;
    if (!text) continue;
    a.href = URL.createObjectURL(new Blob([text], {type: 'text/plain'}));
    a.download = `${program}${name === 'stderr' ? '-stderr' : ''}.txt`;
  }
}

// ---------------------------------------------------------------------------
// Plots

function shareLabels(program) {
  return screens[program].options
    .map((o) => /^Initial population of (.*)\.$/.exec(o.help)?.[1]).filter(Boolean);
}

function controlRanges(program, args) {
  const v = (name) => optionValue(program, args, name);
  return [[v('-on1'), v('-off')], [v('-on2'), v('-points')]];
}

// The charts of a run, made when its first rows have come: a statistics
// block names its own measures.
function makePlots(r) {
  const {program, args, sweep} = r.command;
  const element = $('plot');
  const box = () => element.appendChild(document.createElement('div'));
  if (sweep) {
    r.plots = [chart(box(), {x: 'r', y: 'x', labels: ['x'], points: true, height: 420})];
  } else if (r.kind.plot === 'ga') {
    const labels = gaColumns(r.table).map((i) => r.table.names[i]);
    r.plots = [chart(box(), {x: 'generation', y: '', labels})];
  } else if (r.kind.plot === 'shares') {
    r.plots = [chart(box(), {x: 'step', y: 'share of the population', labels: shareLabels(program)})];
  } else if (r.kind.plot === 'series') {
    r.plots = [chart(box(), {x: 'iterate', y: 'x', labels: ['x'], height: 380})];
  } else {
    const ranges = controlRanges(program, args);
    r.plots = [chart(box(), {x: 't', y: 'x(t)', labels: ['x(t)'], ranges, shaded: 'control on', height: 300}),
               chart(box(), {x: 't', y: 'p(t)', labels: ['p(t)'], ranges, height: 200})];
  }
}

// x values 1, 2, 3, ... (offset by `from`), grown as rows come.
function counting(r, from) {
  const xs = r.xs ?? (r.xs = []);
  for (let i = xs.length; i < r.table.rows; i++) xs.push(from + i);
  return xs;
}

function drawPlots(r) {
  const {table} = r;
  const column = (name) => table.columns[table.names.indexOf(name)] ?? [];
  if (!table.rows && !r.sweepX.length) return;
  if (!r.plots.length) makePlots(r);
  if (r.command.sweep) return redraw(r.plots[0], [r.sweepX, r.sweepY]);
  switch (r.kind.plot) {
  case 'ga': {
    return redraw(r.plots[0], [column('time'), ...gaColumns(table).map((i) => table.columns[i])]);
  }
  case 'shares':
    return redraw(r.plots[0], [counting(r, 0), ...table.columns.slice(0, 5)]);
  case 'series':
    return redraw(r.plots[0], [counting(r, Math.max(0, optionValue('mapseries', r.command.args, '-skip')) + 1),
                               column('1')]);
  default:
    redraw(r.plots[0], [column('t'), column('x[t]')]);
    redraw(r.plots[1], [column('t'), column('p[t]')]);
  }
}

// ---------------------------------------------------------------------------
// Wiring

function fromFragment() {
  let line = location.hash.slice(1);
  try {
    line = decodeURIComponent(line);
  } catch { /* a fragment typed with a bare % stays as it is */ }
  if (!line.trim()) {
    // The bare page opens with the first program, without a history entry.
    history.replaceState(null, '', '#' + encodeURIComponent(PROGRAMS[0]));
    return fromFragment();
  }
  const command = parseCommand(line);
  if (!screens[command.program]) {
    showCommand(line);
    return pageError(`There is no program "${command.program}". The programs are: ${PROGRAMS.join(', ')}.`);
  }
  if (command.sweep && command.program !== 'mapseries') command.sweep = null;
  showProgram(command.program);
  fillForm(screens[command.program], command.args, command.sweep);
  start(command);
}

function showProgram(program) {
  $('program').value = program;
  $('summary').textContent = screens[program].summary;
  $('description').textContent = screens[program].description;
  if ($('options').dataset.program !== program) buildForm(screens[program], program === 'mapseries');
}

async function copyCommand() {
  const text = $('command').textContent;
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    const area = Object.assign(document.createElement('textarea'), {value: text});
    document.body.append(area);
    area.select();
    document.execCommand('copy');
    area.remove();
  }
  $('copy').textContent = 'Copied';
  setTimeout(() => { $('copy').textContent = 'Copy'; }, 1500);
}

async function init() {
  for (const program of PROGRAMS) {
    screens[program] = parseHelp((await run(program, ['-help'])).stderr);
    $('program').append(new Option(program, program));
  }
  $('program').onchange = () => setFragment({program: $('program').value, args: [], sweep: null});
  const fromForm = () => setFragment({program: $('program').value, ...formCommand(screens[$('program').value])});
  $('controls').onchange = (e) => { if (e.target.id !== 'program') fromForm(); };
  $('controls').onsubmit = (e) => { e.preventDefault(); fromForm(); };
  $('run').onclick = () => current && start(current.command);
  $('stop').onclick = () => halt() && finish(current, 'stopped');
  $('reset').onclick = () => setFragment({program: $('program').value, args: [], sweep: null});
  $('copy').onclick = copyCommand;
  window.onhashchange = fromFragment;
  window.onresize = () => current && fitWidth(current.plots, $('plot'));
  fromFragment();
}

init().catch((e) => pageError(`The page could not start: ${e.message}`));
