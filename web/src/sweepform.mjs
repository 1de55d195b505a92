// The form's sweep section (#grid): a sweep/run.sh command line made from
// the option swept, its values and the number of seeds, with the form's
// other options given to every run; and the sweeps the page refuses.
import {SWEEP_PROGRAMS, defaultOption, defaultValues, formatSweep} from './sweep.mjs';
import {joinWords} from './command.mjs';

export const SWEEP_LIMIT = 20000; // runs in one sweep
const $ = (id) => document.getElementById(id);

export function buildSweepForm(screen) {
  const offered = SWEEP_PROGRAMS.includes(screen.program);
  $('grid').hidden = !offered;
  if (!offered) return;
  const options = screen.options.filter((o) => o.kind === 'number' && o.name !== '-seed');
  $('grid-option').replaceChildren(...options.map((o) => new Option(`${o.name}  ${o.help}`, o.name)));
}

export function fillSweepForm(sweep, program) {
  if ($('grid').hidden) return;
  const option = sweep?.option ?? defaultOption(program);
  $('grid-on').checked = Boolean(sweep);
  $('grid-option').value = option;
  $('grid-values').value = sweep ? sweep.values.join(' ') : defaultValues(option, program);
  $('grid-seeds').value = String(sweep?.seeds ?? 10);
}

// The sweep/run.sh command line the form stands for, or null when its
// sweep is off: the other options of the form go to every run (-a).
export function sweepLine(screen, args) {
  if ($('grid').hidden || !$('grid-on').checked) return null;
  const option = $('grid-option').value;
  const rest = [];
  for (let i = 0; i < args.length; i++) {
    const switched = screen.options.find((o) => o.name === args[i])?.kind === 'switch';
    const words = switched ? [args[i]] : [args[i], args[++i]];
    if (words[0] !== option && words[0] !== '-seed') rest.push(...words);
  }
  const values = $('grid-values').value.split(/\s+/).filter(Boolean);
  return formatSweep({program: screen.program, option, values, seeds: $('grid-seeds').value.trim() || '10',
                      argsText: joinWords(rest)});
}

// A changed option in the sweep section brings its default values.
export function wireSweepForm() {
  $('grid-option').addEventListener('change', () => {
    $('grid-values').value = defaultValues($('grid-option').value, $('options').dataset.program);
  });
}

// Why the page will not run a sweep, or '' when it will; screen is null
// while the program's help screen is not read.
export function checkSweep(sweep, screen) {
  if (sweep.error) return `sweep/run.sh: ${sweep.error}.`;
  if (!screen.options.some((o) => o.name === sweep.option)) {
    return `sweep/run.sh: ${sweep.program} has no option ${sweep.option} (see ${sweep.program} -help).`;
  }
  const runs = sweep.values.length * sweep.seeds;
  if (runs > SWEEP_LIMIT) return `The sweep has ${runs} runs; the page runs at most ${SWEEP_LIMIT}.`;
  return '';
}
