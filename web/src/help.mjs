// Reads a program's help screen into its option table, so that the page
// learns options, defaults and help texts from the program itself.
//
// parseHelp(text) -> {program, description, summary, options}
//   options: [{name, help, value, kind}] in the program's order, where kind
//   is 'number', 'string', 'switch' or 'handler' and value is the default as
//   text ('' for none; 'ON' or 'OFF' for a switch).

const OPTIONS_HEADING = 'Options with defaults in parentheses are:';

// The default shown in parentheses at the end of an entry.
function splitDefault(text) {
  const m = /^(.*?)\s*\(("[^"]*"|[^()]*)\)$/.exec(text);
  if (!m) return {help: text, value: '', kind: 'handler'};
  const [, help, shown] = m;
  if (shown === 'ON' || shown === 'OFF') return {help, value: shown, kind: 'switch'};
  if (shown === 'none') return {help, value: '', kind: 'string'};
  if (shown === 'no default') return {help, value: '', kind: 'handler'};
  if (shown.startsWith('"')) return {help, value: shown.slice(1, -1), kind: 'string'};
  return {help, value: shown, kind: 'number'};
}

// Wrapped lines are joined back with the one blank the wrap took.
function entries(lines) {
  const joined = [];
  for (const line of lines) {
    if (/^ {4}-/.test(line)) joined.push(line.trim());
    else if (line.trim() && joined.length) joined[joined.length - 1] += ' ' + line.trim();
  }
  return joined;
}

export function parseHelp(text) {
  const lines = text.split('\n');
  const usage = /^Usage: (\S+) \[ options \]$/.exec(lines[0]);
  const heading = lines.indexOf(OPTIONS_HEADING);
  if (!usage || heading < 0) throw new Error('not a help screen');
  const description = lines.slice(1, heading).map((l) => l.trim()).filter(Boolean)
    .join(' ').replace(/\s+/g, ' ');
  const options = entries(lines.slice(heading + 1)).map((entry) => {
    const [, name, rest] = /^(\S+)\s*(.*)$/.exec(entry);
    return {name, ...splitDefault(rest)};
  });
  return {program: usage[1], description, summary: firstSentence(description), options};
}

function firstSentence(text) {
  const end = text.search(/\.\s/);
  return end < 0 ? text : text.slice(0, end + 1);
}
