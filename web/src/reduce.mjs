// Series reduced to what a plot can show, so that a run of any length keeps
// a bounded amount of plot data: made in the worker, snapshotted for the page.
//
// newEnvelope(n, {from, to, log}): n series over one x. Each of COLUMNS
// buckets of x (evenly spaced in x, or in asinh x: like log x, and defined
// at 0, as the log-like axis of plots.mjs) keeps its first and last x
// and each series' minimum and maximum in the order they came, so a bucket
// with one or two rows keeps them exactly and a fuller one draws as the
// vertical stroke that its pixel column would show. An x beyond the range
// doubles it, merging buckets pairwise.
//
// newScatter({from, to}): points (x, y), every one while there are few, then
// the cells of a grid they fall in.

const COLUMNS = 1024;

export function newEnvelope(n, {from = 0, to = from + 1, log = false} = {}) {
  const low = log ? Math.asinh(from) : from;
  const e = {
    n, log, low, span: Math.max((log ? Math.asinh(to) : to) - low, 1e-9) * (1 + 1e-9), rows: 0,
    count: new Uint32Array(COLUMNS), first: new Float64Array(COLUMNS), last: new Float64Array(COLUMNS),
    min: new Float64Array(COLUMNS * n).fill(Infinity), max: new Float64Array(COLUMNS * n).fill(-Infinity),
    minFirst: new Uint8Array(COLUMNS * n), // 1: the minimum came before the maximum
    // The last row, what a legend shows at rest: a bucket keeps extremes.
    lastX: NaN, lastValues: new Float64Array(n).fill(NaN),
    sure: 0, sureFrom: Infinity, sureTo: -Infinity, // x in [sureFrom, sureTo]: in bucket `sure`
  };
  return e;
}

function grow(e) {
  for (let j = 0; j < COLUMNS / 2; j++) {
    const a = 2 * j, b = a + 1;
    const ca = e.count[a], cb = e.count[b];
    e.count[j] = ca + cb;
    e.first[j] = ca ? e.first[a] : e.first[b];
    e.last[j] = cb ? e.last[b] : e.last[a];
    for (let s = 0; s < e.n; s++) {
      const [ia, ib, ij] = [a * e.n + s, b * e.n + s, j * e.n + s];
      const minB = e.min[ib] < e.min[ia], maxB = e.max[ib] > e.max[ia];
      const order = minB === maxB ? e.minFirst[minB ? ib : ia] : Number(!minB);
      e.min[ij] = minB ? e.min[ib] : e.min[ia];
      e.max[ij] = maxB ? e.max[ib] : e.max[ia];
      e.minFirst[ij] = order;
    }
  }
  const half = COLUMNS / 2;
  e.count.fill(0, half);
  e.min.fill(Infinity, half * e.n);
  e.max.fill(-Infinity, half * e.n);
  e.minFirst.fill(0, half * e.n);
  e.span *= 2;
  e.sureFrom = Infinity; // the buckets moved
}

// The bucket of x, which may lie past the last (x before the range: the
// first). The bucket is a monotone function of x, so once x and a slightly
// lower bound of the next bucket's edge are known to fall in one bucket, so
// does every x between them: most rows take two comparisons, not a division.
function bucketOf(e, x) {
  if (x >= e.sureFrom && x <= e.sureTo) return e.sure;
  const b = placed(e, x);
  if (b >= 0 && b < COLUMNS) {
    const edge = e.low + (b + 1) / COLUMNS * e.span;
    const near = e.log ? Math.sinh(edge) : edge;
    const below = near - Math.abs(near) * 1e-9;
    e.sure = b;
    e.sureFrom = x;
    e.sureTo = below >= x && placed(e, below) === b ? below : x;
  }
  return b >= 0 ? b : 0;
}

function placed(e, x) {
  return Math.floor(((e.log ? Math.asinh(x) : x) - e.low) / e.span * COLUMNS);
}

// One row: x and the series' values (null or a non-finite number: none).
// Called for every row of a long output, so kept to plain loads and stores.
export function addRow(e, x, values) {
  let b = bucketOf(e, x);
  while (b >= COLUMNS) {
    grow(e);
    b = bucketOf(e, x);
  }
  if (!e.count[b]++) e.first[b] = x;
  e.last[b] = x;
  e.lastX = x;
  const {n, min, max, minFirst, lastValues} = e;
  for (let s = 0, i = b * n; s < n; s++, i++) {
    const v = values[s];
    if (typeof v !== 'number') {
      lastValues[s] = v ?? NaN;
      continue;
    }
    lastValues[s] = v;
    if (v - v !== 0) continue; // not finite
    if (v < min[i]) {
      min[i] = v;
      minFirst[i] = 0; // the newest of the two
    }
    if (v > max[i]) {
      max[i] = v;
      minFirst[i] = 1;
    }
  }
  e.rows++;
}

