// The pictures that tell each model's story, drawn on a canvas from plain
// arrays: the Henon plane, a map's return plot with its cobweb, the
// landscape a genetic algorithm climbs, the raster of strategy tables and
// a sweep's runs against the value swept.
// Each draws onto `onto`, {canvas, width}: the canvas and the width of its
// box in CSS pixels, which the page measures (asking the layout here would
// slow a redraw), and returns a short text that says what the picture
// shows, for readers who cannot see it. Colours and dashes come from
// palette.mjs.
import {hump, surface, henonFixedPoint, mapFunction} from './formulas.mjs';
import {PALETTE, seriesStyle} from './palette.mjs';

const FONT = '14px system-ui, sans-serif';

// Sizes the canvas to its box and the screen's pixels (or `ratio` of them,
// for a figure), where they changed; returns the context in CSS pixels and
// the drawing's width and height.
const widthOf = (onto) => Math.max(280, onto.width || 640);

export function prepare(onto, height) {
  const {canvas} = onto;
  const width = widthOf(onto);
  const ratio = onto.ratio || globalThis.devicePixelRatio || 1;
  const [w, h] = [Math.round(width * ratio), Math.round(height * ratio)];
  if (canvas.width !== w || canvas.height !== h) {
    canvas.width = w;
    canvas.height = h;
    canvas.style.width = `${width}px`;
    canvas.style.height = `${height}px`;
  }
  const ctx = canvas.getContext('2d');
  // A canvas keeps its state from drawing to drawing unless resized.
  ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
  ctx.clearRect(0, 0, width, height);
  Object.assign(ctx, {font: FONT, textAlign: 'left', textBaseline: 'alphabetic', lineWidth: 1,
                      fillStyle: PALETTE.ink, strokeStyle: PALETTE.ink, imageSmoothingEnabled: true});
  ctx.setLineDash([]);
  return {ctx, width, height};
}

// Round steps for an axis from lo to hi: about n ticks.
export function ticks(lo, hi, n = 5) {
  if (!(hi > lo)) return [lo];
  const raw = (hi - lo) / n;
  const power = 10 ** Math.floor(Math.log10(raw));
  const step = [1, 2, 2.5, 5, 10].map((m) => m * power).find((s) => s >= raw);
  const out = [];
  for (let v = Math.ceil(lo / step) * step; v <= hi + step * 1e-9; v += step) out.push(Number(v.toPrecision(12)));
  return out;
}

// A frame for x in [x0, x1] and y in [y0, y1] inside the canvas, with its
// ticks (or a text at each whole x from 0, for categories, or xTicks:
// [{at, text}]) and labels, and `reserve` pixels kept free at its right;
// returns the mapping of values to pixels.
export function frame(ctx, width, height, {x: [x0, x1], y: [y0, y1], xLabel, yLabel, square = false,
                                           categories = null, xTicks = null, reserve = 0}) {
  const margin = {left: 72, right: 16 + reserve, top: 36, bottom: 50};
  let w = width - margin.left - margin.right;
  let h = height - margin.top - margin.bottom;
  if (square) w = h = Math.min(w, h);
  const px = (v) => margin.left + ((v - x0) / (x1 - x0)) * w;
  const py = (v) => margin.top + h - ((v - y0) / (y1 - y0)) * h;
  ctx.save();
  ctx.strokeStyle = '#d0d7de';
  ctx.fillStyle = '#333';
  ctx.lineWidth = 1;
  ctx.strokeRect(margin.left, margin.top, w, h);
  ctx.textAlign = 'center';
  ctx.textBaseline = 'top';
  if (categories) categories.forEach((c, i) => ctx.fillText(c, px(i), margin.top + h + 6));
  else if (xTicks) for (const {at, text} of xTicks) ctx.fillText(text, px(at), margin.top + h + 6);
  else for (const v of ticks(x0, x1)) ctx.fillText(String(v), px(v), margin.top + h + 6);
  ctx.textAlign = 'right';
  ctx.textBaseline = 'middle';
  for (const v of ticks(y0, y1)) ctx.fillText(String(v), margin.left - 6, py(v));
  ctx.textAlign = 'center';
  ctx.textBaseline = 'bottom';
  ctx.fillText(xLabel, margin.left + w / 2, margin.top + h + 46);
  ctx.translate(8, margin.top + h / 2);
  ctx.rotate(-Math.PI / 2);
  ctx.textBaseline = 'top';
  ctx.fillText(yLabel, 0, 0);
  ctx.restore();
  return {px, py, box: {left: margin.left, top: margin.top, width: w, height: h}};
}

