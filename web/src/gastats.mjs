// The statistics blocks of peakseek, hillscan, jobmatch and tacticbreed read
// as demo/gastats.awk reads them: one row per block, the columns generation,
// average and best, then the program's other fields in the order it prints
// them (best_x, best_y, best_dna, best_table), every value the text printed,
// quotes removed. The first block fixes the columns.
//
// readGaStats(text) -> {names, rows}; lastGaStats(text) -> {name: value} of
// the last block, or null without one; gaStatsText(text, last) -> what
// `awk [-v last=1] -f demo/gastats.awk` prints.
//
// The page's readers share the rule: blockPair(line) splits a block's line
// into its key and value (columns.mjs), statColumn(key) names the column a
// key goes to (the curves pick the average and the best by it).

// A block's "key = value" line as [key, value], or null for another line.
export function blockPair(line) {
  if (!line.includes(' = ')) return null;
  return [line.replace(/ *= .*/, ''), line.replace(/^[^=]*= */, '')];
}

// The column of a block's key; the keys differ from program to program.
export function statColumn(key) {
  if (key === 'time') return 'generation';
  if (/^average (value|score)$/.test(key)) return 'average';
  if (/^best (value|score|average score)$/.test(key)) return 'best';
  if (key === 'best') return 'best_table';
  return key.replace(/ /g, '_').toLowerCase();
}

// A block's line as [name, value] pairs: "best (x, y)" holds two.
function fields([key, value]) {
  if (key !== 'best (x, y)') return [[statColumn(key), value.replace(/"/g, '')]];
  const [x, y] = value.replace(/[()]/g, '').split(/, */);
  return [['best_x', x], ['best_y', y ?? '']];
}

export function readGaStats(text) {
  const names = [], rows = [];
  let block = null;
  const flush = () => {
    if (!block) return;
    if (!names.length) {
      names.push('generation', 'average', 'best');
      for (const name of block.keys()) if (!names.includes(name)) names.push(name);
    }
    rows.push(names.map((name) => block.get(name) ?? ''));
    block = null;
  };
  for (const line of text.split('\n')) {
    const pair = block && blockPair(line);
    if (line === '---') {
      flush();
      block = new Map();
    } else if (pair) {
      for (const [name, value] of fields(pair)) block.set(name, value);
    } else {
      flush();
    }
  }
  flush();
  return {names, rows};
}

export function lastGaStats(text) {
  const {names, rows} = readGaStats(text);
  return rows.length ? Object.fromEntries(names.map((name, i) => [name, rows.at(-1)[i]])) : null;
}

export function gaStatsText(text, last = false) {
  const {names, rows} = readGaStats(text);
  if (!rows.length) return '';
  return [names, ...(last ? rows.slice(-1) : rows)].map((row) => row.join('\t') + '\n').join('');
}