// Rows x0, x0 + 1, ... of a single series, values[0, count): as addRow
// adds them one by one, a bucket's rows at a time. Rows whose x is known to
// share a bucket (bucketOf's sure range) take a comparison or two each.
export function addSeries(e, x0, values, count) {
  const {min, max, minFirst} = e;
  let i = 0;
  while (i < count) {
    const x = x0 + i;
    let b = bucketOf(e, x);
    while (b >= COLUMNS) {
      grow(e);
      b = bucketOf(e, x);
    }
    let end = i + 1;
    if (e.sure === b && x >= e.sureFrom) while (end < count && x0 + end <= e.sureTo) end++;
    if (!e.count[b]) e.first[b] = x;
    e.count[b] += end - i;
    e.last[b] = e.lastX = x0 + end - 1;
    let low = min[b], high = max[b], order = minFirst[b];
    for (let j = i; j < end; j++) {
      const v = values[j];
      if (v - v !== 0) continue; // not finite
      if (v < low) {
        low = v;
        order = 0;
      }
      if (v > high) {
        high = v;
        order = 1;
      }
    }
    min[b] = low;
    max[b] = high;
    minFirst[b] = order;
    e.lastValues[0] = values[end - 1];
    e.rows += end - i;
    i = end;
  }
}

// {x: [...], ys: [[...], ...], last: {x, values}}, aligned arrays for a
// line plot (null marks a gap; at most 2 * COLUMNS rows) and the last row.
export function envelopeData(e) {
  const x = [], ys = Array.from({length: e.n}, () => []);
  const value = (v) => (Number.isFinite(v) ? v : null);
  for (let b = 0; b < COLUMNS; b++) {
    const c = e.count[b];
    if (!c) continue;
    const two = c > 1 && e.first[b] !== e.last[b];
    x.push(e.first[b]);
    if (two) x.push(e.last[b]);
    for (let s = 0, i = b * e.n; s < e.n; s++, i++) {
      const [p, q] = e.minFirst[i] ? [e.min[i], e.max[i]] : [e.max[i], e.min[i]];
      ys[s].push(value(two ? p : e.max[i]));
      if (two) ys[s].push(value(q));
    }
  }
  return {x, ys, last: {x: e.rows ? e.lastX : null, values: Array.from(e.lastValues, value)}};
}

const FEW = 50000; // points kept as they are
const GRID_X = 1024, GRID_Y = 512;

export function newScatter({from = 0, to = 1} = {}) {
  return {from: Math.min(from, to), to: Math.max(from, to), xs: [], ys: [], grid: null, low: 0, high: 0};
}

function cellOf(s, x, y) {
  const i = Math.min(GRID_X - 1, Math.max(0, Math.floor((x - s.from) / (s.to - s.from || 1) * GRID_X)));
  const j = Math.min(GRID_Y - 1, Math.floor((y - s.low) / (s.high - s.low) * GRID_Y));
  return j * GRID_X + i;
}

// The grid of cells over the points so far, its y range padded by a tenth.
function toGrid(s, xs, ys) {
  let low = Infinity, high = -Infinity;
  for (const y of ys) { low = Math.min(low, y); high = Math.max(high, y); }
  const pad = (high - low) / 10 || 1;
  [s.low, s.high] = [Math.min(low - pad, s.low), Math.max(high + pad, s.high)];
  s.grid = new Uint8Array(GRID_X * GRID_Y);
  for (let k = 0; k < xs.length; k++) s.grid[cellOf(s, xs[k], ys[k])] = 1;
}

export function addPoint(s, x, y) {
  if (y === null || !Number.isFinite(y)) return;
  if (!s.grid) {
    s.xs.push(x);
    s.ys.push(y);
    if (s.xs.length > FEW) {
      toGrid(s, s.xs, s.ys);
      s.xs = s.ys = null;
    }
    return;
  }
  if (y < s.low || y >= s.high) { // widen the range, moving the cells
    const {xs, ys} = gridPoints(s);
    s.low = Math.min(s.low, y);
    s.high = Math.max(s.high, y);
    toGrid(s, [...xs, x], [...ys, y]);
  }
  s.grid[cellOf(s, x, y)] = 1;
}

// {x: [...], y: [...]}: the points while there are few; then x and y hold
// the grid's corners and `cells` its filled cells, a row of GRID_X for each
// of GRID_Y steps of y from the lowest ({cells, width, height}).
export function scatterData(s) {
  if (!s.grid) return {x: s.xs.slice(), y: s.ys.slice()};
  return {x: [s.from, s.to], y: [s.low, s.high], cells: s.grid.slice(), width: GRID_X, height: GRID_Y};
}

// The points of a grid's filled cells, at their centres (to widen it).
function gridPoints(s) {
  const xs = [], ys = [];
  const w = (s.to - s.from) / GRID_X, h = (s.high - s.low) / GRID_Y;
  for (let k = 0; k < s.grid.length; k++) {
    if (!s.grid[k]) continue;
    xs.push(s.from + (k % GRID_X + 0.5) * w);
    ys.push(s.low + (Math.floor(k / GRID_X) + 0.5) * h);
  }
  return {xs, ys};
}