function clip(ctx, box) {
  ctx.save();
  ctx.beginPath();
  ctx.rect(box.left, box.top, box.width, box.height);
  ctx.clip();
}

// The smallest and largest finite value, widened a little; [lo, hi] when none.
function extent(values, lo, hi) {
  let a = Infinity, b = -Infinity;
  for (const v of values) if (Number.isFinite(v)) { a = Math.min(a, v); b = Math.max(b, v); }
  if (a > b) return [lo, hi];
  if (a === b) return [a - 0.5, b + 0.5];
  const pad = (b - a) * 0.05;
  return [a - pad, b + pad];
}

// Above this many points a plot draws each as a small square: shapes
// would not show among so many, and drawing them is slow.
const DENSE = 3000;

// The points (xs[i], ys[i]) as squares of 2 CSS pixels in the colour
// colourOf(i) gives ('#rrggbb', or null to leave one out), set in a picture
// of the box's pixels that the canvas then draws whole: a canvas that drew
// each square would replay them all whenever the page is painted.
function dots(ctx, box, xs, ys, px, py, colourOf) {
  const ratio = globalThis.devicePixelRatio || 1;
  const [w, h] = [Math.ceil(box.width * ratio), Math.ceil(box.height * ratio)];
  const image = new ImageData(w, h);
  const pixels = new Uint32Array(image.data.buffer);
  const size = Math.max(2, Math.round(2 * ratio));
  for (let i = 0; i < xs.length; i++) {
    const colour = colourOf(i);
    if (!colour || !Number.isFinite(xs[i]) || !Number.isFinite(ys[i])) continue;
    const value = pixelOf(colour);
    const x0 = Math.round((px(xs[i]) - box.left) * ratio) - 1, y0 = Math.round((py(ys[i]) - box.top) * ratio) - 1;
    for (let y = Math.max(0, y0); y < Math.min(h, y0 + size); y++) {
      pixels.fill(value, y * w + Math.max(0, x0), y * w + Math.min(w, x0 + size));
    }
  }
  drawPixels(ctx, image, box.left, box.top, box.width, box.height);
}

// '#rrggbb' as an opaque pixel of an ImageData's 32-bit view (the bytes in
// memory order r, g, b, a, on a little-endian machine, as every browser's is).
const pixelValues = new Map();
function pixelOf(colour) {
  if (!pixelValues.has(colour)) {
    const [r, g, b] = [1, 3, 5].map((k) => parseInt(colour.slice(k, k + 2), 16));
    pixelValues.set(colour, ((255 << 24) | (b << 16) | (g << 8) | r) >>> 0);
  }
  return pixelValues.get(colour);
}

// Draws an ImageData scaled into a box, each pixel a sharp block.
function drawPixels(ctx, image, left, top, width, height) {
  const layer = new OffscreenCanvas(image.width, image.height);
  layer.getContext('2d').putImageData(image, 0, 0);
  ctx.save();
  ctx.imageSmoothingEnabled = false;
  ctx.drawImage(layer, left, top, width, height);
  ctx.restore();
}

// A marker's path; with `more`, added to the path begun before.
function marker(ctx, shape, x, y, size, more = false) {
  if (more) ctx.moveTo(x + (shape === 'circle' ? size : 0), y);
  else ctx.beginPath();
  if (shape === 'circle') ctx.arc(x, y, size, 0, 2 * Math.PI);
  else if (shape === 'square') ctx.rect(x - size, y - size, 2 * size, 2 * size);
  else {
    ctx.moveTo(x - size, y - size);
    ctx.lineTo(x + size, y + size);
    ctx.moveTo(x + size, y - size);
    ctx.lineTo(x - size, y + size);
  }
}

