// Runs programs away from the page and reads their output there, so that
// the page's thread only draws. One file, two roles, by message
// (messages.mjs): a runner (HELP, HASH, RUN) of the pool (pool.mjs), and the
// reader (READ, SOURCE, ENDED), which takes what the runners send, keeps
// the bytes, feeds the reading halves of the views that serve the run
// (views.mjs) and replies to the page at most every TIMING.message ms while
// output comes, and once at the end.
// Running and reading in separate workers lets a long output be read while
// the program goes on writing it.
import {run, load, provide} from './suite.mjs';
import {MSG, SHOWN, errorText} from './messages.mjs';
import {TIMING} from './timing.mjs';
import {newBatcher, take as hand, flush, eachPart} from './handover.mjs';
import {loadScanner, unstage} from './linescan.mjs';

// Only a reader needs the views: loaded beside the rest, not before it,
// so that a runner is ready sooner.
const readings = import('./readings.mjs');


async function help({program}) {
  const {stderr} = await run(program, ['-help']);
  const [, module] = await load(program);
  postMessage({type: MSG.HELPED, program, text: stderr, module});
}

async function hash({blobs}) {
  const {digestBlobs} = await import('./sha256.mjs');
  postMessage({type: MSG.HASHED, sha256: (await digestBlobs(blobs)).sha256});
}

async function runner({job: {index, program, args}, port, modules}) {
  for (const [name, module] of Object.entries(modules ?? {})) provide(name, module);
  const batcher = newBatcher((batch, transfer) => port.postMessage({type: MSG.BYTES, ...batch}, transfer));
  const take = (name) => (bytes) => hand(batcher, name, index, bytes);
  let ended;
  const started = Date.now();
  try {
    const {status} = await run(program, args, {
      collect: false, bytes: true, onStdout: take('stdout'), onStderr: take('stderr'),
    });
    ended = {index, status, error: status === null ? 'the program ended without an exit status' : ''};
  } catch (e) {
    ended = {index, status: null, error: errorText(e)};
  }
  Object.assign(ended, {started, finished: Date.now()}); // for a sweep's record
  flush(batcher); // what the program wrote before it ended or failed
  port.postMessage({type: MSG.ENDED, ...ended});
  port.close();
  postMessage({type: MSG.RAN, ...ended});
}

// Hands a loop's messages on in the loop's order: a run that is not yet
// due waits, whole, for the runs before it.
function inTurn(deliver) {
  const held = new Map(); // run index -> {pieces, end}
  let next = 0;
  const arrive = (data) => {
    const index = data.type === MSG.BYTES ? data.pieces[0][1] : data.index;
    if (index !== next) {
      const wait = held.get(index) ?? {pieces: [], end: null};
      held.set(index, wait);
      if (data.type === MSG.BYTES) wait.pieces.push(...data.pieces);
      else wait.end = data;
      return;
    }
    deliver(data);
    if (data.type !== MSG.ENDED) return;
    const due = held.get(++next);
    if (!due) return;
    held.delete(next);
    if (due.pieces.length) arrive({type: MSG.BYTES, pieces: due.pieces});
    if (due.end) arrive(due.end);
  };
  return arrive;
}

// The reader of one run: a single program, a bifurcation loop or a sweep.
// A loop's runs are handed to its views and its output one after another,
// in the loop's order, as a shell prints them, and it ends at its first
// failed run; a sweep's in any order, and its output is made from its view.
let reading = null;

async function reader({id, command, values, words, sweep, screen}) {
  const [{views: viewsOf, describeRun, streamOf}] = await Promise.all([readings, loadScanner()]);
  const described = describeRun(command, {values, words, sweep, screen});
  const views = viewsOf(described).map((v) => ({record: v.reading, state: v.reading.start(described),
                                                stream: streamOf(v, described)}));
  const ordered = !sweep;
  const runs = words ? words.length : sweep ? described.expected : 1;
  const streams = {};
  for (const name of ['stdout', 'stderr']) {
    const bytes = views.filter((v) => v.stream === name || v.stream === 'both');
    streams[name] = {decoder: new TextDecoder(), parts: [], head: '', grew: false, bytes, raw: ordered};
  }
  let ended = 0, status = null, posted = performance.now(), done = false;

  const send = (type) => {
    const message = {type, id, ended, status, chunks: {}, head: {}};
    for (const [name, s] of Object.entries(streams)) {
      message.chunks[name] = s.parts.length ? new Blob(s.parts) : null;
      s.parts = [];
      if (s.grew) message.head[name] = s.head;
      s.grew = false;
    }
    message.views = views.map((v) => v.record.snapshot(v.state));
    postMessage(message);
    posted = performance.now();
  };
  const take = (name, index, bytes) => {
    const s = streams[name];
    if (s.raw && s.head.length < SHOWN) {
      const text = s.decoder.decode(bytes, {stream: true});
      if (text) {
        s.head += text.slice(0, SHOWN - s.head.length);
        s.grew = true;
      }
    }
    for (const v of s.bytes) v.record.bytes(v.state, bytes, index, name);
    unstage();
  };
  // A loop's run that could not end stops the loop as a crash, after the
  // last of what it wrote; a sweep reports it among its failed runs.
  const finish = (st, error) => {
    done = true;
    if (st !== null || !ordered) return send(MSG.END);
    send(MSG.DATA);
    postMessage({type: MSG.CRASH, id, message: error});
  };
  const deliver = (data) => {
    if (done) return;
    if (data.type === MSG.BYTES) {
      if (ordered) eachPart(data, (name, part) => streams[name].parts.push(part));
      for (const [name, index, bytes] of data.pieces) take(name, index, bytes);
      if (performance.now() - posted >= TIMING.message) send(MSG.DATA);
      return;
    }
    const times = {started: data.started ?? Date.now(), finished: data.finished ?? Date.now()};
    for (const v of views) v.record.end?.(v.state, data.index, data.status, data.error, times);
    ended++;
    status = data.status;
    if (ended === runs || (ordered && status !== 0)) finish(status, data.error);
  };
  const arrive = ordered ? inTurn(deliver) : deliver;
  const guarded = (data) => {
    try {
      arrive(data);
    } catch (e) {
      done = true;
      postMessage({type: MSG.CRASH, id, message: errorText(e)});
    }
  };
  reading = {id, guarded};
  if (!runs) finish(1, '');
}

function source({id, port}) {
  const r = reading;
  if (r?.id !== id) return port.close();
  port.onmessage = ({data}) => { if (reading === r) r.guarded(data); };
}

function endedElsewhere(data) {
  if (reading?.id === data.id) reading.guarded(data);
}

const roles = {[MSG.HELP]: help, [MSG.HASH]: hash, [MSG.RUN]: runner, [MSG.READ]: reader, [MSG.SOURCE]: source,
               [MSG.ENDED]: endedElsewhere};

// One message at a time: a reading is ready before its sources come.
let queue = Promise.resolve();
onmessage = ({data}) => {
  queue = queue.then(() => roles[data.type]?.(data)).catch((e) => {
    postMessage([MSG.HELP, MSG.HASH, MSG.RUN].includes(data.type)
      ? {type: MSG.RAN, index: data.job?.index, status: null, error: errorText(e)}
      : {type: MSG.CRASH, id: data.id, message: errorText(e)});
  });
};
