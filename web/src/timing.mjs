// Every interval the page and its workers keep, in one place, and the one
// throttle they keep them with. The throttle takes its clock, so that a
// test can drive it without waiting.

export const TIMING = Object.freeze({
  batch: 20, // ms a runner gathers a program's bytes before sending them on
  message: 100, // ms between the reader's messages to the page while output comes
  draw: 200, // ms between the page's redraws while a run goes on
  canvas: 500, // ms between repaints of a canvas picture, slower to draw than a chart
  describe: 1000, // ms between updates of the text alternatives while a run goes on
  settle: 600, // ms a choice made with the keyboard must rest before it runs
  copied: 1500, // ms the Copy button says "Copied"
});

export const realClock = Object.freeze({
  now: () => performance.now(),
  later: (fn, ms) => setTimeout(fn, ms),
  cancel: (id) => clearTimeout(id),
});

// Calls fn at most once every `every` ms: a request within that time is put
// off to its end, and requests meanwhile add nothing. flush() calls a
// waiting fn at once; cancel() drops it.
export function newThrottle(every, fn, clock = realClock) {
  let last = -Infinity, timer = null;
  const fire = () => {
    timer = null;
    last = clock.now();
    fn();
  };
  return {
    request() {
      if (timer !== null) return;
      const wait = last + every - clock.now();
      if (wait <= 0) fire();
      else timer = clock.later(fire, wait);
    },
    flush() {
      if (timer === null) return;
      clock.cancel(timer);
      fire();
    },
    cancel() {
      if (timer !== null) clock.cancel(timer);
      timer = null;
    },
    waiting: () => timer !== null,
  };
}

// A choice that runs at once, unless keys were pressed within `settle` ms:
// then it waits until they rest, and the last choice runs. now() runs a
// waiting choice at once.
export function newSettler(settle, clock = realClock) {
  let keyed = -Infinity, timer = null, waiting = null;
  const run = () => {
    const fn = waiting;
    timer = waiting = null;
    fn?.();
  };
  return {
    keyed() { keyed = clock.now(); },
    choose(fn) {
      if (timer !== null) clock.cancel(timer);
      waiting = fn;
      if (clock.now() - keyed < settle) timer = clock.later(run, settle);
      else run();
    },
    now() {
      if (timer === null) return;
      clock.cancel(timer);
      run();
    },
  };
}
