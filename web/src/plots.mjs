// The chart helpers the curves draw with (uPlot): each series in its
// colour and dash from palette.mjs; a legend that shows the last values
// when the pointer is elsewhere; scatter plots drawn as pixels; shaded
// ranges and reference lines. A chart is {u: the uPlot, rest, cells, spec}: what
// its hooks read besides uPlot's own data.
import uPlot from './vendor/uPlot.esm.js';
import {formatValue} from './columns.mjs';
import {seriesStyle} from './palette.mjs';

// A dash as the legend's marker can show it.
const legendDash = (dash) => (!dash.length ? 'solid' : dash.length > 2 ? 'double' : dash[0] <= 2 ? 'dotted' : 'dashed');
const AXIS = {stroke: '#333', grid: {stroke: '#e5e5e5'}, ticks: {stroke: '#ccc'},
              font: '15px system-ui, sans-serif', labelFont: '16px system-ui, sans-serif'};
const WHOLE = [1, 2, 5, 10, 20, 50, 100, 200, 500, 1e3, 2e3, 5e3, 1e4, 2e4, 5e4, 1e5, 2e5, 5e5,
               1e6, 2e6, 5e6, 1e7, 2e7, 5e7, 1e8, 2e8, 5e8, 1e9];


// Room between two ticks of a whole-numbered x axis for its widest label
// (a series of 20,000,000 points has labels of ten characters), so that no
// two overlap. CHAR: pixels per character of the axis font, a little over
// a digit's width.
const CHAR = 9;
const wholeLabel = (v) => Math.round(v).toLocaleString('en-US');
function wholeSpace(u, axis, min, max) {
  return Math.max(50, CHAR * Math.max(wholeLabel(min).length, wholeLabel(max).length) + 16);
}

// Room at the right for half the last label, which is centred on its tick.
function rightRoom(u) {
  const max = u.scales.x?.max;
  return Number.isFinite(max) ? Math.max(12, Math.ceil((CHAR * wholeLabel(max).length) / 2)) : 12;
}

// The legend shows the values under the pointer, or at rest the last row.
const legendValue = (plot) => (u, v, sidx, idx) => formatValue(idx === null || idx === undefined ? plot.rest[sidx] : v);

function series(plot, labels, scatter) {
  return labels.map((label) => ({
    label, stroke: seriesStyle(label).color, width: 2, dash: seriesStyle(label).dash,
    value: legendValue(plot),
    ...(scatter ? {paths: () => null, points: {show: false}} : {points: {show: false}}),
  }));
}

// Shades the given [from, to] ranges of x behind the series.
function shade(ranges) {
  return (u) => {
    const {ctx, bbox} = u;
    ctx.save();
    ctx.fillStyle = 'rgba(0, 158, 115, 0.12)';
    for (const [from, to] of ranges) {
      const a = u.valToPos(from, 'x', true), b = u.valToPos(to, 'x', true);
      const left = Math.max(bbox.left, Math.min(a, b));
      const right = Math.min(bbox.left + bbox.width, Math.max(a, b));
      if (right > left) ctx.fillRect(left, bbox.top, right - left, bbox.height);
    }
    ctx.restore();
  };
}

// Dashed horizontal lines at the given y, each with its label.
function lines(marks) {
  return (u) => {
    const {ctx, bbox} = u;
    ctx.save();
    ctx.strokeStyle = '#444';
    ctx.fillStyle = '#333';
    ctx.setLineDash([8 * devicePixelRatio, 5 * devicePixelRatio]);
    ctx.lineWidth = devicePixelRatio;
    ctx.font = `${13 * devicePixelRatio}px system-ui, sans-serif`;
    ctx.textAlign = 'left';
    ctx.textBaseline = 'bottom';
    for (const {y, label} of marks) {
      const p = u.valToPos(y, 'y', true);
      if (p < bbox.top || p > bbox.top + bbox.height) continue;
      ctx.beginPath();
      ctx.moveTo(bbox.left, p);
      ctx.lineTo(bbox.left + bbox.width, p);
      ctx.stroke();
      ctx.fillText(label, bbox.left + 6 * devicePixelRatio, p - 4 * devicePixelRatio);
    }
    ctx.restore();
  };
}

// The points of every series as small squares: fast for a hundred thousand.
// Past that the data is a grid of cells (reduce.mjs), drawn as an image.
const pixels = (plot, labels) => (u) => {
  const {ctx} = u;
  if (plot.cells) return drawCells(u, plot.cells, seriesStyle(labels[0]).color);
  const size = Math.max(1, Math.round(1.5 * devicePixelRatio));
  ctx.save();
  for (let s = 1; s < u.series.length; s++) {
    ctx.fillStyle = seriesStyle(labels[s - 1]).color;
    const xs = u.data[0], ys = u.data[s];
    for (let i = 0; i < xs.length; i++) {
      if (ys[i] === null) continue;
      ctx.fillRect(Math.round(u.valToPos(xs[i], 'x', true)), Math.round(u.valToPos(ys[i], 'y', true)), size, size);
    }
  }
  ctx.restore();
};

