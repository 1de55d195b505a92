// The command line of a run, the one place where the page keeps its state:
// the URL fragment holds it, the form shows it, and it is what a user can
// copy into a shell. A bifurcation diagram is a loop over r:
//   for r in $(seq FROM STEP TO); do mapseries ... -r $r; done
import {splitWords, joinWords} from './help.mjs';

const LOOP = /^for r in \$\(seq (\S+) (\S+) (\S+)\); do (.*) -r \$r; done$/;

// {program, args, sweep: null or {from, step, to}} from a command line.
export function parseCommand(line) {
  const loop = LOOP.exec(line.trim());
  const words = splitWords(loop ? loop[4] : line);
  const sweep = loop ? {from: loop[1], step: loop[2], to: loop[3]} : null;
  return {program: words[0] ?? '', args: words.slice(1), sweep};
}

export function formatCommand({program, args, sweep}) {
  const line = joinWords([program, ...args]);
  if (!sweep) return line;
  return `for r in $(seq ${sweep.from} ${sweep.step} ${sweep.to}); do ${line} -r $r; done`;
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

// The words seq writes for decimal FROM, STEP and TO: FROM + i * STEP, up
// to TO, with as many decimals as FROM or STEP has; at most `limit` words.
// Null when a bound is not a plain decimal or the step is not positive.
export function seqWords({from, step, to}, limit = Infinity) {
  const p = Math.max(places(from), places(step));
  const [a, s, b] = [from, step, to].map((t) => scaled(t, p));
  if (a === null || s === null || b === null || s <= 0n || p > 20) return null;
  const words = [];
  for (let v = a; v <= b && words.length < limit; v += s) {
    const sign = v < 0n ? '-' : '';
    const digits = (v < 0n ? -v : v).toString().padStart(p + 1, '0');
    words.push(p ? `${sign}${digits.slice(0, -p)}.${digits.slice(-p)}` : sign + digits);
  }
  return words;
}
