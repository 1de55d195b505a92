// The page: wires the program picker, the form built from each program's
// help screen, the runs in a worker, the views and the outputs together. The
// URL fragment holds the command line; every run starts from it. This
// thread only draws: workers run the program and read its output, and send
// what is shown (worker.mjs).
import {PROGRAMS} from './suite.mjs';
import {parseHelp} from './help.mjs';
import {parseCommand, formatCommand, seqWords, optionValues} from './command.mjs';
import {viewsFor, describeRun} from './views.mjs';
import {chart, setData, fitWidth} from './plots.mjs';
import {buildForm, fillForm, formCommand} from './form.mjs';
import {parseSweep} from './sweep.mjs';
import {GRID_VIEW, buildGrid, fillGrid, gridLine, wireGrid, checkGrid, startGrid} from './gridpage.mjs';
import {showAbout, listExperiments} from './lessons.mjs';

const SWEEP_LIMIT = 20000; // runs in one diagram
const SETTLE = 600; // ms a choice made with the keyboard must rest before it runs
const DRAW_EVERY = 200; // ms between redraws while a run goes on

const $ = (id) => document.getElementById(id);
const screens = {}; // program -> parsed help screen
const modules = {}; // program -> compiled WebAssembly module, for new workers
const helpWaits = {}; // program -> Promise of its screen
let helper = null; // the worker that reads help screens
let workers = null; // {runner, reader}: run and read a run; ended only to stop one
let current = null; // the run on the page
let runsStarted = 0;

const newWorker = () => new Worker(new URL('./worker.mjs', import.meta.url), {type: 'module'});

function setFragment(command) {
  const hash = '#' + encodeURIComponent(formatCommand(command));
  if (location.hash !== hash) location.hash = hash;
}

// ---------------------------------------------------------------------------
// Help screens. The first is read by the runner that will run the program,
// which then has it compiled; the others by a worker of their own, after
// the first run, so as not to slow it.

function screenOf(program) {
  if (!helpWaits[program]) {
    helper ??= listen(newWorker());
    helpWaits[program] = new Promise((resolve, reject) => {
      helper.waits[program] = {resolve, reject};
    });
    helper.postMessage({type: 'help', id: program, program});
  }
  return helpWaits[program];
}

function listen(w) {
  w.waits = {};
  w.onmessage = ({data}) => {
    const wait = w.waits[data.id];
    if (!wait) return;
    if (data.type === 'crash') {
      delete helpWaits[data.id];
      return wait.reject(new Error(data.message));
    }
    modules[data.program] = data.module;
    screens[data.program] = parseHelp(data.text);
    wait.resolve(screens[data.program]);
  };
  return w;
}

// The first pair was started by index.html, before the modules had come.
function newWorkers() {
  const [runner, reader] = window.earlyWorkers ?? [newWorker(), newWorker()];
  window.earlyWorkers = null;
  return {runner, reader};
}

function readOtherScreens() {
  if (helper === workers?.runner) helper = null;
  Promise.all(PROGRAMS.map(screenOf)).then(() => {
    helper?.terminate();
    helper = null;
  }, () => {});
}

// ---------------------------------------------------------------------------
// A run

function start(command, words = null) {
  halt();
  clearOutputs();
  showCommand(formatCommand(command));
  const screen = screens[command.program];
  const values = optionValues(screen, command.args);
  const run = describeRun(command, {values, words, screen});
  const element = $('plot');
  const ui = {chart, setData, fitWidth, go: setFragment};
  const views = viewsFor(run).map((record) => {
    const box = document.createElement('figure');
    box.dataset.view = record.name;
    const inner = document.createElement('div');
    const caption = document.createElement('figcaption');
    caption.className = 'alt';
    box.append(inner, caption);
    element.append(box);
    const view = record.make(inner, run, ui);
    return {record, view, caption};
  });
  current = {
    command, run, views, id: ++runsStarted, running: true, ended: 0, status: null,
    chunks: {stdout: [], stderr: []}, size: {stdout: 0, stderr: 0}, head: {stdout: '', stderr: ''},
    data: null, shown: {}, drawing: false, drawn: 0, described: 0,
    counter: views.findIndex((v) => v.record.progress),
  };
  $('sine-note').hidden = !(command.program === 'mapseries' && values['-func'] === 'sin');
  workers ??= newWorkers();
  const r = current;
  const crashed = (e) => receive(r, {id: r.id, type: 'crash', message: e.message || 'the worker did not start'});
  const {port1, port2} = new MessageChannel();
  workers.reader.onmessage = (e) => receive(r, e.data);
  workers.reader.onerror = crashed;
  workers.runner.onerror = crashed;
  workers.reader.postMessage({type: 'read', port: port1, id: r.id, command, values, words, screen}, [port1]);
  workers.runner.postMessage({type: 'run', port: port2, command, words, modules: {...modules}}, [port2]);
  document.body.classList.add('running');
  showProgress(r);
}

