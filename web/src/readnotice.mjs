// Says, beside each field and in the status region, where the program will
// read a typed value otherwise than it was typed (asread.mjs). The run goes
// ahead as typed: these are notices, not refusals.
import {noticesFor} from './asread.mjs';

const $ = (id) => document.getElementById(id);

const sentence = ({name, text, value, why}) =>
  `${name} "${text}" is read as ${value}: ${why}.`;

export function showReadNotices(screen, args) {
  for (const old of document.querySelectorAll('.read-as')) old.remove();
  const notices = screen ? noticesFor(screen, args) : [];
  const list = $('read-notices');
  list.replaceChildren(...notices.map((n) => Object.assign(document.createElement('p'), {textContent: sentence(n)})));
  list.hidden = !notices.length;
  // The last value of an option counts, so its field shows the last notice.
  for (const n of notices) {
    const input = $(`opt${n.name}`);
    if (!input) continue;
    input.parentNode.querySelector('.read-as')?.remove();
    const note = Object.assign(document.createElement('p'), {className: 'read-as', id: `opt${n.name}-read`,
                                                             textContent: sentence(n)});
    input.after(note);
    input.setAttribute('aria-describedby', note.id);
  }
  for (const input of document.querySelectorAll('#options input[aria-describedby]')) {
    if (!document.getElementById(input.getAttribute('aria-describedby'))) input.removeAttribute('aria-describedby');
  }
}
