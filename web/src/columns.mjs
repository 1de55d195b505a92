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

// A number as printf writes one, or undefined for any other text.
export function toNumber(text) {
  const v = text.trim() === '' ? NaN : Number(text);
  if (Number.isFinite(v)) return v;
  return /^\s*[-+]?(nan|inf|infinity)\s*$/i.test(text) ? null : undefined;
}

function column(table, name) {
  let i = table.names.indexOf(name);
  if (i < 0) {
    i = table.names.push(name) - 1;
    table.columns.push(new Array(table.rows).fill(null));
  }
  return i;
}

function addRow(table, names, values) {
  for (let i = 0; i < values.length; i++) table.columns[column(table, names[i])][table.rows] = values[i];
  table.rows++;
  for (const c of table.columns) if (c.length < table.rows) c.push(null);
}

function closeBlock(table) {
  if (table.block && table.block.length) {
    addRow(table, table.block.map((p) => p[0]), table.block.map((p) => p[1]));
  }
  table.block = null;
}

function readLine(table, line) {
  if (line === '---') {
    closeBlock(table);
    table.block = [];
    return;
  }
  const pair = table.block && /^([^=]*[^=\s])\s*=\s*(.*)$/.exec(line);
  if (pair) {
    const value = toNumber(pair[2]);
    table.block.push([pair[1], value === undefined ? pair[2] : value]);
    return;
  }
  const label = line.startsWith('(') ? /^\(([^)]*)\)=\s*(.*)$/.exec(line) : null;
  const words = (label ? label[2] : line).trim().split(/\s+/);
  const values = [];
  for (const w of words) {
    const v = toNumber(w);
    if (v === undefined) return;
    values.push(v);
  }
  addRow(table, label ? label[1].split(',') : numbered(values.length), values);
}

const NUMBERED = [];
function numbered(n) {
  while (NUMBERED.length < n) NUMBERED.push(String(NUMBERED.length + 1));
  return NUMBERED;
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