// Cuts off the run still going, if any, by ending its workers.
function halt() {
  if (!current?.running) return false;
  current.running = false;
  document.body.classList.remove('running');
  if (current.stop) {
    current.stop(); // a sweep's workers
    return true;
  }
  if (helper === workers.runner) { // its screens are asked again
    for (const program of Object.keys(helper.waits)) if (!screens[program]) delete helpWaits[program];
    helper = null;
  }
  workers.runner.terminate();
  workers.reader.terminate();
  workers = null;
  return true;
}

function receive(r, message) {
  if (r !== current || r.id !== message.id || !r.running) return;
  if (message.type === 'end' && message.status === null) {
    message = {type: 'crash', message: 'the program ended without an exit status'};
  }
  if (message.type === 'crash') { // fresh workers for the next run
    r.crash = `The run ended abnormally: ${message.message}`;
    halt();
    return finish(r, 'crashed');
  }
  for (const name of ['stdout', 'stderr']) {
    const blob = message.chunks[name];
    if (blob) {
      r.chunks[name].push(blob);
      r.size[name] += blob.size;
    }
    if (message.head[name] !== undefined) r.head[name] = message.head[name];
  }
  r.data = message.views;
  r.ended = message.ended;
  r.status = message.status;
  if (message.type === 'end') return finish(r, String(message.status));
  if (!r.drawing) { // at most every DRAW_EVERY ms, at a frame
    r.drawing = true;
    setTimeout(() => requestAnimationFrame(() => {
      r.drawing = false;
      if (r.running) show(r, false);
    }), Math.max(0, r.drawn + DRAW_EVERY - performance.now()));
  }
}

// Ends a run on the page with what it has: the last message is the last
// complete state, whether the run ended or was stopped.
function finish(r, status) {
  r.running = false;
  document.body.classList.remove('running');
  show(r, true);
  $('status').textContent = status;
  document.body.classList.toggle('failed', status !== '0');
  $('stopped-note').hidden = status !== 'stopped';
  setDownloads(r);
  if (!helper || helper === workers?.runner) readOtherScreens();
  if (status === 'crashed') return alertText(r.crash);
  if (status === 'stopped') return announce('The run was stopped.');
  if (status === '0') return announce('The run ended with exit status 0.');
  // A run refused before its first row has no progress to speak of.
  if (!r.ended || r.counter < 0 || !r.data?.[r.counter]?.rows) $('progress-text').textContent = '';
  const said = /^Usage: /.test(r.head.stderr)
    ? `The program printed its help screen (exit status ${status}).`
    : `The run failed with exit status ${status}.`;
  alertText(said, failureMessage(r.head.stderr));
  announce(said);
}

// The program's message, without the help screen that may follow it.
function failureMessage(stderr) {
  const usage = stderr.search(/^Usage: /m);
  const text = (usage >= 0 ? stderr.slice(0, usage) : stderr).trim();
  return text.split('\n').slice(0, 6).join('\n');
}

// ---------------------------------------------------------------------------
// Showing it

// The command line, broken between its words only (never after a dash).
function showCommand(line) {
  const words = line.split(' ').map((w) => Object.assign(document.createElement('span'), {textContent: w}));
  $('command').replaceChildren(...words.flatMap((w, i) => (i ? [' ', w] : [w])));
}

// A refusal or failure: said at once by the alert, and seen.
function alertText(text, detail = '') {
  $('alert').hidden = false; // shown first: a reader announces what then comes into it
  $('alert-detail').hidden = !detail;
  $('alert-text').textContent = text;
  $('alert-detail').textContent = detail;
}

function announce(text) {
  $('announce').textContent = text;
}

function refuse(text) {
  halt();
  current = null;
  clearOutputs();
  $('status').textContent = '';
  document.body.classList.add('failed');
  alertText(text);
  announce(text);
}

