// Figures out of the page: each view of a run as a PNG (at least twice its
// size on the screen and 1,600 pixels wide) or an SVG, with a title, its
// axis labels and legend as drawn, and a caption that gives the command
// line and the suite's version. The view is drawn again for the figure, by
// the same code as on the screen: a canvas view by its own picture
// (storydraw.mjs), a chart by chartfigure.mjs.
import {drawChart} from './chartfigure.mjs';
import {svgCanvas, svgOf} from './svgcanvas.mjs';
import {VERSION} from './version.mjs';
import {saveHref} from './exportdata.mjs';

const MIN_PNG_WIDTH = 1600;
const TITLE_FONT = '600 20px system-ui, sans-serif';
const CAPTION_FONT = '13px system-ui, sans-serif';
const INK = '#1f2328';

const TITLES = {
  ga: 'the statistics by generation', shares: 'the share of each strategy by step',
  series: 'the series x by iterate', control: 'the orbit x(t) and the control p(t)',
  bifurcation: 'the bifurcation diagram', sweep: 'a sweep', phase: 'the Henon plane',
  return: 'the return map', landscape: 'the landscape and the best of each generation',
  strategies: 'the best strategy table of each generation', population: 'the final population',
};

const figureTitle = (program, view) => `${program}: ${TITLES[view] ?? view}`;
const figureCaption = (line) => `${line}  (modelsuite ${VERSION})`;

// The pictures a view is drawn from, each a function that paints onto
// {canvas, width, ratio}; none before it has data.
function partsOf(made) {
  const {view} = made;
  if (view.paint) return view.data ? [view.paint] : [];
  return [view.plot, ...(view.plots ?? [])].filter((p) => p?.u).map((plot) => (onto) => drawChart(onto, plot));
}

// Lines of text no wider than `width` at the context's font, broken at blanks.
function wrap(ctx, text, width) {
  const lines = [];
  let line = '';
  for (const word of text.split(' ')) {
    const next = line ? `${line} ${word}` : word;
    if (line && ctx.measureText(next).width > width) {
      lines.push(line);
      line = word;
    } else {
      line = next;
    }
  }
  return [...lines, line];
}

// Paints the whole figure onto a canvas (a real one, or svgCanvas()): the
// title, each part below the one before, the caption. Returns the height.
function compose(target, {parts, title, caption, width}, ratio, newCanvas) {
  const drawn = parts.map((paint) => {
    const canvas = newCanvas();
    paint({canvas, width, ratio});
    return canvas;
  });
  const ctx = target.getContext('2d');
  ctx.font = CAPTION_FONT;
  const captionLines = wrap(ctx, caption, width - 24);
  const heights = drawn.map((c) => c.height / ratio);
  const height = Math.ceil(44 + heights.reduce((a, b) => a + b, 0) + 12 + 18 * captionLines.length);
  target.width = Math.round(width * ratio);
  target.height = Math.round(height * ratio);
  ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
  ctx.fillStyle = 'white';
  ctx.fillRect(0, 0, width, height);
  Object.assign(ctx, {fillStyle: INK, textAlign: 'left', textBaseline: 'top', font: TITLE_FONT});
  ctx.fillText(title, 12, 12);
  let y = 44;
  drawn.forEach((canvas, i) => {
    ctx.drawImage(canvas, 0, y, width, heights[i]);
    y += heights[i];
  });
  ctx.font = CAPTION_FONT;
  ctx.fillStyle = '#57606a';
  captionLines.forEach((line, i) => ctx.fillText(line, 12, y + 6 + 18 * i));
  return height;
}

// A data URL, made at once (see saveHref).
export function figurePng(figure) {
  const ratio = Math.max(2, MIN_PNG_WIDTH / figure.width);
  const canvas = document.createElement('canvas');
  compose(canvas, figure, ratio, () => document.createElement('canvas'));
  return canvas.toDataURL('image/png');
}

// An object URL, revoked once saved.
export function figureSvg(figure) {
  const target = svgCanvas();
  const height = compose(target, figure, 1, svgCanvas);
  const url = URL.createObjectURL(new Blob([`<svg xmlns="http://www.w3.org/2000/svg" width="${figure.width}" height="${height}" ` +
    `viewBox="0 0 ${figure.width} ${height}">\n<title>${escapeXml(figure.title)}</title>\n${svgOf(target).body}\n</svg>\n`],
  {type: 'image/svg+xml'}));
  setTimeout(() => URL.revokeObjectURL(url), 60000);
  return url;
}

const escapeXml = (s) => s.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');

// The PNG and SVG buttons under a view's figure. made: the page's view
// record ({name, view, ...}); about: {program, line, stem} of its run.
export function addFigureExports(box, made, about) {
  const bar = Object.assign(document.createElement('div'), {className: 'figure-exports'});
  for (const [kind, make] of [['png', figurePng], ['svg', figureSvg]]) {
    const button = Object.assign(document.createElement('button'), {type: 'button', textContent: `Save ${kind.toUpperCase()}`});
    button.dataset.export = kind;
    button.onclick = () => {
      const parts = partsOf(made);
      if (!parts.length) return;
      const figure = {parts, width: Math.max(400, made.view.element.clientWidth || 800),
                      title: figureTitle(about.program, made.name), caption: figureCaption(about.line)};
      saveHref(make(figure), `${about.stem}_${made.name}.${kind}`);
    };
    bar.append(button);
  }
  box.append(bar);
}
