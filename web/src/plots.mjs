// Draws each kind of output with uPlot: the columns a kind plots, and the
// charts themselves, redrawn at most once a frame while output comes in.
import uPlot from './vendor/uPlot.esm.js';

const COLORS = ['#1f5fa8', '#c0392b', '#15803d', '#d97706', '#7e22ce'];
const AXIS = {stroke: '#333', grid: {stroke: '#e5e5e5'}, ticks: {stroke: '#ccc'},
              font: '15px system-ui, sans-serif', labelFont: '16px system-ui, sans-serif'};

// Columns of a statistics block table: the average and the last numeric
// measure of the best, per generation.
export function gaColumns(table) {
  const numeric = (i) => table.columns[i].some((v) => typeof v === 'number');
  const names = table.names.map((n, i) => (numeric(i) ? n : null));
  const average = names.findIndex((n) => n && n.startsWith('average'));
  const best = names.findLastIndex((n) => n && n.startsWith('best'));
  return [average, best].filter((i) => i >= 0);
}

function series(labels, points) {
  return labels.map((label, i) => ({
    label, stroke: COLORS[i % COLORS.length], width: 2,
    ...(points ? {paths: () => null, points: {show: true, size: 3, fill: COLORS[i], stroke: COLORS[i]}} : {}),
  }));
}

// Shades the given [from, to] ranges of x behind the series.
function shade(ranges) {
  return (u) => {
    const {ctx, bbox} = u;
    ctx.save();
    ctx.fillStyle = 'rgba(21, 128, 61, 0.10)';
    for (const [from, to] of ranges) {
      const a = u.valToPos(from, 'x', true), b = u.valToPos(to, 'x', true);
      const left = Math.max(bbox.left, Math.min(a, b));
      const right = Math.min(bbox.left + bbox.width, Math.max(a, b));
      if (right > left) ctx.fillRect(left, bbox.top, right - left, bbox.height);
    }
    ctx.restore();
  };
}

// One chart in `element`: {x: label, y: label, labels, points, ranges,
// ranges label, height}.
export function chart(element, {x, y, labels, points = false, ranges = [], shaded = '', height = 340}) {
  const width = Math.max(300, element.clientWidth || 800);
  const opts = {
    width, height,
    scales: {x: {time: false}},
    axes: [{...AXIS, label: shaded ? `${x}    (shaded: ${shaded})` : x}, {...AXIS, label: y, size: 70}],
    series: [{label: x}, ...series(labels, points)],
    legend: {live: true},
    cursor: {sync: {key: 'run'}},
    hooks: ranges.length ? {drawClear: [shade(ranges)]} : {},
  };
  const data = [[], ...labels.map(() => [])];
  return new uPlot(opts, data, element);
}

// Redraws a chart with new data once per animation frame at most.
export function redraw(plot, data) {
  plot.pending = data;
  if (plot.scheduled) return;
  plot.scheduled = true;
  requestAnimationFrame(() => {
    plot.scheduled = false;
    plot.setData(plot.pending);
  });
}

export function fitWidth(plots, element) {
  for (const p of plots) p.setSize({width: Math.max(300, element.clientWidth), height: p.height});
}