function clearOutputs() {
  for (const id of ['stdout', 'stderr', 'status', 'progress-text', 'announce']) $(id).textContent = '';
  $('plot').replaceChildren();
  for (const id of ['stdout-note', 'stderr', 'sine-note', 'alert', 'stopped-note']) $(id).hidden = true;
  document.body.classList.remove('failed');
  for (const id of ['download-stdout', 'download-stderr']) {
    const a = $(id);
    if (a.href) URL.revokeObjectURL(a.href);
    a.removeAttribute('href');
    a.hidden = true;
  }
}

function showText(r) {
  for (const name of ['stdout', 'stderr']) {
    const text = r.head[name];
    if (r.shown[name] === text) continue;
    r.shown[name] = text;
    $(name).textContent = text;
    if (name === 'stderr') $('stderr').hidden = !text;
  }
  $('stdout-note').hidden = !(r.size.stdout > r.head.stdout.length);
}

function showProgress(r) {
  const {run} = r;
  const done = run.sweep ? r.ended : r.data?.[r.counter]?.rows ?? 0;
  const noun = r.counter >= 0 ? r.views[r.counter].record.progress.noun : 'row';
  const bar = $('progress');
  if (run.expected > 0) {
    bar.max = run.expected;
    bar.value = Math.min(done, run.expected);
  } else {
    bar.removeAttribute('value');
  }
  $('progress-text').textContent = run.expected > 0 ? `${noun} ${done} of ${run.expected}` : `${done} ${noun}s`;
}

// Draws the latest snapshots; the text alternatives follow at most once a
// second while the run goes on.
function show(r, final) {
  r.drawn = performance.now();
  showText(r);
  showProgress(r);
  if (!r.data) return;
  const now = performance.now();
  const describe = final || now - r.described > 1000;
  if (describe) r.described = now;
  for (const [i, {record, view, caption}] of r.views.entries()) {
    caption.parentNode.hidden = r.data[i].rows === 0; // nothing to see yet
    record.draw(view, r.data[i], r.run);
    if (describe) caption.textContent = record.describe(r.data[i], r.run);
  }
}

function setDownloads(r) {
  const {program} = r.command;
  for (const name of ['stdout', 'stderr']) {
    const a = $(`download-${name}`);
    a.hidden = !r.size[name];
    if (!r.size[name]) continue;
    a.href = URL.createObjectURL(new Blob(r.chunks[name], {type: 'text/plain'}));
    // A sweep's table is named as sweep/run.sh names it.
    a.download = `${r.grid ? 'table' : program}${name === 'stderr' ? '-stderr' : ''}.txt`;
  }
}

// ---------------------------------------------------------------------------
// Wiring

let arrived = 0; // the fragment being read; an older one that was waiting gives way

async function fromFragment() {
  const turn = ++arrived;
  const raw = location.hash.slice(1);
  if (!raw) {
    // The bare page opens with the first program, without a history entry.
    history.replaceState(null, '', '#' + encodeURIComponent(PROGRAMS[0]));
    return fromFragment();
  }
  const read = readFragment(raw);
  if (read.refusal) {
    showCommand(read.line);
    return refuseWithForm(read.refusal);
  }
  if (read.grid) {
    showCommand(read.line);
    return fromGrid(read.grid, turn);
  }
  const {command, words} = read;
  await screenOf(command.program); // the command shows once its run starts
  if (turn !== arrived) return;
  showProgram(command.program);
  fillForm(screens[command.program], command.args, command.sweep);
  fillGrid(null, command.program);
  start(command, words);
}

// A sweep/run.sh command line: its grid of runs spread over workers, shown
// as one run whose output is the table.
async function fromGrid(grid, turn) {
  if (grid.error) return refuseWithForm(checkGrid(grid, null));
  const screen = await screenOf(grid.program);
  if (turn !== arrived) return;
  const refusal = checkGrid(grid, screen);
  if (refusal) return refuseWithForm(refusal);
  showProgram(grid.program);
  fillForm(screen, grid.args, null);
  fillGrid(grid, grid.program);
  halt();
  clearOutputs();
  const box = document.createElement('figure');
  box.dataset.view = GRID_VIEW.name;
  const inner = document.createElement('div');
  const caption = Object.assign(document.createElement('figcaption'), {className: 'alt'});
  box.append(inner, caption);
  $('plot').append(box);
  const r = current = {
    command: {program: grid.program, args: grid.args, sweep: null}, grid, screen, id: ++runsStarted,
    views: [{record: GRID_VIEW, view: GRID_VIEW.make(inner), caption}], counter: 0, running: true, ended: 0,
    chunks: {stdout: [], stderr: []}, size: {stdout: 0, stderr: 0}, head: {stdout: '', stderr: ''},
    data: null, shown: {}, described: 0,
  };
  r.stop = startGrid(grid, r, {
    module: modules[grid.program],
    update: () => r === current && r.running && show(r, false),
    done: (status) => r === current && r.running && finish(r, status),
  });
  r.run = {program: grid.program, sweep: grid, expected: r.expected};
  document.body.classList.add('running');
  showProgress(r);
  readOtherScreens();
}

