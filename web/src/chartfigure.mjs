// A line chart or scatter of plots.mjs drawn again as a picture of its
// own, on any canvas (a larger one for a PNG, svgcanvas.mjs for an SVG):
// its data and scales as on the screen, its series in their palette styles,
// the shaded ranges and reference lines, axis labels and a legend.
import {prepare, frame, legend} from './pictures.mjs';
import {seriesStyle} from './palette.mjs';

const SHADE = 'rgba(0, 158, 115, 0.12)';

// Ticks at 0, 1, 10, 100, ... for the log-like x axis (asinh, as uPlot's).
function decades([lo, hi]) {
  const out = lo <= 0 && hi >= 0 ? [{at: 0, text: '0'}] : [];
  for (let t = 1; t <= hi; t *= 10) if (t >= lo) out.push({at: Math.asinh(t), text: String(t)});
  return out;
}

const finiteRange = (min, max) => (Number.isFinite(min) && Number.isFinite(max) && max > min ? [min, max] : [0, 1]);

// A scatter's grid of cells (reduce.mjs) as an image between its corners.
function cellImage(ctx, {cells, width, height}, colour, corner, far) {
  const image = new ImageData(width, height);
  const [r, g, b] = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16));
  for (let j = 0; j < height; j++) {
    for (let i = 0; i < width; i++) {
      if (!cells[j * width + i]) continue;
      image.data.set([r, g, b, 255], 4 * ((height - 1 - j) * width + i));
    }
  }
  const layer = new OffscreenCanvas(width, height);
  layer.getContext('2d').putImageData(image, 0, 0);
  ctx.save();
  ctx.imageSmoothingEnabled = false;
  ctx.drawImage(layer, corner[0], far[1], far[0] - corner[0], corner[1] - far[1]);
  ctx.restore();
}

function drawLines(ctx, xs, ys, px, py) {
  ctx.beginPath();
  let open = false;
  for (let i = 0; i < xs.length; i++) {
    if (ys[i] === null || ys[i] === undefined || !Number.isFinite(ys[i])) {
      open = false;
      continue;
    }
    open ? ctx.lineTo(px(xs[i]), py(ys[i])) : ctx.moveTo(px(xs[i]), py(ys[i]));
    open = true;
  }
  ctx.stroke();
}

// plot: {u, cells, spec} as plots.mjs makes it.
export function drawChart(onto, {u, cells, spec}) {
  const {ctx, width, height} = prepare(onto, spec.height);
  const [xs, ...series] = u.data;
  const xr = finiteRange(u.scales.x.min, u.scales.x.max), yr = finiteRange(u.scales.y.min, u.scales.y.max);
  const pos = spec.xlog ? Math.asinh : (v) => v;
  const xLabel = spec.shaded ? `${spec.x}    (shaded: ${spec.shaded})` : spec.x;
  const {px: along, py, box} = frame(ctx, width, height, {x: xr.map(pos), y: yr, xLabel, yLabel: spec.y,
                                                          xTicks: spec.xlog ? decades(xr) : null});
  const px = (v) => along(pos(v));
  ctx.save();
  ctx.beginPath();
  ctx.rect(box.left, box.top, box.width, box.height);
  ctx.clip();
  ctx.fillStyle = SHADE;
  for (const [from, to] of spec.ranges) {
    const left = Math.max(box.left, Math.min(px(from), px(to))), right = Math.min(box.left + box.width, Math.max(px(from), px(to)));
    if (right > left) ctx.fillRect(left, box.top, right - left, box.height);
  }
  spec.labels.forEach((label, k) => {
    const {color, dash} = seriesStyle(label);
    ctx.strokeStyle = ctx.fillStyle = color;
    if (spec.scatter && cells) return cellImage(ctx, cells, color, [px(xs[0]), py(series[0][0])], [px(xs[1]), py(series[0][1])]);
    if (spec.scatter) {
      for (let i = 0; i < xs.length; i++) if (Number.isFinite(series[k][i])) ctx.fillRect(px(xs[i]) - 1, py(series[k][i]) - 1, 2, 2);
      return;
    }
    ctx.lineWidth = 2;
    ctx.setLineDash(dash);
    drawLines(ctx, xs, series[k], px, py);
    ctx.setLineDash([]);
  });
  ctx.strokeStyle = ctx.fillStyle = '#444';
  ctx.lineWidth = 1;
  for (const {y, label} of spec.marks) {
    ctx.setLineDash([8, 5]);
    ctx.beginPath();
    ctx.moveTo(box.left, py(y));
    ctx.lineTo(box.left + box.width, py(y));
    ctx.stroke();
    ctx.setLineDash([]);
    ctx.fillText(label, box.left + 6, py(y) - 4);
  }
  ctx.restore();
  const items = spec.labels.map((label) => ({color: seriesStyle(label).color, dash: seriesStyle(label).dash,
                                             shape: spec.scatter ? 'square' : null, text: label}));
  if (spec.shaded) items.push({shape: 'square', color: 'rgba(0, 158, 115, 0.35)', text: spec.shaded});
  legend(ctx, box, items);
}