// A legend row above the top right of the box, or ending at `right`: a
// marker or line and its text.
export function legend(ctx, box, items, right = box.left + box.width) {
  ctx.save();
  ctx.font = FONT;
  ctx.textBaseline = 'middle';
  ctx.textAlign = 'left';
  const widths = items.map((i) => ctx.measureText(i.text).width + 30);
  let x = Math.max(4, right - widths.reduce((a, b) => a + b, 0));
  const y = box.top - 18;
  for (const [k, item] of items.entries()) {
    ctx.strokeStyle = ctx.fillStyle = item.color;
    ctx.lineWidth = 2;
    ctx.setLineDash(item.dash ?? []);
    if (item.shape) {
      marker(ctx, item.shape, x + 8, y, 4);
      item.shape === 'cross' ? ctx.stroke() : ctx.fill();
    } else {
      ctx.beginPath(); ctx.moveTo(x, y); ctx.lineTo(x + 18, y); ctx.stroke();
    }
    ctx.setLineDash([]);
    ctx.fillStyle = PALETTE.ink;
    ctx.fillText(item.text, x + 22, y);
    x += widths[k];
  }
  ctx.restore();
}

// orbitpin: y against x, the points while control is on as blue circles,
// the others as orange crosses, and the fixed point ringed.
// {x, y, on: booleans, A, B}
export function drawPhase(onto, {x, y, on, A, B}) {
  const {ctx, width, height} = prepare(onto, 420);
  const xstar = henonFixedPoint(A, B);
  const range = extent([...x, ...y, xstar], -1.5, 1.5);
  const {px, py, box} = frame(ctx, width, height,
                              {x: range, y: range, xLabel: 'x(t)', yLabel: 'y(t) = x(t − 1)', square: true});
  clip(ctx, box);
  const onCount = on.filter(Boolean).length;
  ctx.lineWidth = 1.2;
  if (x.length > DENSE) dots(ctx, box, x, y, px, py, (i) => (on[i] ? PALETTE.blue : PALETTE.orange));
  for (const controlled of x.length > DENSE ? [] : [false, true]) {
    ctx.strokeStyle = ctx.fillStyle = controlled ? PALETTE.blue : PALETTE.orange;
    ctx.beginPath();
    for (let i = 0; i < x.length; i++) {
      if (on[i] === controlled && Number.isFinite(x[i]) && Number.isFinite(y[i])) {
        marker(ctx, controlled ? 'circle' : 'cross', px(x[i]), py(y[i]), 2.5, true);
      }
    }
    controlled ? ctx.fill() : ctx.stroke();
  }
  ctx.strokeStyle = PALETTE.ink;
  ctx.lineWidth = 2;
  ctx.beginPath();
  ctx.arc(px(xstar), py(xstar), 9, 0, 2 * Math.PI);
  ctx.stroke();
  ctx.fillStyle = PALETTE.ink;
  ctx.fillText('x*', px(xstar) + 12, py(xstar) - 10);
  ctx.restore();
  legend(ctx, box, [{shape: 'circle', color: PALETTE.blue, text: 'control on'},
                    {shape: 'cross', color: PALETTE.orange, text: 'control off'}]);
  return `The Henon plane: ${x.length} points of y against x, ${onCount} of them while control is on; ` +
    `the fixed point x* = y* = ${xstar.toFixed(6)} is ringed.`;
}

