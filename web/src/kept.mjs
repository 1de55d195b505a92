// The kept runs beside the current one: each drawn again from its last
// snapshots by the same drawings as a run on the page, under a label with
// the options in which it differs (compare.mjs), with a button that
// removes it. A kept run: {line, plan, run, data}, as the page's run
// record has them once it has ended.
import {views} from './drawings.mjs';
import {differences, KEEP_LIMIT} from './compare.mjs';

const $ = (id) => document.getElementById(id);

// A kept run from the record of a run that ended whole.
export const keptRun = (r) => ({line: r.plan.line, plan: r.plan, run: r.run, data: r.data});

// Whether the run on the page, ended with `status`, may be kept: a whole
// run (status 0, so that its link gives it again) with a picture, not kept
// already, and room for it.
export function keepable(r, status, kept) {
  return Boolean(r && status === '0' && r.data && r.views.length &&
                 kept.length < KEEP_LIMIT && !kept.some((k) => k.line === r.plan.line));
}

function comparable({run, plan}) {
  return {program: run.program, values: run.values, bifurcation: plan.command.bifurcation, sweep: run.sweep,
          line: plan.line};
}

// Draws every kept run into #kept; returns their drawings, {drawing,
// view}. remove(line) drops a kept run; go(command) opens another command
// line.
export function showKept(kept, {remove, go}) {
  const box = $('kept');
  box.replaceChildren();
  box.hidden = !kept.length;
  const drawn = kept.map((k) => drawOne(box, k, {remove, go}));
  if (kept.length >= KEEP_LIMIT) {
    box.append(Object.assign(document.createElement('p'), {className: 'note',
      textContent: `${KEEP_LIMIT} runs are kept: remove one to keep another.`}));
  }
  return drawn.flat();
}

// Labels the current run (its record, or null) and the kept ones with the
// options in which each differs from the others.
export function labelKept(kept, current) {
  const label = $('compare-label');
  label.hidden = !kept.length || !current;
  if (!kept.length) return;
  const labels = differences((current ? [current, ...kept] : kept).map(comparable));
  if (current) label.textContent = `This run: ${labels.shift()}`;
  for (const [i, panel] of [...$('kept').querySelectorAll('.kept-run')].entries()) {
    panel.querySelector('h3').textContent = `Kept: ${labels[i]}`;
    panel.querySelector('button').setAttribute('aria-label', `Remove the kept run ${labels[i]}`);
  }
}

function drawOne(box, k, {remove, go}) {
  const panel = Object.assign(document.createElement('article'), {className: 'kept-run'});
  panel.dataset.line = k.line;
  const head = Object.assign(document.createElement('div'), {className: 'kept-head'});
  const title = document.createElement('h3');
  const button = Object.assign(document.createElement('button'), {type: 'button', textContent: 'Remove'});
  button.onclick = () => remove(k.line);
  const line = Object.assign(document.createElement('code'), {textContent: k.line});
  head.append(title, button);
  panel.append(head, line);
  box.append(panel);
  return views(k.run).map((v, i) => {
    const figure = document.createElement('figure');
    figure.dataset.view = v.name;
    const inner = document.createElement('div');
    const caption = Object.assign(document.createElement('figcaption'), {className: 'alt'});
    figure.append(inner, caption);
    panel.append(figure);
    const view = v.drawing.make(inner, k.run, go);
    v.drawing.draw(view, k.data[i], k.run);
    caption.textContent = v.drawing.describe(k.data[i], k.run, view);
    return {drawing: v.drawing, view};
  });
}

// Sets state.kept to the kept runs a link asks for (`raws`, escaped lines
// as the address has them), in its order and at most KEEP_LIMIT: those
// already drawn stay, the others run one after another and are kept if
// they end with status 0; a refused line is left out. An address without
// kept lines leaves them as they are, so that a link within the page (an
// experiment) keeps them. ask: {read(raw) -> the line it reads as, or
// null; plan(raw) -> Promise of the run's plan, or null; run(plan) ->
// Promise of {r, status} once it has ended; still() -> false once another
// address has come; shown() after each change}. Resolves to false where
// the current run must not follow: the address changed, or a kept run was
// stopped.
export async function restoreKept(state, raws, ask) {
  if (!raws.length) return true;
  const wanted = raws.slice(0, KEEP_LIMIT).map((raw) => ({raw, line: ask.read(raw)})).filter((w) => w.line);
  const order = wanted.map((w) => w.line);
  const sort = (list) => list.sort((a, b) => order.indexOf(a.line) - order.indexOf(b.line));
  state.kept = sort(state.kept.filter((k) => order.includes(k.line)));
  ask.shown();
  for (const {raw, line} of wanted) {
    if (state.kept.some((k) => k.line === line)) continue;
    const plan = await ask.plan(raw);
    if (!ask.still()) return false;
    if (!plan) continue;
    const {r, status} = await ask.run(plan);
    if (!ask.still() || status === 'stopped') return false;
    if (status !== '0') continue;
    state.kept = sort([...state.kept, keptRun(r)]);
    ask.shown();
  }
  return true;
}
