// The page: wires the program picker, the form built from each program's
// help screen, the runs, the views and the outputs together. The URL
// fragment holds the command line; every run starts from it. This thread
// only draws: a pool of workers runs the programs and one reads their
// output (pool.mjs, worker.mjs, messages.mjs).
//
// Every run goes one way, whether a single program, a bifurcation loop over
// r or a sweep/run.sh grid: its jobs go to the pool, their bytes to the
// reader, the reader's snapshots to the views (views.mjs), and Stop ends
// them all in one place (stop).
import {PROGRAMS} from './suite.mjs';
import {parseHelp} from './help.mjs';
import {formatCommand, optionValues, readFragment} from './command.mjs';
import {describeRun} from './views.mjs';
import {views} from './drawings.mjs';
import {buildForm, fillForm, formCommand} from './form.mjs';
import {parseSweep, sweepRuns} from './sweep.mjs';
import {buildSweepForm, fillSweepForm, sweepLine, wireSweepForm, checkSweep} from './sweepform.mjs';
import {showAbout, listExperiments} from './lessons.mjs';
import {showExperiment, offerFinding, bringToExperiment, wireExperiments} from './experiment.mjs';
import {MSG, SHOWN} from './messages.mjs';
import {newPool} from './pool.mjs';
import {offerSweepRecord} from './sweepdownloads.mjs';
import {TIMING, newThrottle, newSettler} from './timing.mjs';
import {splitFragment, joinFragment, withKept, versionNote} from './compare.mjs';
import {embedded, wireEmbed, tellParent, wireDownloads} from './embed.mjs';
import {showKept, labelKept, keepable, keptRun, restoreKept} from './kept.mjs';
import {showCommand, alertText, announce, clearOutputs, showText, showProgress, setDownloads,
        failureMessage} from './show.mjs';
import {showReadNotices} from './readnotice.mjs';
import {addFigureExports} from './figure.mjs';
import {aboutRun, offerDataExports, dropDataExports} from './exportdata.mjs';
import {fileStem} from './exports.mjs';

const $ = (id) => document.getElementById(id);

// The page's one state.
const state = {
  pool: newPool(),
  screens: {}, // program -> parsed help screen
  helpWaits: {}, // program -> Promise of its screen
  run: null, // the run on the page (start)
  runsStarted: 0,
  arrived: 0, // the fragment being read; an older one that was waiting gives way
  plotWidth: 0,
  toExperiment: false, // an experiment was chosen from the list: its run is brought into view
  kept: [], // runs kept to compare with (kept.mjs), as the address lists them
  keptViews: [], // their drawings
};

const TITLE = document.title;

const keptLines = () => state.kept.map((k) => k.line);

function setFragment(command) {
  const hash = '#' + joinFragment(formatCommand(command), keptLines());
  if (location.hash !== hash) location.hash = hash;
}

// A program's help screen, read once by a runner of the pool, which then
// keeps the program compiled for the runs.
function screenOf(program) {
  state.helpWaits[program] ??= askHelp(program);
  return state.helpWaits[program];
}

async function askHelp(program) {
  try {
    const reply = await state.pool.submit({tag: 'help', urgent: true, message: {type: MSG.HELP, program}});
    if (reply.type !== MSG.HELPED) throw new Error(reply.error);
    return (state.screens[program] = parseHelp(reply.text));
  } catch (e) {
    delete state.helpWaits[program];
    throw e;
  }
}

// The other programs' screens, once a run has ended, so as not to slow it;
// one at a time, since each compiles its program, and a run may follow.
async function readOtherScreens() {
  for (const program of PROGRAMS) await screenOf(program).catch(() => {});
}

// ---------------------------------------------------------------------------
// A run: {line, command, words, sweep}; words: a bifurcation loop's values
// of r, sweep: a sweep/run.sh grid (sweep.mjs).