// mapseries: x(t+1) against x(t), the diagonal, the map's curve and the
// cobweb of the first steps. {first: the first values, pairs: [xs, ys], func, r, aux}
export function drawReturn(onto, {first, pairs: [xs, ys], func, r, aux}) {
  const {ctx, width, height} = prepare(onto, 420);
  const f = mapFunction(func, r, aux);
  const range = extent([0, 1, ...first, ...xs, ...ys].filter((v) => Math.abs(v) < 1e6), 0, 1);
  const {px, py, box} = frame(ctx, width, height,
                              {x: range, y: range, xLabel: 'x(t)', yLabel: 'x(t + 1)', square: true});
  clip(ctx, box);
  ctx.strokeStyle = PALETTE.grey;
  ctx.lineWidth = 1;
  ctx.setLineDash([6, 4]);
  ctx.beginPath(); ctx.moveTo(px(range[0]), py(range[0])); ctx.lineTo(px(range[1]), py(range[1])); ctx.stroke();
  ctx.setLineDash([]);
  ctx.strokeStyle = PALETTE.blue;
  ctx.lineWidth = 2;
  ctx.beginPath();
  for (let i = 0; i <= 400; i++) {
    const v = range[0] + ((range[1] - range[0]) * i) / 400;
    i ? ctx.lineTo(px(v), py(f(v))) : ctx.moveTo(px(v), py(f(v)));
  }
  ctx.stroke();
  // The cobweb: up to the curve, across to the diagonal, step by step.
  ctx.strokeStyle = PALETTE.vermillion;
  ctx.lineWidth = 1.2;
  ctx.setLineDash([3, 2]);
  ctx.beginPath();
  const web = first;
  if (web.length) ctx.moveTo(px(web[0]), py(web[0]));
  for (let i = 0; i + 1 < web.length; i++) {
    ctx.lineTo(px(web[i]), py(web[i + 1]));
    ctx.lineTo(px(web[i + 1]), py(web[i + 1]));
  }
  ctx.stroke();
  ctx.setLineDash([]);
  ctx.fillStyle = PALETTE.ink;
  if (xs.length > DENSE) {
    dots(ctx, box, xs, ys, px, py, () => PALETTE.ink);
  } else {
    ctx.beginPath();
    for (let i = 0; i < xs.length; i++) marker(ctx, 'circle', px(xs[i]), py(ys[i]), 2.2, true);
    ctx.fill();
  }
  ctx.restore();
  legend(ctx, box, [{color: PALETTE.blue, text: 'map'}, {color: PALETTE.grey, dash: [6, 4], text: 'diagonal'},
                    {color: PALETTE.vermillion, dash: [3, 2], text: 'cobweb'},
                    {shape: 'circle', color: PALETTE.ink, text: 'pairs'}]);
  // The logistic map's textbook parameter is 4r.
  const at = func === 'log' ? `logistic map at r = ${r} (4r = ${+(4 * r).toPrecision(6)})` : `${func} map at r = ${r}`;
  return `Return map of the ${at}: ${xs.length} pairs (x(t), x(t+1)) on the map's ` +
    `curve, with the diagonal and the cobweb of the first ${Math.max(0, web.length - 1)} steps.`;
}

// A colour from light yellow to dark blue for t in [0, 1] (high is dark).
function shadeOf(t) {
  const stops = [[255, 255, 217], [199, 233, 180], [65, 182, 196], [34, 94, 168], [8, 29, 88]];
  const s = Math.min(stops.length - 1.001, Math.max(0, t) * (stops.length - 1));
  const i = Math.floor(s), k = s - i;
  return stops[i].map((c, j) => Math.round(c + (stops[i + 1][j] - c) * k));
}

// A path through points, a ring at its start and a filled dot at its end.
function path(ctx, points, color) {
  ctx.lineJoin = 'round';
  for (const [stroke, width] of [['white', 4], [color, 2]]) {
    ctx.strokeStyle = stroke;
    ctx.lineWidth = width;
    ctx.beginPath();
    points.forEach(([a, b], i) => (i ? ctx.lineTo(a, b) : ctx.moveTo(a, b)));
    ctx.stroke();
  }
  ctx.fillStyle = color;
  for (const [a, b] of points) { ctx.beginPath(); ctx.arc(a, b, 2.5, 0, 2 * Math.PI); ctx.fill(); }
  if (!points.length) return;
  ctx.lineWidth = 2;
  ctx.beginPath(); ctx.arc(...points[0], 7, 0, 2 * Math.PI); ctx.stroke();
  ctx.strokeStyle = 'white';
  ctx.beginPath(); ctx.arc(...points.at(-1), 6, 0, 2 * Math.PI); ctx.fill(); ctx.stroke();
}

