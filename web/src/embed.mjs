// The page inside another: index.html?embed#COMMAND shows only the picture,
// Run/Stop and the command line (compare.css), runs the command lines its
// parent posts and tells the parent how each run ended, with the SHA-256
// of its output (hashed by a runner, off this thread). Nothing a message
// holds is ever put into the page as HTML: a posted command line goes
// where a typed one goes, into the address's fragment.
import {MSG} from './messages.mjs';

const LONGEST = 100000; // characters of a posted command line

export const embedded = () => new URLSearchParams(location.search).has('embed');
const framed = () => window.parent !== window;

// The command line of a message {type: 'run', command: text} and nothing
// else; null for any other shape.
export function postedCommand(data) {
  if (data === null || typeof data !== 'object' || Object.getPrototypeOf(data) !== Object.prototype) return null;
  const keys = Object.keys(data);
  if (keys.length !== 2 || data.type !== 'run' || typeof data.command !== 'string') return null;
  return data.command;
}

// open(command) runs a command line as if it were the fragment; refuse(text)
// says why one will not run.
export function wireEmbed({open, refuse}) {
  if (!embedded() || !framed()) return;
  addEventListener('message', (e) => {
    if (e.source !== window.parent) return;
    const command = postedCommand(e.data);
    if (command === null) return;
    if (command.length > LONGEST) {
      refuse(`The command line posted has ${command.length} characters; the page reads at most ${LONGEST}.`);
      return;
    }
    open(command.toWellFormed?.() ?? command); // a lone surrogate cannot go into the address
  });
}

// Tells the parent how a run ended: {command, status (the exit status as a
// number, or 'stopped', 'crashed', 'refused'), sha256 of the standard
// output the page holds (null for a refusal)}, and a refusal's message.
export async function tellParent(pool, {command, status, stdout = [], message = ''}) {
  if (!embedded() || !framed()) return;
  let sha256 = null;
  if (status !== 'refused') {
    const reply = await pool.submit({tag: 'hash', urgent: true, message: {type: MSG.HASH, blobs: stdout}})
      .catch(() => null);
    sha256 = reply?.type === MSG.HASHED ? reply.sha256 : null;
  }
  const said = {type: 'status', command, status: /^\d+$/.test(status) ? Number(status) : status, sha256};
  // The parent may be of any origin; what the page tells it is the command
  // line it was given and a digest of output anyone can make again.
  window.parent.postMessage(message ? {...said, message} : said, '*');
}

// Whether this frame may download: true or false where its sandbox can be
// read (the parent is of this origin), null where it cannot.
function downloadsAllowed() {
  try {
    const frame = window.frameElement;
    if (!frame) return null;
    return !frame.hasAttribute('sandbox') || frame.sandbox.contains('allow-downloads');
  } catch {
    return null;
  }
}

// A frame whose sandbox lacks allow-downloads drops a download without a
// word: the page says so instead, or, where it cannot tell, says what to
// do if nothing came. say(text) shows a message.
export function wireDownloads(say) {
  if (!framed()) return;
  document.addEventListener('click', (e) => {
    if (!e.target.closest?.('a[download]')) return;
    const allowed = downloadsAllowed();
    if (allowed) return;
    const page = new URL(location.href);
    page.searchParams.delete('embed');
    if (allowed === false) {
      e.preventDefault();
      say('This frame does not allow downloads: its sandbox lacks allow-downloads. ' +
          `Open the page on its own to download: ${page.href}`);
    } else {
      say('If the download did not come, this frame may not allow downloads (a sandbox without ' +
          `allow-downloads). Open the page on its own to download: ${page.href}`);
    }
  }, true);
}