function jobsOf({command: {program, args}, words, sweep}) {
  if (sweep) return sweepRuns(sweep).map((point, index) => ({index, program, args: point.args}));
  if (words) return words.map((r, index) => ({index, program, args: [...args, '-r', r]}));
  return [{index: 0, program, args}];
}

function makeView(v, run, about) {
  const box = document.createElement('figure');
  box.dataset.view = v.name;
  const inner = document.createElement('div');
  const caption = Object.assign(document.createElement('figcaption'), {className: 'alt'});
  box.append(inner, caption);
  $('plot').append(box);
  const made = {...v, view: v.drawing.make(inner, run, setFragment), caption};
  addFigureExports(box, made, about);
  return made;
}

function start(plan) {
  supersede();
  clearOutputs();
  showCommand(plan.line);
  const {command, words = null, sweep = null} = plan;
  const screen = state.screens[command.program];
  const values = optionValues(screen, command.args);
  const run = describeRun(command, {values, words, sweep, screen});
  showReadNotices(screen, command.args);
  dropDataExports();
  const about = aboutRun(command, run);
  const named = {program: command.program, line: plan.line, stem: fileStem(about)};
  const r = state.run = {
    id: ++state.runsStarted, plan, command, run, views: views(run).map((v) => makeView(v, run, named)),
    about, stem: named.stem, started: new Date().toISOString(),
    running: true, ended: 0, status: null, data: null, shown: {},
    chunks: {stdout: [], stderr: []}, size: {stdout: 0, stderr: 0}, head: {stdout: '', stderr: ''},
  };
  r.redraw = newThrottle(TIMING.draw, () => requestAnimationFrame(() => r.running && show(r, false)));
  r.describer = newThrottle(TIMING.describe, () => r.running && describe(r));
  labelKept(state.kept, r);
  $('keep').disabled = true;
  $('sine-note').hidden = !(command.program === 'mapseries' && values['-func'] === 'sin');
  const reader = state.pool.reader();
  reader.onmessage = ({data}) => receive(r, data);
  reader.onerror = (e) => receive(r, {id: r.id, type: MSG.CRASH, message: e.message || 'the worker did not start'});
  reader.postMessage({type: MSG.READ, id: r.id, command: {program: command.program, args: command.args},
                      values, words, sweep, screen});
  for (const job of jobsOf(plan)) submit(r, reader, job);
  document.body.classList.add('running');
  document.body.dataset.state = 'running';
  document.title = `${plan.line} – ${TITLE}`;
  showProgress(r);
  if (state.toExperiment) bringToExperiment();
  state.toExperiment = false;
}

// One job of a run: its bytes go straight to the reader, through a port
// made as the job starts.
function submit(r, reader, job) {
  const prepare = () => {
    const {port1, port2} = new MessageChannel();
    reader.postMessage({type: MSG.SOURCE, id: r.id, port: port1}, [port1]);
    return {message: {type: MSG.RUN, job, port: port2}, transfer: [port2]};
  };
  state.pool.submit({tag: r.id, prepare}).then((reply) => {
    // A runner that died could not say so to the reader.
    if (reply.died) reader.postMessage({type: MSG.ENDED, id: r.id, index: job.index, status: null, error: reply.error});
  }, () => {});
}

// The one way a run is cut off: its jobs dropped, its runners and reader
// ended. False when no run was going.
function stop() {
  const r = state.run;
  if (!r?.running) return false;
  r.running = false;
  r.redraw.cancel();
  r.describer.cancel();
  state.pool.stop(r.id);
  state.pool.endReader();
  document.body.classList.remove('running');
  return true;
}

// A run cut off by the next one: an embedding page still hears how it
// ended.
function supersede() {
  const r = state.run;
  if (stop()) tellParent(state.pool, {command: r.plan.line, status: 'stopped', stdout: r.chunks.stdout});
}

