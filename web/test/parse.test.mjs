// The pure readers of the page, which need no WebAssembly build: command
// lines into words and sweeps, output into columns (whole or in pieces that
// split lines anywhere).
import {test} from 'node:test';
import assert from 'node:assert/strict';
import {splitWords, joinWords} from '../src/command.mjs';
import {readColumns, newTable, addText, finishText} from '../src/columns.mjs';

test('command lines split into words and back', () => {
  const words = ['mapseries', '-func', 'it\'s sin', '', '-x0', '0.5'];
  assert.deepEqual(splitWords(joinWords(words)), words);
  assert.deepEqual(splitWords(' a  "b c"\\ d \'\' '), ['a', 'b c d', '']);
});

test('output reads into columns, in any pieces', () => {
  const cases = [ // text, names, the last row
    ['---\ntime = 0\naverage value = 1.5\nbest DNA = "01"\n---\ntime = 1\naverage value = -nan\nbest DNA = "10"\n',
      ['time', 'average value', 'best DNA'], [1, null, '"10"']],
    ['0.200000\t0.100000\t\n0.300000\tinf\t\n', ['1', '2'], [0.3, null]],
    ['(t,x[t],y[t],p[t])=\t1\t 1.27\t 0.06\t 0.000000\n(t,x[t],y[t],p[t])=\t2\t-0.32\t 1.27\t 0.01',
      ['t', 'x[t]', 'y[t]', 'p[t]'], [2, -0.32, 1.27, 0.01]],
    ['DCDDD\n0.5\n', ['1'], [0.5]],
  ];
  for (const [text, names, last] of cases) {
    const whole = readColumns(text);
    assert.deepEqual(whole.names, names);
    assert.deepEqual(whole.columns.map((c) => c[whole.rows - 1]), last);
    for (const cut of [1, 7, 13]) {
      const pieces = newTable();
      for (let i = 0; i < text.length; i += cut) addText(pieces, text.slice(i, i + cut));
      assert.deepEqual(finishText(pieces).columns, whole.columns, `pieces of ${cut}`);
    }
  }
});