// The shaded surface as an n x n picture, made once per size.
const surfaces = new Map();
function surfaceImage(n) {
  if (surfaces.has(n)) return surfaces.get(n);
  const picture = new OffscreenCanvas(n, n);
  const ctx = picture.getContext('2d');
  const image = ctx.createImageData(n, n);
  for (let j = 0; j < n; j++) {
    for (let i = 0; i < n; i++) {
      const rgb = shadeOf(surface(-4 + (8 * (i + 0.5)) / n, 4 - (8 * (j + 0.5)) / n));
      image.data.set([...rgb, 255], 4 * (j * n + i));
    }
  }
  ctx.putImageData(image, 0, 0);
  surfaces.set(n, picture);
  return picture;
}

// The scale of the shades beside the box: the height of the surface, 0 at
// the bottom to 1 at the top.
const SCALE_ROOM = 60;
function shadeScale(ctx, box) {
  const x = box.left + box.width + 14, w = 12;
  for (let i = 0; i < box.height; i++) {
    const [r, g, b] = shadeOf(1 - i / box.height);
    ctx.fillStyle = `rgb(${r}, ${g}, ${b})`;
    ctx.fillRect(x, box.top + i, w, 1.5);
  }
  ctx.strokeStyle = '#d0d7de';
  ctx.strokeRect(x, box.top, w, box.height);
  ctx.fillStyle = PALETTE.ink;
  ctx.textBaseline = 'middle';
  for (const v of [0, 0.5, 1]) ctx.fillText(String(v), x + w + 4, box.top + (1 - v) * box.height);
  ctx.save();
  ctx.translate(x + w + 40, box.top + box.height / 2);
  ctx.rotate(Math.PI / 2);
  ctx.textAlign = 'center';
  ctx.textBaseline = 'middle';
  ctx.fillText('height', 0, 0);
  ctx.restore();
}

// hillscan: the surface over [-4, 4)² shaded, the best point of every
// generation as a path. {bestX, bestY}
export function drawSurface(onto, {bestX, bestY}) {
  const {ctx, width, height} = prepare(onto, 440);
  const {px, py, box} = frame(ctx, width, height, {x: [-4, 4], y: [-4, 4], xLabel: 'x', yLabel: 'y', square: true,
                                                   reserve: SCALE_ROOM});
  shadeScale(ctx, box);
  ctx.drawImage(surfaceImage(Math.max(1, Math.round(box.width))), box.left, box.top, box.width, box.height);
  clip(ctx, box);
  const points = bestX.map((x, i) => [px(x), py(bestY[i])]).filter(([a, b]) => Number.isFinite(a + b));
  path(ctx, points, PALETTE.vermillion);
  ctx.restore();
  legend(ctx, box, [{color: PALETTE.vermillion, text: 'best per generation, from ring to dot'}],
         box.left + box.width + SCALE_ROOM);
  const last = bestX.length - 1;
  return `The nine-hump surface over x and y from -4 to 4, darker where higher (the highest peak, 1, at the ` +
    `origin), with the best point of each of ${bestX.length} generations as a path` +
    (last >= 0 ? `, ending at (${bestX[last]}, ${bestY[last]}).` : '.');
}

// peakseek: the hump over [0, 1), the best x of every generation on it,
// light to dark with time. {bestX, target, variance}
export function drawHump(onto, {bestX, target, variance}) {
  const {ctx, width, height} = prepare(onto, 360);
  const {px, py, box} = frame(ctx, width, height, {x: [0, 1], y: [0, 1.05], xLabel: 'x', yLabel: 'fitness'});
  clip(ctx, box);
  ctx.strokeStyle = PALETTE.blue;
  ctx.lineWidth = 2;
  ctx.beginPath();
  for (let i = 0; i <= 500; i++) {
    const v = i / 500;
    i ? ctx.lineTo(px(v), py(hump(v, target, variance))) : ctx.moveTo(px(v), py(hump(v, target, variance)));
  }
  ctx.stroke();
  bestX.forEach((x, i) => {
    const [r, g, b] = shadeOf(0.25 + (0.75 * (i + 1)) / bestX.length);
    ctx.fillStyle = `rgb(${r}, ${g}, ${b})`;
    ctx.strokeStyle = PALETTE.ink;
    ctx.lineWidth = 0.5;
    marker(ctx, 'square', px(x), py(hump(x, target, variance)), 4);
    ctx.fill();
    ctx.stroke();
  });
  if (bestX.length) {
    const x = bestX.at(-1);
    ctx.strokeStyle = PALETTE.vermillion;
    ctx.lineWidth = 2;
    ctx.beginPath(); ctx.arc(px(x), py(hump(x, target, variance)), 9, 0, 2 * Math.PI); ctx.stroke();
  }
  ctx.restore();
  legend(ctx, box, [{color: PALETTE.blue, text: 'hump'},
                    {shape: 'square', color: '#225ea8', text: 'best x, darker later'},
                    {shape: 'circle', color: PALETTE.vermillion, text: 'last'}]);
  return `The hump exp(-(x - ${target})^2 / ${variance}) over [0, 1), with the best x of each of ${bestX.length} ` +
    `generations on it` + (bestX.length ? `; the last is ${bestX.at(-1)}.` : '.');
}

