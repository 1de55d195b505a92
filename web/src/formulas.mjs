// The models' own formulas, for drawing what a run moves on: the hump and
// the nine-hump surface the genetic algorithms climb, the four maps of a
// series, the Henon map's fixed point and what each letter of a strategy
// table answers. Each is computed in the programs' order, so that a drawn
// curve passes through the printed numbers.

// The len digits of a genome, most significant first, as a fraction in [0, 1).
export function binaryFraction(digits) {
  let value = 0;
  for (const d of digits) value = value * 2 + (d === '1' ? 1 : 0);
  return value / 2 ** digits.length;
}

// The single hump: 1 at target, falling off with the squared distance over var.
export function hump(x, target = 0.5, variance = 1) {
  const d = x - target;
  return Math.exp(-(d * d) / variance);
}

// The undivided surface at the origin, so that the highest peak is 1.
const SURFACE_PEAK = 1.50158867011978;

function bump(x, y, cx, cy) {
  return Math.exp(-(x - cx) * (x - cx) - (y - cy) * (y - cy));
}

// Four corner humps, a taller one in the middle and four low ones on the axes.
export function surface(x, y) {
  let sum = bump(x, y, 2, 2);
  sum += bump(x, y, -2, 2);
  sum += bump(x, y, -2, -2);
  sum += bump(x, y, 2, -2);
  sum += 1.5 * bump(x, y, 0, 0);
  sum += 0.5 * (bump(x, y, -3, 0) + (bump(x, y, 0, 3) + bump(x, y, 3, 0) + bump(x, y, 0, -3)));
  return sum / SURFACE_PEAK;
}

// A genome of hillscan as its point: x from the first half, y from the second.
export function surfacePoint(dna) {
  const half = dna.length / 2;
  return [binaryFraction(dna.slice(0, half)) * 8 - 4, binaryFraction(dna.slice(half)) * 8 - 4];
}

const MAPS = {
  log: (x, r) => 4 * r * x * (1 - x),
  tent: (x, r) => (x <= 0.5 ? 2 * r * x : 2 * r * (1 - x)),
  sin: (x, r, aux) => Math.sin(3.141592653589793 * x * aux * 2 * r) * 0.5 + 0.5,
  gauss: (x, r, aux) => {
    const d = x - 0.5;
    return Math.exp(d * (-aux * d)) * r;
  },
};

// The map that mapseries runs for -func name: any other name runs the
// logistic map, as the program does.
export function mapFunction(name, r, aux = 1) {
  const f = Object.hasOwn(MAPS, name) ? MAPS[name] : MAPS.log;
  return (x) => f(x, r, aux);
}

// The fixed point (x*, x*) of the Henon map x(t+1) = A - x(t)^2 + B x(t-1).
export function henonFixedPoint(A, B) {
  return (Math.sqrt((B - 1) * (B - 1) + 4 * A) + (B - 1)) * 0.5;
}

// What each letter of a strategy table answers: the opening moves, then for
// every history length n up to hlen one letter per outcome of the last n
// rounds, the most recent round first, each round as (own move, other's).
export function tableHistories(hlen) {
  const labels = [];
  for (let n = 0; n <= hlen; n++) {
    for (let i = 0; i < 4 ** n; i++) {
      const rounds = [];
      for (let k = n - 1; k >= 0; k--) {
        const pair = (i >> (2 * k)) & 3;
        rounds.push('CD'[pair >> 1] + 'CD'[pair & 1]);
      }
      labels.push(n === 0 ? 'opening move' : rounds.join(' '));
    }
  }
  return labels;
}
