// The drawing half of the story views (stories.mjs reads them): each a
// canvas with its picture from pictures.mjs. As views.mjs describes.
import {drawPhase, drawReturn, drawSurface, drawHump, drawStrategies} from './pictures.mjs';
import {tableHistories} from './formulas.mjs';
import {TIMING, newThrottle} from './timing.mjs';

// A canvas whose picture draw(target, data, run) paints from the latest
// snapshot, at most every TIMING.canvas ms while a run goes on; the text
// the drawing returns is the view's text alternative, and asking for it
// paints a snapshot still waiting.
export function canvasView(draw, empty = 'Nothing drawn yet.') {
  const paint = (view) => { view.text = draw({canvas: view.canvas, width: view.width}, view.data, view.run); };
  return {
    make(element, run) {
      const canvas = document.createElement('canvas');
      canvas.setAttribute('aria-hidden', 'true'); // the caption says what it shows
      element.append(canvas);
      const view = {element, canvas, run, width: element.clientWidth, data: null, text: empty};
      view.painter = newThrottle(TIMING.canvas, () => paint(view));
      view.paint = (onto) => draw(onto, view.data, run); // a figure of it, onto another canvas
      return view;
    },
    draw(view, data) {
      if (!data?.rows) return;
      view.data = data;
      view.painter.request();
    },
    describe(data, run, view) {
      view.painter.flush();
      return view.text;
    },
    resize(view) {
      view.width = view.element.clientWidth;
      view.painter.cancel();
      if (view.data) paint(view);
    },
  };
}

// What each letter of a table answers, beside the raster.
function explainLetters(element, hlen) {
  const note = document.createElement('div');
  note.className = 'letters';
  const intro = document.createElement('p');
  intro.textContent = 'Each letter is a move, C (cooperate) or D (defect). The first is the opening move; ' +
    'then, for each number of remembered rounds up to the history length, one letter for every outcome ' +
    'of those rounds, written most recent round first, each round as own move then the other\'s.';
  note.append(intro);
  if (hlen >= 1 && hlen <= 2) {
    const list = document.createElement('ol');
    for (const h of tableHistories(hlen)) {
      list.append(Object.assign(document.createElement('li'), {textContent: h === 'opening move' ? h : `after ${h}`}));
    }
    note.append(list);
  }
  element.append(note);
}

const raster = canvasView((target, data) => drawStrategies(target, {tables: data.tables, stride: data.stride, final: null}));

export const STORY_DRAWINGS = {
  phase: canvasView((target, data, run) => drawPhase(target, {...data, A: run.number('-A'), B: run.number('-B')})),
  return: canvasView((target, data, run) => drawReturn(target, {...data, func: run.text('-func'), r: run.number('-r'),
                                                                 aux: run.number('-aux')})),
  landscape: canvasView((target, data, run) => (run.program === 'hillscan' ? drawSurface(target, data)
    : drawHump(target, {bestX: data.bestX, target: run.number('-target'), variance: run.number('-var')}))),
  strategies: {
    ...raster,
    make(element, run) {
      const view = raster.make(element, run);
      explainLetters(element, run.number('-hlen'));
      return view;
    },
  },
  population: canvasView((target, data) => drawStrategies(target, {tables: [], final: data.final,
                                                                   distinct: data.distinct})),
};
