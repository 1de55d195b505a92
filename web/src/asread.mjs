// What a program reads of a typed value, where that differs from what was
// typed. The programs read a whole number as C's strtol does (base 10, the
// longest prefix that is a number, 0 when none, held to the int range) and
// a real number as strtod does (decimal or hexadecimal, inf and nan, the
// longest prefix, 0 when none); they never refuse a value for it. The page
// runs the command as typed and only says so beside the field.
//
// readAs(option, text) -> null when the program reads what was typed, or
//   {value, why}: the value as the program holds it and why, in words.
//   option: {name, kind} of a parsed help screen (help.mjs).
// noticesFor(screen, args) -> [{name, text, value, why}] for the values of
//   args that the program reads differently, in the order typed.

// The options that hold a whole number (C int) in every program; the help
// screen prints all numbers alike. A test holds this to the option tables.
export const WHOLE_NUMBERS = new Set(['-size', '-len', '-gens', '-seed', '-steps', '-rounds', '-points',
                                      '-skip', '-on1', '-off', '-on2', '-bouts', '-hlen']);
// The options that are a probability, drawn against a uniform number in [0, 1).
export const PROBABILITIES = new Set(['-crate', '-mrate', '-noise', '-rcp']);
// The counts the program allocates without checking them first (it refuses
// a bad -len, say, with its own message).
const SIZES = new Set(['-size', '-hlen']);

const INT_MAX = 2147483647, INT_MIN = -2147483648;
// The memory a run has in the browser (WebAssembly's 32-bit address space).
const RUN_MEMORY = 4 * 2 ** 30;
const SPACE = '[ \\t\\n\\v\\f\\r]*';

const INTEGER = new RegExp(`^${SPACE}([+-]?\\d+)`);
const REAL = new RegExp(`^${SPACE}([+-]?)(?:(infinity|inf)|(nan(?:\\([0-9a-z_]*\\))?)|` +
  '0x((?:[0-9a-f]+(?:\\.[0-9a-f]*)?|\\.[0-9a-f]+)(?:p[+-]?\\d+)?)|' +
  '((?:\\d+(?:\\.\\d*)?|\\.\\d+)(?:e[+-]?\\d+)?))', 'i');

// C's strtol(text, NULL, 10) held to int: {value, used: characters read}.
export function readInteger(text) {
  const m = INTEGER.exec(text);
  if (!m) return {value: 0, used: 0};
  const wide = BigInt(m[1]);
  const value = wide > INT_MAX ? INT_MAX : wide < INT_MIN ? INT_MIN : Number(wide);
  return {value, used: m[0].length, clamped: BigInt(value) !== wide};
}

// A hexadecimal float's digits ("1.8p3") as a number.
function hexValue(body) {
  const [mantissa, exponent = '0'] = body.toLowerCase().split('p');
  const [whole, fraction = ''] = mantissa.split('.');
  const digits = BigInt('0x' + ((whole + fraction) || '0'));
  return Number(digits) * 2 ** (Number(exponent) - 4 * fraction.length);
}

// C's strtod(text, NULL): {value, used}.
export function readReal(text) {
  const m = REAL.exec(text);
  if (!m) return {value: 0, used: 0};
  const [all, sign, inf, nan, hex, decimal] = m;
  const magnitude = inf ? Infinity : nan ? NaN : hex !== undefined ? hexValue(hex) : Number(decimal);
  return {value: sign === '-' ? -magnitude : magnitude, used: all.length};
}

const show = (v) => (Number.isNaN(v) ? 'nan' : v === Infinity ? 'inf' : v === -Infinity ? '-inf' : String(v));
const quoted = (text) => `"${text}"`;

// Why the program reads `used` characters of text, or null when it reads them all.
function cutWhy(text, used, what) {
  if (used === 0) {
    return text.trim() === '' ? `it is empty, and an empty ${what} reads as 0`
      : `${quoted(text)} does not start with a number, and the program reads such a value as 0`;
  }
  const rest = text.slice(used);
  return rest.trim() === '' ? null : `the program reads the ${what} up to ${quoted(rest)} and ignores the rest`;
}

function readWhole(name, text) {
  const {value, used, clamped} = readInteger(text);
  const real = readReal(text);
  let why = null;
  if (used > 0 && real.used > used) {
    // "2.0" is read as typed; "2.5" and "1e3" are not.
    const same = real.value === value && text.slice(real.used).trim() === '';
    why = same ? null : `${name} takes a whole number: the program reads ${quoted(text.trim())} up to ` +
      `${quoted(text.slice(used))} and ignores the rest`;
  } else if (clamped) {
    why = `${name} takes a whole number from ${INT_MIN} to ${INT_MAX}, and a larger one reads as the nearest of those`;
  } else {
    why = cutWhy(text, used, 'number');
  }
  const size = SIZES.has(name) ? sizeWhy(name, value) : null;
  if (!why && !size) return null;
  return {value: show(value), why: [why, size].filter(Boolean).join('; and ')};
}

// A count the program cannot allocate: below 0, or a population past the
// memory a run has here at 8 bytes a member (its score, at least).
function sizeWhy(name, value) {
  if (value < 0) return `a negative ${name} is a size the program cannot allocate, so it stops with its out-of-memory message`;
  if (name === '-size' && value * 8 > RUN_MEMORY) {
    return `${name} ${value} needs at least ${value * 8} bytes, more than the 4 GB a run has in the browser, ` +
      'so the program stops with its out-of-memory message';
  }
  return null;
}

function readNumber(name, text) {
  const {value, used} = readReal(text);
  const why = cutWhy(text, used, 'number');
  const outside = PROBABILITIES.has(name) && !(value >= 0 && value <= 1)
    ? `${name} is a probability, and ${show(value)} lies outside 0 to 1: ` +
      (value > 1 ? 'every draw is below it, so it acts as 1 (always)'
        : 'no draw is below it, so it acts as 0 (never)')
    : null;
  if (!why && !outside) return null;
  return {value: show(value), why: [why, outside].filter(Boolean).join('; and ')};
}

export function readAs(option, text) {
  if (option.kind !== 'number') return null;
  return WHOLE_NUMBERS.has(option.name) ? readWhole(option.name, text) : readNumber(option.name, text);
}

export function noticesFor(screen, args) {
  const notices = [];
  for (let i = 0; i < args.length; i++) {
    const option = screen.options.find((o) => o.name === args[i]);
    if (!option || option.kind === 'switch' || option.kind === 'handler' || i + 1 >= args.length) continue;
    const text = args[++i];
    const read = readAs(option, text);
    if (read) notices.push({name: option.name, text, ...read});
  }
  return notices;
}
