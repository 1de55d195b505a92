// The experiment beside the picture: when the command line on the page is
// one of the experiments (experiments.mjs), its question stands above the
// picture (the list marks it, lessons.mjs). The finding waits, so that a
// reader can predict first: it is offered once the run has ended and shown
// when asked for. An experiment chosen from the list brings the reader to
// its picture.
import {EXPERIMENTS} from './experiments.mjs';

const $ = (id) => document.getElementById(id);

// Shows the experiment whose command line is `line`, if any; returns it.
export function showExperiment(line) {
  const chosen = EXPERIMENTS.find((e) => e.line === line) ?? null;
  $('lesson').hidden = !chosen;
  $('lesson-question').textContent = chosen?.question ?? '';
  $('lesson-finding').textContent = chosen?.finding ?? '';
  $('lesson-finding').hidden = true;
  $('lesson-reveal').hidden = false;
  $('lesson-reveal').disabled = true;
  return chosen;
}

// The run has ended: its finding may be asked for.
export function offerFinding() {
  $('lesson-reveal').disabled = false;
}

// The picture and the question in view, and the focus on the question.
export function bringToExperiment() {
  $('lesson').focus();
}

// onChoose(href): an experiment was chosen from the list.
export function wireExperiments(onChoose) {
  $('experiments').addEventListener('click', (e) => {
    const link = e.target.closest('[data-experiment] a');
    if (link) onChoose(link.getAttribute('href'));
  });
  $('lesson-reveal').onclick = () => {
    $('lesson-finding').hidden = false;
    $('lesson-reveal').hidden = true;
    $('lesson-finding').focus();
  };
}
