// The workers of the page, made here and nowhere else: a pool of runners
// (one per core, at most MAX_RUNNERS) and one reader (worker.mjs). Every
// job goes through one queue and gets one promise; jobs carry a tag, and
// stopping a tag drops its queued jobs and ends its busy runners, since a
// WebAssembly program cannot read a stop message. A runner that dies is
// replaced. The pool also keeps each program's compiled module, so that a
// program is compiled once and handed to every runner after.
import {MSG} from './messages.mjs';

export const MAX_RUNNERS = 8;

export const runnerCount = () => Math.max(1, Math.min(MAX_RUNNERS, globalThis.navigator?.hardwareConcurrency || 2));

const newWorker = () => new Worker(new URL('./worker.mjs', import.meta.url), {type: 'module'});

// A job: {tag, urgent, message, transfer, prepare?}: prepare() ->
// {message, transfer}, called as the job starts (a job's port is made then).
// submit(job) -> Promise of the runner's reply (RAN or HELPED; RAN with
// status null and an error when the runner died), rejected when the job's
// tag is stopped.
export function newPool(size = runnerCount()) {
  const idle = [], busy = new Map(), queue = [], modules = {};
  let reader = null;

  const spawn = () => {
    const worker = newWorker();
    worker.onmessage = ({data}) => settle(worker, data);
    worker.onerror = (e) => {
      e.preventDefault();
      worker.terminate();
      settle(worker, {type: MSG.RAN, status: null, died: true, error: e.message || 'the worker did not start'}, true);
    };
    return worker;
  };
  // An urgent job (a help screen the page waits for) may take one runner
  // beyond the size, so that a long run does not hold it up.
  const dispatch = () => {
    for (let i = 0; i < queue.length;) {
      if (!idle.length && busy.size >= size + (queue[i].urgent ? 1 : 0)) {
        i++;
        continue;
      }
      const [job] = queue.splice(i, 1);
      const worker = idle.pop() ?? spawn();
      busy.set(worker, job);
      const {message, transfer = []} = job.prepare ? job.prepare() : job;
      worker.postMessage({...message, modules: {...modules}}, transfer);
    }
  };
  const settle = (worker, data, dead = false) => {
    const job = busy.get(worker);
    if (!job) return;
    busy.delete(worker);
    if (!dead) idle.push(worker);
    if (data.type === MSG.HELPED) modules[data.program] = data.module;
    job.resolve(data);
    dispatch();
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
      for (let i = queue.length - 1; i >= 0; i--) {
        if (queue[i].tag === tag) queue.splice(i, 1)[0].reject(stopped);
      }
      for (const [worker, job] of busy) {
        if (job.tag !== tag) continue;
        busy.delete(worker);
        worker.terminate();
        job.reject(stopped);
      }
      dispatch();
    },
    // The reader, made when first asked for; ended to stop what it reads.
    reader: () => (reader ??= newWorker()),
    endReader() {
      reader?.terminate();
      reader = null;
    },
    knows: (program) => program in modules,
  };
}