// {command, words} from the address's fragment, {line, grid} for a
// sweep/run.sh command line, or {line, refusal}.
function readFragment(raw) {
  let line = raw, command;
  const refuse = (refusal) => ({line, refusal});
  try {
    line = decodeURIComponent(raw);
  } catch {
    return refuse('The address does not hold a command line: it has a % that is not an escape.');
  }
  const grid = parseSweep(line);
  if (grid) return {line, grid};
  try {
    command = parseCommand(line);
  } catch (e) {
    return refuse(e.message);
  }
  if (!command.program.trim()) return refuse('The command line in the address is empty.');
  if (!PROGRAMS.includes(command.program)) {
    return refuse(`There is no program "${command.program}". The programs are: ${PROGRAMS.join(', ')}.`);
  }
  if (command.sweep && command.program !== 'mapseries') {
    return refuse('Only mapseries sweeps r: the other programs have no -r.');
  }
  if (!command.sweep) return {command, words: null};
  const seq = seqWords(command.sweep, SWEEP_LIMIT);
  return seq.error ? refuse(seq.error) : {command, words: seq.words};
}

// A refusal that leaves a form to go on with: the one shown, or the first
// program's.
async function refuseWithForm(text) {
  refuse(text);
  if ($('options').dataset.program) return;
  const turn = arrived;
  await screenOf(PROGRAMS[0]);
  if (turn !== arrived || $('options').dataset.program) return;
  showProgram(PROGRAMS[0]);
  fillForm(screens[PROGRAMS[0]], [], null);
}

function showProgram(program) {
  $('program').value = program;
  $('summary').textContent = screens[program].summary;
  $('description').textContent = screens[program].description;
  showAbout(program);
  if ($('options').dataset.program !== program) {
    buildForm(screens[program], program === 'mapseries');
    buildGrid(screens[program]);
  }
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

// The picker runs a choice made by pointer at once, and one made with the
// keys once they rest, so that arrowing through it starts one run.
function wirePicker() {
  const picker = $('program');
  let keyed = 0, timer = 0;
  picker.onkeydown = () => { keyed = performance.now(); };
  picker.onchange = () => {
    clearTimeout(timer);
    const choose = () => {
      timer = 0;
      setFragment({program: picker.value, args: [], sweep: null});
    };
    if (performance.now() - keyed < SETTLE) timer = setTimeout(choose, SETTLE);
    else choose();
  };
  picker.onblur = () => {
    if (!timer) return;
    clearTimeout(timer);
    timer = 0;
    setFragment({program: picker.value, args: [], sweep: null});
  };
}

function init() {
  workers = newWorkers();
  helper = listen(workers.runner);
  for (const program of PROGRAMS) $('program').append(new Option(program, program));
  wirePicker();
  const fromForm = () => {
    const program = $('options').dataset.program;
    if (!program) return;
    const grid = gridLine(screens[program], formCommand(screens[program]).args);
    if (grid) location.hash = '#' + encodeURIComponent(grid);
    else setFragment({program, ...formCommand(screens[program])});
  };
  $('controls').onchange = (e) => { if (e.target.id !== 'program') fromForm(); };
  $('controls').onsubmit = (e) => { e.preventDefault(); fromForm(); };
  $('run').onclick = () => {
    if (current && !current.grid) start(current.command, current.run.words);
    else fromFragment();
  };
  $('stop').onclick = () => halt() && finish(current, 'stopped');
  $('reset').onclick = () => setFragment({program: $('program').value, args: [], sweep: null});
  $('copy').onclick = copyCommand;
  wireGrid();
  listExperiments($('experiments'));
  window.onhashchange = () => fromFragment().catch(startFailed);
  let width = 0;
  new ResizeObserver(() => {
    if ($('plot').clientWidth === width) return;
    width = $('plot').clientWidth;
    for (const {record, view} of current?.views ?? []) record.resize?.(view);
  }).observe($('plot'));
  fromFragment().catch(startFailed);
}

function startFailed(e) {
  refuse(`The page could not start the program: ${e.message}`);
}

init();
