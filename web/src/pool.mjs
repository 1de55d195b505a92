// The workers of the page, made here and nowhere else: a pool of runners
// (one per core, at most MAX_RUNNERS) and one reader (worker.mjs), and the
// exporter (exportwork.mjs). Every job goes through one queue and gets one
// promise; jobs carry a tag, and stopping a tag drops its queued jobs and
// ends the runners that hold one, since a WebAssembly program cannot read a
// stop message. A runner that dies is replaced. The pool also keeps each
// program's compiled module, so that a program is compiled once and handed
// to every runner after.
import {MSG} from './messages.mjs';

export const MAX_RUNNERS = 8;
// Jobs a runner holds at once: the next waits in the runner rather than
// for the page, which may be busy drawing, to send it.
const DEPTH = 2;

export const runnerCount = () => Math.max(1, Math.min(MAX_RUNNERS, globalThis.navigator?.hardwareConcurrency || 2));

const newWorker = () => new Worker(new URL('./worker.mjs', import.meta.url), {type: 'module'});
// The worker that makes a run's table and record (exportwork.mjs).
export const newExporter = () => new Worker(new URL('./exportwork.mjs', import.meta.url), {type: 'module'});

// A job: {tag, urgent, message, transfer, prepare?}: prepare() ->
// {message, transfer}, called as the job goes to its runner (a job's port
// is made then). submit(job) -> Promise of the runner's reply (RAN or
// HELPED; RAN with status null, died and an error when the runner died),
// rejected when the job's tag is stopped. An urgent job (a help screen the
// page waits for) goes to an idle runner, or one beyond the size, so that
// it never waits behind a run. makeWorker: a test's stand-in for Worker.
export function newPool(size = runnerCount(), makeWorker = newWorker) {
  const held = new Map(); // runner -> its jobs, the first one running
  const queue = [], modules = {};
  let reader = null;

  const spawn = () => {
    const worker = makeWorker();
    held.set(worker, []);
    worker.onmessage = ({data}) => settle(worker, data);
    worker.onerror = (e) => {
      e.preventDefault();
      died(worker, e.message || 'the worker did not start');
    };
    return worker;
  };
  // The runner for a job, or null while none may take it.
  const runnerFor = (job) => {
    let best = null;
    for (const [worker, jobs] of held) if (!best || jobs.length < held.get(best).length) best = worker;
    const least = best ? held.get(best).length : Infinity;
    if (least === 0) return best;
    if (held.size < size + (job.urgent ? 1 : 0)) return spawn();
    return !job.urgent && least < DEPTH ? best : null;
  };
  const dispatch = () => {
    for (let i = 0; i < queue.length;) {
      const worker = runnerFor(queue[i]);
      if (!worker) {
        i++;
        continue;
      }
      const [job] = queue.splice(i, 1);
      held.get(worker).push(job);
      const {message, transfer = []} = job.prepare ? job.prepare() : job;
      worker.postMessage({...message, modules: {...modules}}, transfer);
    }
  };
  const settle = (worker, data) => {
    const job = held.get(worker)?.shift();
    if (!job) return;
    if (!held.get(worker).length && held.size > size) end(worker); // the one beyond the size
    if (data.type === MSG.HELPED) modules[data.program] = data.module;
    job.resolve(data);
    dispatch();
  };
  // The running job fails; the ones waiting behind it go back to the queue.
  const died = (worker, error) => {
    const [running, ...waiting] = held.get(worker) ?? [];
    end(worker);
    queue.unshift(...waiting);
    running?.resolve({type: MSG.RAN, status: null, died: true, error});
    dispatch();
  };
  const end = (worker) => {
    worker.terminate();
    held.delete(worker);
  };

  return {
    submit(job) {
      return new Promise((resolve, reject) => {
        queue.push({...job, resolve, reject});
        dispatch();
      });
    },
    stop(tag) {
      const stopped = new Error('stopped');
      const drop = (job) => (job.tag === tag ? (job.reject(stopped), false) : true);
      queue.splice(0, queue.length, ...queue.filter(drop));
      for (const [worker, jobs] of [...held]) {
        if (!jobs.some((job) => job.tag === tag)) continue;
        end(worker);
        queue.unshift(...jobs.filter(drop));
      }
      dispatch();
    },
    // The reader, made when first asked for; ended to stop what it reads.
    reader: () => (reader ??= makeWorker()),
    endReader() {
      reader?.terminate();
      reader = null;
    },
  };
}