function receive(r, message) {
  if (r !== state.run || r.id !== message.id || !r.running) return;
  if (message.type === MSG.CRASH) {
    r.crash = `The run ended abnormally: ${message.message}`;
    stop();
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
  if (message.type === MSG.END) return finish(r, String(message.status));
  r.redraw.request();
}

// A view whose data makes the run's output (a sweep's table) replaces what
// the programs printed; its status is the run's, unless the run was cut off.
function takeOutput(r, status) {
  const i = r.views.findIndex((v) => v.drawing.output);
  if (i < 0 || !r.data) return status;
  const made = r.views[i].drawing.output(r.data[i], r.run);
  for (const name of ['stdout', 'stderr']) {
    const blob = new Blob([made[name]]);
    r.chunks[name] = made[name] ? [blob] : [];
    r.size[name] = blob.size;
    r.head[name] = made[name].slice(0, SHOWN);
  }
  return status === 'stopped' || status === 'crashed' ? status : String(made.status);
}

// Ends a run on the page with what it has: the last message is the last
// complete state, whether the run ended or was stopped.
function finish(r, ended) {
  r.running = false;
  // What is left of a loop that ended at a failed run. (After a whole run
  // the runners may not have said so yet: they are kept.)
  if (r.run.words && ended !== '0') state.pool.stop(r.id);
  document.body.classList.remove('running');
  const status = takeOutput(r, ended);
  show(r, true);
  $('status').textContent = status;
  document.body.dataset.state = 'ended';
  document.body.classList.toggle('failed', status !== '0');
  $('stopped-note').hidden = status !== 'stopped';
  setDownloads(r);
  offerSweepRecord(state.pool, r);
  offerDataExports(r, status);
  $('keep').disabled = !keepable(r, status, state.kept);
  r.plan.after?.(r, status);
  tellParent(state.pool, {command: r.plan.line, status, stdout: r.chunks.stdout});
  readOtherScreens();
  offerFinding();
  if (status === 'crashed') return alertText(r.crash);
  if (status === 'stopped') return announce('The run was stopped.');
  if (status === '0') return announce('The run ended with exit status 0.');
  // Asked for, the help screen is an answer, not a failure.
  if (r.command.args.includes('-help') && /^Usage: /.test(r.head.stderr)) {
    document.body.classList.remove('failed');
    return announce(`The program printed its help screen, as asked (exit status ${status}).`);
  }
  // A run refused before its first row has no progress to speak of.
  const counter = r.views.findIndex((v) => v.progress);
  if (!r.ended || counter < 0 || !r.data?.[counter]?.rows) $('progress-text').textContent = '';
  const said = /^Usage: /.test(r.head.stderr)
    ? `The program printed its help screen (exit status ${status}).`
    : `The run failed with exit status ${status}.`;
  alertText(said, failureMessage(r.head.stderr));
  announce(said);
}

// Draws the latest snapshots; the text alternatives follow at most every
// TIMING.describe ms while the run goes on.
function show(r, final) {
  showText(r);
  showProgress(r);
  if (!r.data) return;
  for (const [i, {drawing, view, caption}] of r.views.entries()) {
    caption.parentNode.hidden = r.data[i].rows === 0; // nothing to see yet
    drawing.draw(view, r.data[i], r.run);
  }
  if (!final) return r.describer.request();
  r.describer.cancel();
  describe(r);
}

function describe(r) {
  for (const [i, {drawing, view, caption}] of r.views.entries()) {
    caption.textContent = drawing.describe(r.data[i], r.run, view);
  }
}

function refuse(text) {
  supersede();
  state.run = null;
  clearOutputs();
  labelKept(state.kept, null);
  $('keep').disabled = true;
  dropDataExports();
  showReadNotices(null, []);
  $('status').textContent = '';
  document.body.classList.add('failed');
  document.body.dataset.state = 'refused';
  alertText(text);
  announce(text);
  tellParent(state.pool, {command: $('command').textContent, status: 'refused', message: text});
}

// ---------------------------------------------------------------------------
// Wiring. body's data-state says where the page is: 'loading' a command
// line, its run 'running', 'ended' (its status shown) or 'refused'.

async function fromFragment() {
  document.body.dataset.state = 'loading';
  const turn = ++state.arrived;
  const raw = location.hash.slice(1);
  if (!raw) {
    // The bare page opens with the first program, without a history entry.
    history.replaceState(null, '', '#' + encodeURIComponent(PROGRAMS[0]));
    return fromFragment();
  }
  const {current, kept, version} = splitFragment(raw);
  $('version-note').textContent = versionNote(version);
  $('version-note').hidden = !$('version-note').textContent;
  if (embedded()) kept.length = 0; // an embedded page shows one picture
  if (!await restoreKept(state, kept, keeping(turn))) return;
  const read = readFragment(current, {programs: PROGRAMS, parseSweep});
  // The address lists the runs kept, as they are now.
  const whole = '#' + withKept(current, keptLines());
  if (location.hash !== whole) history.replaceState(null, '', whole);
  // The run on the page gives way at once, while a help screen may still
  // have to be read for the one asked for.
  supersede();
  clearOutputs();
  showCommand(read.command ? formatCommand(read.command) : read.line);
  showExperiment(read.line);
  if (read.refusal) return refuseWithForm(read.refusal);
  if (read.sweep) return fromSweep(read, turn);
  const {command, words} = read;
  const screen = await screenOf(command.program);
  if (turn !== state.arrived) return;
  showProgram(command.program);
  fillForm(screen, command.args, command.bifurcation);
  fillSweepForm(null, command.program);
  start({line: formatCommand(command), command, words});
}

// What restoreKept asks of the page: the kept command lines of a link read,
// planned and run as a fragment's are.
function keeping(turn) {
  const read = (raw) => readFragment(raw, {programs: PROGRAMS, parseSweep});
  return {
    read(raw) {
      const got = read(raw);
      return got.sweep ? got.line : got.command ? formatCommand(got.command) : null;
    },
    async plan(raw) {
      const {line, command, words, sweep} = read(raw);
      if (!command && (!sweep || sweep.error)) return null;
      const screen = await screenOf(command?.program ?? sweep.program);
      if (!sweep) return {line: formatCommand(command), command, words};
      if (checkSweep(sweep, screen)) return null;
      return {line, command: {program: sweep.program, args: sweep.args, bifurcation: null}, sweep};
    },
    run: (plan) => new Promise((resolve) => start({...plan, after: (r, status) => resolve({r, status})})),
    still: () => turn === state.arrived,
    shown: showKeptRuns,
  };
}

function showKeptRuns() {
  state.keptViews = showKept(state.kept, {remove: removeKept, go: setFragment});
  labelKept(state.kept, state.run);
  if (state.run && !state.run.running) $('keep').disabled = !keepable(state.run, $('status').textContent, state.kept);
}

// Keep and Remove change the address without a new run.
function keptChanged() {
  const {current} = splitFragment(location.hash.slice(1));
  history.replaceState(null, '', '#' + withKept(current, keptLines()));
  showKeptRuns();
}

const removeButtons = () => [...$('kept').querySelectorAll('.kept-run button')];

// The focus goes to a Remove button, since Keep is now disabled or gone.
function keepRun() {
  if (!keepable(state.run, $('status').textContent, state.kept)) return;
  state.kept.push(keptRun(state.run));
  keptChanged();
  removeButtons().at(-1).focus();
}

function removeKept(line) {
  const at = state.kept.findIndex((k) => k.line === line);
  state.kept = state.kept.filter((k) => k.line !== line);
  keptChanged();
  const buttons = removeButtons();
  (buttons[Math.min(at, buttons.length - 1)] ?? ($('keep').disabled ? $('run') : $('keep'))).focus();
}

// A sweep/run.sh command line: its grid of runs, shown as one run whose
// output is the table.
async function fromSweep({line, sweep}, turn) {
  if (sweep.error) return refuseWithForm(checkSweep(sweep, null));
  const screen = await screenOf(sweep.program);
  if (turn !== state.arrived) return;
  const refusal = checkSweep(sweep, screen);
  if (refusal) return refuseWithForm(refusal);
  showProgram(sweep.program);
  fillForm(screen, sweep.args, null);
  fillSweepForm(sweep, sweep.program);
  start({line, command: {program: sweep.program, args: sweep.args, bifurcation: null}, sweep});
}

// A refusal that leaves a form to go on with: the one shown, or the first
// program's.
async function refuseWithForm(text) {
  refuse(text);
  if ($('options').dataset.program) return;
  const turn = state.arrived;
  await screenOf(PROGRAMS[0]);
  if (turn !== state.arrived || $('options').dataset.program) return;
  showProgram(PROGRAMS[0]);
  fillForm(state.screens[PROGRAMS[0]], [], null);
}

function showProgram(program) {
  const screen = state.screens[program];
  $('program').value = program;
  $('summary').textContent = screen.summary;
  $('description').textContent = screen.description;
  showAbout(program);
  if ($('options').dataset.program !== program) {
    buildForm(screen, program === 'mapseries');
    buildSweepForm(screen);
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
  setTimeout(() => { $('copy').textContent = 'Copy'; }, TIMING.copied);
}

// The picker runs a choice made by pointer at once, and one made with the
// keys once they rest, so that arrowing through it starts one run.
function wirePicker() {
  const picker = $('program');
  const settler = newSettler(TIMING.settle);
  const choose = () => setFragment({program: picker.value, args: [], bifurcation: null});
  picker.onkeydown = () => settler.keyed();
  picker.onchange = () => settler.choose(choose);
  picker.onblur = () => settler.now();
}

function fromForm() {
  const program = $('options').dataset.program;
  if (!program) return;
  const screen = state.screens[program];
  const line = sweepLine(screen, formCommand(screen).args);
  if (line) location.hash = '#' + joinFragment(line, keptLines());
  else setFragment({program, ...formCommand(screen)});
}

function init() {
  for (const program of PROGRAMS) $('program').append(new Option(program, program));
  wirePicker();
  $('controls').onchange = (e) => { if (e.target.id !== 'program') fromForm(); };
  $('controls').onsubmit = (e) => {
    e.preventDefault();
    fromForm();
  };
  $('run').onclick = () => (state.run ? start(state.run.plan) : fromFragment().catch(startFailed));
  $('stop').onclick = () => {
    if (!stop()) return;
    finish(state.run, 'stopped');
    $('run').focus(); // Stop is hidden now
  };
  $('reset').onclick = () => setFragment({program: $('program').value, args: [], bifurcation: null});
  $('copy').onclick = copyCommand;
  $('keep').onclick = keepRun;
  wireEmbed({open: openPosted, refuse});
  wireDownloads(alertText);
  wireSweepForm();
  listExperiments($('experiments'));
  wireExperiments((href) => {
    state.toExperiment = true;
    if (href === location.hash) fromFragment().catch(startFailed); // no hashchange comes
  });
  window.onhashchange = () => fromFragment().catch(startFailed);
  new ResizeObserver(() => {
    if ($('plot').clientWidth === state.plotWidth) return;
    state.plotWidth = $('plot').clientWidth;
    for (const {drawing, view} of [...state.run?.views ?? [], ...state.keptViews]) drawing.resize?.(view);
  }).observe($('plot'));
  fromFragment().catch(startFailed);
}

// A command line posted by the page this one is embedded in, read as a
// fragment; no history entry, since the parent's history is shared.
function openPosted(command) {
  history.replaceState(null, '', '#' + encodeURIComponent(command));
  fromFragment().catch(startFailed);
}

function startFailed(e) {
  refuse(`The page could not start the program: ${e.message}`);
}

init();