// The words of `text` in lines no wider than `width` at FONT.
let measurer = null;
function wrap(text, width) {
  measurer ??= Object.assign(new OffscreenCanvas(1, 1).getContext('2d'), {font: FONT});
  const lines = [];
  for (const word of text.split(' ')) {
    const line = lines.length ? `${lines.at(-1)} ${word}` : word;
    if (lines.length && measurer.measureText(line).width <= width) lines[lines.length - 1] = line;
    else lines.push(word);
  }
  return lines;
}

// The number of each table entry above its column (1 for the opening move,
// as the list of entries beside the raster counts them), every few columns
// where they are narrow.
function numberColumns(ctx, left, top, w, length) {
  const step = [1, 2, 5, 10, 20, 50, 100, 200, 500].find((n) => n * w >= 22) ?? 1000;
  ctx.save();
  ctx.font = '11px system-ui, sans-serif';
  ctx.textAlign = 'center';
  ctx.textBaseline = 'bottom';
  for (let k = 0; k < length; k += step) ctx.fillText(String(k + 1), left + (k + 0.5) * w, top - 2);
  ctx.restore();
}

// tacticbreed: one row per generation, one cell per table entry, C blue and
// D orange with a bar through it; or the distinct tables of the final
// population with their counts. {tables: every stride-th generation's best,
// stride, final: [[table, count]], distinct: how many tables there are}
export function drawStrategies(onto, {tables, stride = 1, final = null, distinct = 0}) {
  // At most 200 rows drawn, evenly spaced.
  const every = Math.ceil(tables.length / 200);
  const shown = tables.map((t, i) => [i * stride, t]).filter((_, i) => i % every === 0 || i === tables.length - 1);
  const rows = final ? final.slice(0, 20).map(([t, n]) => [`× ${n}`, t]) : shown;
  const length = Math.max(1, ...rows.map(([, t]) => t.length));
  const cell = Math.max(2, Math.min(18, Math.floor(560 / Math.max(1, rows.length))));
  const heading = wrap(final ? `the final population: ${distinct} distinct tables, the commonest first, with their counts`
    : 'generation: its best table, one column per entry (C blue, D orange with a bar)', widthOf(onto) - 8);
  const top = heading.length * 18 + 26; // the heading, then the entries' numbers
  const {ctx, width} = prepare(onto, Math.max(80, rows.length * cell + top + 10));
  const left = 70;
  const w = Math.min(28, (width - left - 16) / length);
  ctx.fillStyle = PALETTE.ink;
  ctx.textBaseline = 'middle';
  heading.forEach((line, i) => ctx.fillText(line, 4, 12 + i * 18));
  numberColumns(ctx, left, top, w, length);
  ctx.font = `${Math.max(10, Math.min(14, cell))}px system-ui, sans-serif`;
  ctx.textAlign = 'right';
  const labelEvery = Math.ceil(16 / cell);
  // One pixel per entry, scaled up without smoothing; cells large enough
  // get a gap and D its bar.
  const image = new ImageData(length, Math.max(1, rows.length));
  const pixels = new Uint32Array(image.data.buffer);
  const [c, d] = [pixelOf(PALETTE.blue), pixelOf(PALETTE.orange)];
  rows.forEach(([, table], i) => {
    for (let k = 0; k < table.length; k++) pixels[i * length + k] = table[k] === 'D' ? d : c;
  });
  drawPixels(ctx, image, left, top, w * length, cell * rows.length);
  ctx.fillStyle = 'white';
  if (w > 4) for (let k = 1; k < length; k++) ctx.fillRect(left + k * w - 1, top, 1, cell * rows.length);
  if (cell > 4) for (let i = 1; i < rows.length; i++) ctx.fillRect(left, top + i * cell - 1, w * length, 1);
  rows.forEach(([label, table], i) => {
    const y = top + i * cell;
    ctx.fillStyle = PALETTE.ink;
    if (cell > 5 && w > 5) {
      for (let k = 0; k < table.length; k++) {
        if (table[k] === 'D') ctx.fillRect(left + k * w, y + cell / 2 - 1, w - 1, 2);
      }
    }
    if (i % labelEvery === 0 || final) ctx.fillText(String(label), left - 8, y + cell / 2);
  });
  if (final) {
    return `The final population holds ${distinct} distinct tables; the commonest: ` +
      final.slice(0, 5).map(([t, n]) => `${t.length > 40 ? `${t.slice(0, 40)}…` : t} (${n})`).join(', ') + '.';
  }
  const last = tables.at(-1) ?? '';
  return `Best strategy table of each generation as a raster, one row per generation (${rows.length} rows drawn), ` +
    `C and D per entry${last ? `; the last is ${last.length > 40 ? `${last.slice(0, 40)}…` : last}` : ''}.`;
}