// The grid's corners are the data's two points; its row 0 is the lowest y.
// Each filled cell marks the pixel it falls in, so that none is lost when
// the grid is finer than the plot.
function drawCells(u, {cells, width, height}, colour) {
  const [x0, x1] = u.data[0].map((v) => Math.round(u.valToPos(v, 'x', true)));
  const [y0, y1] = u.data[1].map((v) => Math.round(u.valToPos(v, 'y', true)));
  const w = x1 - x0, h = y0 - y1;
  if (w < 1 || h < 1) return;
  const image = new ImageData(w, h);
  const [r, g, b] = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16));
  for (let j = 0; j < height; j++) {
    const row = h - 1 - Math.floor(j * h / height);
    for (let i = 0, k = j * width; i < width; i++, k++) {
      if (!cells[k]) continue;
      const p = (row * w + Math.floor(i * w / width)) * 4;
      image.data[p] = r;
      image.data[p + 1] = g;
      image.data[p + 2] = b;
      image.data[p + 3] = 255;
    }
  }
  const canvas = new OffscreenCanvas(w, h);
  canvas.getContext('2d').putImageData(image, 0, 0);
  u.ctx.drawImage(canvas, x0, y1); // drawn over the grid lines, as the points are
}

// Ticks at 0, 1, 10, 100, ... on the log-like axis.
function decades(u, axis, min, max) {
  const ticks = [0];
  for (let t = 1; t <= max; t *= 10) if (t >= min) ticks.push(t);
  return ticks;
}

// One chart in `element`: {x, y: axis labels; labels: the series; scatter;
// ranges: [from, to] of x shaded, named by `shaded`; marks: [{y, label}]
// dashed lines; xlog: x on a log-like scale that still shows 0; whole: x
// ticks on whole numbers only; height; onPick(x): a click at x; span:
// {from, to}, the x of the whole run, shown from the start}.
export function chart(element, {x, y, labels, scatter = false, ranges = [], shaded = '', marks = [],
                                xlog = false, whole = false, height = 340, onPick = null, span = null}) {
  const width = Math.max(280, element.clientWidth || 800);
  // spec: what a figure of the chart needs besides uPlot's data (figure.mjs).
  const plot = {u: null, rest: [], cells: null, spec: {x, y, labels, scatter, ranges, shaded, marks, xlog, height}};
  const hooks = {drawClear: [], draw: []};
  if (ranges.length) hooks.drawClear.push(shade(ranges));
  if (marks.length) hooks.draw.push(lines(marks));
  if (scatter) hooks.draw.push(pixels(plot, labels));
  if (onPick) {
    hooks.ready = [(u) => u.over.addEventListener('click', (e) => {
      onPick(u.posToVal(e.clientX - u.over.getBoundingClientRect().left, 'x'));
    })];
  }
  const opts = {
    width, height,
    ...(whole && !xlog ? {padding: [null, rightRoom, null, null]} : {}),
    scales: {
      // The data's own x range: no padding before the first step.
      // A span given ({from, to}) shows the whole run while it goes on: its
      // reduction, made over that span, then draws at its true density
      // rather than as a false pattern stretched across the chart.
      x: {time: false, ...(span ? {range: () => [span.from, span.to]} : {}), ...(xlog ? {distr: 4, asinh: 1, range: (u, min, max) => [min, Math.max(max, min + 1)]} : {})},
      // A reference line stays in sight above or below the data.
      ...(marks.length ? {y: {range: (u, min, max) => uPlot.rangeNum(
        Math.min(min ?? Infinity, ...marks.map((m) => m.y)), Math.max(max ?? -Infinity, ...marks.map((m) => m.y)),
        0.1, true)}} : {}),
    },
    axes: [{...AXIS, label: shaded ? `${x}    (shaded: ${shaded})` : x, ...(whole ? {incrs: WHOLE, space: wholeSpace} : {}),
            ...(xlog ? {splits: decades} : {})},
           {...AXIS, label: y, size: 70}],
    series: [{label: x, value: legendValue(plot)}, ...series(plot, labels, scatter)],
    legend: {live: true, markers: {width: 3, dash: (u, i) => legendDash(seriesStyle(labels[i - 1]).dash)}},
    cursor: {sync: {key: 'run'}},
    hooks,
  };
  const data = [[], ...labels.map(() => [])];
  plot.u = new uPlot(opts, data, element);
  return plot;
}

// Shows new data: [x, ...series], and `last`, the values ([x, ...series])
// the legend shows at rest; for a scatter, `cells` its grid, if it has one.
export function setData(plot, data, last = [], cells = null) {
  plot.rest = last;
  plot.cells = cells;
  plot.u.setData(data);
  if (plot.u.cursor.idx === null || plot.u.cursor.idx === undefined) plot.u.setLegend({idx: null});
}

export function fitWidth(plot, element) {
  plot.u.setSize({width: Math.max(280, element.clientWidth), height: plot.u.height});
}
