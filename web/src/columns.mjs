// Turns a program's text output into named columns of numbers, as it comes.
// Two shapes exist: blocks opened by "---" holding "name = value" lines (one
// row per block), and lines of numbers, optionally after a label such as
// "(t,x[t],y[t]...)=" that names them. Values that are not numbers are kept
// as text; numbers that are not finite become null (a gap in a plot).
//
// const table = newTable(); addText(table, chunk); ... finishText(table);
// table.names: the column names; table.columns: one array per name.

export function newTable() {
  return {names: [], columns: [], rows: 0, rest: '', block: null};
}

export function toNumber(text) {
  const t = text.trim();
  if (!/^[-+]?(\d+\.?\d*(e[-+]?\d+)?|\.\d+|nan|inf)$/i.test(t)) return undefined;
  const v = /nan|inf/i.test(t) ? NaN : Number(t);
  return Number.isFinite(v) ? v : null;
}

function column(table, name) {
  let i = table.names.indexOf(name);
  if (i < 0) {
    i = table.names.push(name) - 1;
    table.columns.push(new Array(table.rows).fill(null));
  }
  return i;
}

function addRow(table, values) {
  for (const [name, value] of values) table.columns[column(table, name)][table.rows] = value;
  table.rows++;
  for (const c of table.columns) if (c.length < table.rows) c.push(null);
}

function closeBlock(table) {
  if (table.block && table.block.length) addRow(table, table.block);
  table.block = null;
}

function readLine(table, line) {
  if (line === '---') {
    closeBlock(table);
    table.block = [];
    return;
  }
  const pair = /^([^=]*[^=\s])\s*=\s*(.*)$/.exec(line);
  if (table.block && pair) {
    const value = toNumber(pair[2]);
    table.block.push([pair[1], value === undefined ? pair[2] : value]);
    return;
  }
  const label = /^\(([^)]*)\)=\s*(.*)$/.exec(line);
  const names = label ? label[1].split(',') : [];
  const words = (label ? label[2] : line).split(/\s+/).filter(Boolean);
  const values = words.map(toNumber);
  if (!words.length || values.includes(undefined)) return;
  addRow(table, values.map((v, i) => [names[i] ?? String(i + 1), v]));
}

export function addText(table, text) {
  const lines = (table.rest + text).split('\n');
  table.rest = lines.pop();
  for (const line of lines) readLine(table, line);
  return table;
}

// Reads a last line without its newline and the last open block.
export function finishText(table) {
  if (table.rest) readLine(table, table.rest);
  table.rest = '';
  closeBlock(table);
  return table;
}

export function readColumns(text) {
  return finishText(addText(newTable(), text));
}
