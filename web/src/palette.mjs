// One palette for every picture: each series (a strategy, a statistic of a
// genetic algorithm, a map's x) keeps its colour, dash and marker in a
// single run, a sweep and an experiment alike. The colours are told apart
// with the common colour-vision deficiencies, and every pair also differs
// by dash or marker.

export const PALETTE = Object.freeze({
  blue: '#0072b2', orange: '#e69f00', vermillion: '#d55e00', green: '#009e73', sky: '#56b4e9',
  purple: '#cc79a7', ink: '#1f2328', grey: '#8c959f', dark: '#4d4d4d',
});

const style = (color, dash, shape) => Object.freeze({color, dash, shape});
const FIRST = style(PALETTE.blue, [], 'circle');
const SECOND = style(PALETTE.vermillion, [10, 5], 'square');

const SERIES = new Map([
  // tacticpool's strategies, as its help screen names them
  ['All-C', FIRST], ['TFT', SECOND], ['Random', style(PALETTE.green, [2, 4], 'cross')],
  ['Pavlov', style(PALETTE.purple, [12, 4, 2, 4], 'circle')], ['All-D', style(PALETTE.dark, [6, 3], 'square')],
  // a genetic algorithm's statistics, by their first word
  ['average', FIRST], ['best', SECOND],
  // the maps and the controlled orbit
  ['x', FIRST], ['x(t)', FIRST], ['p(t)', SECOND],
]);

// The style of a series by its name ('best value' as 'best'); throws on a
// name the palette does not know, so that a new series gets a style of its
// own rather than another's.
export function seriesStyle(name) {
  const found = SERIES.get(name) ?? SERIES.get(String(name).split(' ')[0]);
  if (!found) throw new Error(`the palette has no style for the series "${name}"`);
  return found;
}