// A sweep: the values evenly spaced along x, in the table's order; each
// run's measure as a small marker and the mean over the seeds as a line.
// {values: texts, series: [{name, points: [[value index, y]]}], xLabel, yLabel}
export function drawSweep(onto, {values, series, xLabel, yLabel}) {
  const {ctx, width, height} = prepare(onto, 400);
  const ys = series.flatMap((s) => s.points.map((p) => p[1]));
  const range = extent(ys, 0, 1);
  const {px, py, box} = frame(ctx, width, height, {x: [-0.5, Math.max(0.5, values.length - 0.5)], y: range,
                                                   xLabel, yLabel, categories: values});
  clip(ctx, box);
  series.forEach((s, k) => {
    const {color, shape, dash} = seriesStyle(s.name);
    ctx.strokeStyle = ctx.fillStyle = color;
    ctx.lineWidth = 1;
    ctx.beginPath();
    for (const [i, y] of s.points) {
      if (Number.isFinite(y)) marker(ctx, shape, px(i) + (k - (series.length - 1) / 2) * 5, py(y), 2.5, true);
    }
    shape === 'cross' ? ctx.stroke() : ctx.fill();
    ctx.lineWidth = 2.5;
    ctx.setLineDash(dash);
    ctx.beginPath();
    meansOf(s.points, values.length).forEach((m, i, all) => {
      if (m === null) return;
      i && all[i - 1] !== null ? ctx.lineTo(px(i), py(m)) : ctx.moveTo(px(i), py(m));
    });
    ctx.stroke();
    ctx.setLineDash([]);
  });
  ctx.restore();
  legend(ctx, box, series.map((s) => ({color: seriesStyle(s.name).color, dash: seriesStyle(s.name).dash,
                                     text: s.name})));
  const means = series.map((s) => `${s.name} ${meansOf(s.points, values.length)
    .map((m, i) => `${values[i]}: ${m === null ? 'none' : m.toFixed(3)}`).join(', ')}`);
  return `Sweep of ${xLabel} over ${values.length} values, one marker per run, ` +
    'lines through the means over the seeds. ' +
    `Means: ${means.join('; ')}.`;
}

// The mean of the finite y at each value index, or null where none.
export function meansOf(points, count) {
  const sum = new Array(count).fill(0), n = new Array(count).fill(0);
  for (const [i, y] of points) if (Number.isFinite(y)) { sum[i] += y; n[i]++; }
  return sum.map((s, i) => (n[i] ? s / n[i] : null));
}
