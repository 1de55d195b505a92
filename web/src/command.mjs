// The command line of a run, the one place where the page keeps its state:
// the URL fragment holds it, the form shows it, and it is what a user can
// copy into a shell. A bifurcation diagram is a loop over r:
//   for r in $(seq FROM STEP TO); do mapseries ... -r $r; done
// Also the shell words it is made of, the values of r that seq gives, and
// what the address's fragment asks for.

export const BIFURCATION_LIMIT = 20000; // values of r in one diagram

const LOOP = /^for r in \$\(seq (\S+) (\S+) (\S+)\); do (.*) -r \$r; done$/;

// The words of a command line: blanks separate, quotes group (as a shell
// reads simple words). Throws on a quote left open.
export function splitWords(line) {
  const words = [];
  const re = /'([^']*)'|"((?:\\.|[^"\\])*)"|(\\.|[^\s'"\\]+)|(\s+)|(.)/gs;
  let word = null;
  for (const m of line.matchAll(re)) {
    if (m[5] !== undefined) {
      throw new Error(m[5] === '\\' ? 'The command line ends in a lone backslash.'
                                     : `The command line has an unbalanced ${m[5]} quote.`);
    }
    if (m[4] !== undefined) {
      if (word !== null) words.push(word);
      word = null;
      continue;
    }
    const part = m[1] ?? (m[2] !== undefined ? m[2].replace(/\\(.)/g, '$1')
                                             : m[3].replace(/\\(.)/g, '$1'));
    word = (word ?? '') + part;
  }
  if (word !== null) words.push(word);
  return words;
}

// The reverse, quoting only where needed.
export function quoteWord(word) {
  if (/^[\w@%+=:,./-]+$/.test(word)) return word;
  return `'${word.replace(/'/g, `'\\''`)}'`;
}

export function joinWords(words) {
  return words.map(quoteWord).join(' ');
}

// {program, args, bifurcation: null or {from, step, to}} from a command
// line. Throws on unbalanced quotes.
export function parseCommand(line) {
  const loop = LOOP.exec(line.trim());
  const words = splitWords(loop ? loop[4] : line);
  const bifurcation = loop ? {from: loop[1], step: loop[2], to: loop[3]} : null;
  return {program: words[0] ?? '', args: words.slice(1), bifurcation};
}

export function formatCommand({program, args, bifurcation}) {
  const line = joinWords([program, ...args]);
  if (!bifurcation) return line;
  const {from, step, to} = bifurcation;
  return `for r in $(seq ${from} ${step} ${to}); do ${line} -r $r; done`;
}

// What the fragment of the address asks for, with its line as typed:
// {line, command, words} (words: the values of r of a bifurcation loop, or
// null), {line, sweep} for a sweep/run.sh command line (read by
// parseSweep), or {line, refusal}. programs: the programs there are.
export function readFragment(raw, {programs, parseSweep}) {
  let line = raw, command;
  const refuse = (refusal) => ({line, refusal});
  try {
    line = decodeURIComponent(raw);
  } catch {
    return refuse('The address does not hold a command line: it has a % that is not an escape.');
  }
  const sweep = parseSweep(line);
  if (sweep) return {line, sweep};
  try {
    command = parseCommand(line);
  } catch (e) {
    return refuse(e.message);
  }
  if (!command.program.trim()) return refuse('The command line in the address is empty.');
  if (!programs.includes(command.program)) {
    return refuse(`There is no program "${command.program}". The programs are: ${programs.join(', ')}.`);
  }
  if (command.bifurcation && command.program !== 'mapseries') {
    return refuse('Only mapseries draws a bifurcation diagram: the other programs have no -r.');
  }
  if (!command.bifurcation) return {line, command, words: null};
  const seq = seqWords(command.bifurcation, BIFURCATION_LIMIT);
  return seq.error ? refuse(seq.error) : {line, command, words: seq.words};
}

// The values of the options as the program reads them, from its help screen
// (help.mjs) and args: the last value of an option counts and a switch flips
// each time it is named. {name: text}; a switch is 'ON' or 'OFF'.
export function optionValues(screen, args) {
  const values = {};
  for (const o of screen.options) values[o.name] = o.value;
  for (let i = 0; i < args.length; i++) {
    const o = screen.options.find((e) => e.name === args[i]);
    if (!o) continue;
    if (o.kind === 'switch') values[o.name] = values[o.name] === 'ON' ? 'OFF' : 'ON';
    else if (i + 1 < args.length) values[o.name] = args[++i];
  }
  return values;
}

// A decimal as an integer count of 10^-places, exactly.
function scaled(text, places) {
  const m = /^([-+]?)(\d*)(?:\.(\d*))?$/.exec(text);
  if (!m || !(m[2] || m[3])) return null;
  const digits = (m[2] || '0') + (m[3] || '').padEnd(places, '0');
  return BigInt(m[1] === '-' ? '-' + digits : digits);
}

function places(text) {
  const dot = text.indexOf('.');
  return dot < 0 ? 0 : text.length - dot - 1;
}

// The words seq writes for decimal FROM, STEP and TO: FROM + i * STEP while
// not past TO, with as many decimals as FROM or STEP has; a negative step
// counts down. {words}, or {error} for what the page refuses: a bound that
// is not a plain decimal, a step of 0, a loop whose step leads away from TO
// and one of more than `limit` values.
export function seqWords({from, step, to}, limit = Infinity) {
  const p = Math.max(places(from), places(step));
  const [a, s, b] = [from, step, to].map((t) => scaled(t, p));
  if (a === null || s === null || b === null || p > 20) {
    return {error: 'A bifurcation diagram needs plain decimal numbers (written with a point) for from, step and to of r.'};
  }
  if (s === 0n) return {error: 'The step of r must not be 0.'};
  if (s > 0n ? a > b : a < b) {
    return {error: `The loop of r from ${from} to ${to} is reversed: ` +
                   `its step must be ${s > 0n ? 'negative' : 'positive'} to get there.`};
  }
  const count = (b - a) / s + 1n;
  if (limit !== Infinity && count > BigInt(limit)) {
    return {error: `The bifurcation diagram has ${count} values of r; the page runs at most ${limit} in one diagram.`};
  }
  const words = [];
  for (let i = 0n, v = a; i < count; i++, v += s) {
    const sign = v < 0n ? '-' : '';
    const digits = (v < 0n ? -v : v).toString().padStart(p + 1, '0');
    words.push(p ? `${sign}${digits.slice(0, -p)}.${digits.slice(-p)}` : sign + digits);
  }
  return {words};
}
