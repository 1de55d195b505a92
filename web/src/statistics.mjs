// tacticbreed writes its statistics to standard error and leaves standard
// output to the population it dumps: the page shows those statistics under
// the Output heading, labelled as standard error, rather than above it as
// a message. Any other standard error (a program's message) stays where
// messages go, above the output.
const $ = (id) => document.getElementById(id);

export function placeStatistics(r) {
  const statistics = r.command.program === 'tacticbreed' && r.head.stderr.startsWith('---');
  const pre = $('stderr');
  if ($('stderr-label').hidden === !statistics) return;
  $('stderr-label').hidden = !statistics;
  if (statistics) $('stderr-label').after(pre);
  else document.querySelector('.command').after(pre);
}
