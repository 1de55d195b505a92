// The form of a program's options, built from its help screen: every option
// with its help text and default, set from a command line's arguments, and
// read back into arguments.
import {optionValues} from './command.mjs';

// The form's bifurcation section has the ids sweep-*, as it always had.
const BIFURCATION_DEFAULT = {from: '0.7', step: '0.001', to: '1'};
// A diagram needs the transient left out and enough points per r: what
// ticking the diagram sets where -skip and -points are at their defaults.
const BIFURCATION_SETTINGS = {'-skip': '300', '-points': '80'};
const $ = (id) => document.getElementById(id);

function optionRow(option) {
  const row = document.createElement('div');
  row.className = 'option';
  const input = document.createElement('input');
  input.id = `opt${option.name}`;
  input.name = option.name;
  input.type = option.kind === 'switch' ? 'checkbox' : 'text';
  input.spellcheck = false;
  input.autocomplete = 'off';
  const label = document.createElement('label');
  label.htmlFor = input.id;
  label.innerHTML = '<span class="name"></span><span class="help"></span>';
  label.firstChild.textContent = option.name;
  label.lastChild.textContent = option.help;
  // An emptied field stands for the default, which it then shows greyed.
  input.placeholder = option.value;
  input.title = `Default: ${option.value || 'none'}`;
  row.append(label, input);
  // Choices the help text names ("one of 'log', 'tent', ..."), offered as
  // suggestions: the program takes any text.
  const choices = /one of (.*)\)/.exec(option.help)?.[1].match(/'[^']*'/g);
  if (choices) {
    const list = document.createElement('datalist');
    list.id = `${input.id}-choices`;
    list.append(...choices.map((c) => new Option(c.slice(1, -1))));
    input.setAttribute('list', list.id);
    row.append(list);
  }
  return row;
}

// The rows of a program's options; a map series also gets the bifurcation
// diagram's loop over r.
export function buildForm(screen, isMap) {
  const form = $('options');
  form.replaceChildren(...screen.options.map(optionRow));
  $('sweep').hidden = !isMap;
  form.dataset.program = screen.program;
  $('sweep-on').onchange = () => {
    if (!$('sweep-on').checked) return;
    for (const [name, value] of Object.entries(BIFURCATION_SETTINGS)) {
      const input = $(`opt${name}`);
      const option = screen.options.find((o) => o.name === name);
      if (input && option && (input.value === '' || input.value === option.value)) input.value = value;
    }
  };
}

// Shows the values that args give, as the program would read them: the last
// value of an option counts and a switch flips each time it is named.
export function fillForm(screen, args, bifurcation) {
  const values = optionValues(screen, args);
  for (const o of screen.options) {
    const input = $(`opt${o.name}`);
    if (o.kind === 'switch') input.checked = values[o.name] === 'ON';
    else input.value = values[o.name];
  }
  const loop = bifurcation ?? BIFURCATION_DEFAULT;
  $('sweep-on').checked = Boolean(bifurcation);
  for (const k of ['from', 'step', 'to']) $(`sweep-${k}`).value = loop[k];
  if (!$('sweep').hidden) $('opt-r').disabled = Boolean(bifurcation);
}

// The arguments the form stands for: the options whose values differ from
// the defaults, in the table's order (an empty field means the default), and
// the bifurcation loop over r, which then sets r itself.
export function formCommand(screen) {
  const bifurcation = !$('sweep').hidden && $('sweep-on').checked
    ? {from: $('sweep-from').value, step: $('sweep-step').value, to: $('sweep-to').value}
    : null;
  const args = [];
  for (const o of screen.options) {
    const input = $(`opt${o.name}`);
    if (o.kind === 'switch') {
      if (input.checked !== (o.value === 'ON')) args.push(o.name);
    } else if (input.value !== '' && input.value !== o.value && !(bifurcation && o.name === '-r')) {
      args.push(o.name, input.value);
    }
  }
  return {args, bifurcation};
}
