// The experiments the page lists: a question, the command line that answers
// it (a link to the page's fragment) and the finding, as the programs print
// it. `expect` says what a test checks in the output, so that a finding stays
// true as the code changes:
//   share       tacticpool: the share of `name` at the last step
//   best        a genetic algorithm: the best (or `average`) of the last generation
//   bestX       peakseek: the best x of the last generation, its distance to `to`
//   period      mapseries: the period the printed series ends on (0: none up to 32)
//   periods     a sweep of r: the period at each r
//   settles     mapseries: every value from step `from` on is `value`
//   pinned      orbitpin: the largest |x - x*| over steps from..to, `within` or `beyond`
//   sweepMean   a sweep/run.sh table: the mean of a column over the seeds of `value`
// Bounds: above, below (exclusive), equals (the printed text).
export const EXPERIMENTS = [
  {
    id: 'pool-noise', question: 'With noise 0.05, who wins?',
    line: 'tacticpool -steps 1000 -noise 0.05',
    finding: 'Pavlov: it holds the whole population by step 1,000.',
    expect: [{kind: 'share', name: 'Pavlov', above: 0.99}],
  },
  {
    id: 'pool-clean', question: 'Without mistakes, who wins?',
    line: 'tacticpool -steps 60',
    finding: 'Tit-for-Tat, with 65 %, ahead of Pavlov with 31 %; All-D and Random are gone.',
    expect: [{kind: 'share', name: 'TFT', above: 0.6}, {kind: 'share', name: 'Pavlov', above: 0.3},
             {kind: 'share', name: 'All-D', below: 0.001}, {kind: 'share', name: 'Random', below: 0.001}],
  },
  {
    id: 'pool-long', question: "Does Pavlov's win under noise 0.05 last?",
    line: 'tacticpool -steps 6000 -noise 0.05',
    finding: 'No: All-D comes back after about 4,000 steps and takes the whole population.',
    expect: [{kind: 'share', name: 'All-D', above: 0.99}],
  },
  {
    id: 'pool-sweep', question: 'How much noise can cooperation take?',
    line: 'sweep/run.sh -p tacticpool -o -noise -v "0 0.005 0.01 0.02 0.05 0.1 0.2" -s 3 -a "-steps 2000"',
    finding: 'Tit-for-Tat leads up to 0.005, Pavlov wins from 0.01 to 0.05, All-D from 0.1 on ' +
      '(in two of three seeds there).',
    expect: [{kind: 'sweepMean', column: 'TFT', value: '0', above: 0.6},
             {kind: 'sweepMean', column: 'Pavlov', value: '0.02', above: 0.99},
             {kind: 'sweepMean', column: 'All-D', value: '0.1', above: 0.6, below: 0.7},
             {kind: 'sweepMean', column: 'All-D', value: '0.2', above: 0.99}],
  },
  {
    id: 'breed-cooperate', question: 'Without mistakes, do evolved strategies cooperate?',
    line: 'tacticbreed',
    finding: 'Yes: after 50 generations every game pays 4 a round, the reward of mutual cooperation.',
    expect: [{kind: 'best', average: true, equals: '4.000000'}],
  },
  {
    id: 'breed-noise', question: 'Do mistakes hurt the evolution of cooperation?',
    line: 'sweep/run.sh',
    finding: 'Many do: the mean payoff falls from 3.77 a round at 1 % mistakes to 2.13 at 10 %, and every run at ' +
      '10 % pays less than every run at 1 %. Whether a few help, ten seeds cannot tell: without mistakes eight ' +
      'runs reach 4, but two stick at mutual defection (about 1), and those two alone pull the mean down to 3.40.',
    expect: [{kind: 'sweepMean', column: 'average', value: '0', above: 3.3, below: 3.5},
             {kind: 'sweepMean', column: 'average', value: '0.01', above: 3.7},
             {kind: 'sweepMean', column: 'average', value: '0.1', below: 2.2}],
  },
  {
    id: 'hill-ten', question: 'Where do ten individuals end on the nine hills?',
    line: 'hillscan',
    finding: 'On a lesser hill: the best is 0.525 after 50 generations, where the highest peak is 1.',
    expect: [{kind: 'best', above: 0.5, below: 0.6}],
  },
  {
    id: 'hill-forty', question: 'Ten individuals stall on a lesser hill; do forty find the highest?',
    line: 'hillscan -size 40 -gens 100',
    finding: 'Yes: over 100 generations forty climb the highest peak, to 0.999.',
    expect: [{kind: 'best', above: 0.99}],
  },
  {
    id: 'peak-wide', question: 'Is a wide hump easy to climb?',
    line: 'peakseek -target 0.8',
    finding: 'It finds the top but cannot keep it: four times its best individual sits near x = 0.8 with a ' +
      'value above 0.998 (x = 0.803 in generations 36 to 40), and each time later generations lose it. The ' +
      'hump is so wide (0.53 at x = 0, 1 at 0.8) that selection hardly tells the individuals apart, and after ' +
      '50 generations the best x is 0.56.',
    expect: [{kind: 'bestX', to: 0.8, beyond: 0.2}],
  },
  {
    id: 'peak-narrow', question: 'And a narrow one?',
    line: 'peakseek -target 0.8 -var 0.01',
    finding: 'Found: the best x is 0.801, as the fitness now tells near from far.',
    expect: [{kind: 'bestX', to: 0.8, within: 0.005}],
  },
  {
    id: 'job-best', question: 'Does a larger population find the best total, 96?',
    line: 'jobmatch -size 100 -gens 200',
    finding: 'Yes: 100 individuals over 200 generations reach 96, where the default ten get to 80.',
    expect: [{kind: 'best', equals: '96'}],
  },
  {
    id: 'map-doubling', question: 'Where does the logistic map double its period?',
    line: 'for r in $(seq 0.7 0.002 0.9); do mapseries -skip 2000 -points 64 -r $r; done',
    finding: 'Period 2 from r = 0.75 (4r = 3), 4 from 0.862 (3.448), 8 from 0.887 (3.548), 16 near 0.892 ' +
      '(3.568), then chaos: the doublings come ever faster.',
    expect: [{kind: 'periods', at: {'0.748': 1, '0.752': 2, '0.860': 2, '0.864': 4, '0.884': 4,
                                    '0.888': 8, '0.892': 16, '0.900': 0}}],
  },
  {
    id: 'map-window', question: 'Is there order inside the chaos?',
    line: 'mapseries -r 0.96 -skip 1000 -points 30',
    finding: 'Yes: at r = 0.96 (4r = 3.84) the logistic map settles on a cycle of period 3.',
    expect: [{kind: 'period', period: 3}],
  },
  {
    id: 'map-tent', question: 'Does the chaotic tent map at r = 1 ever settle?',
    line: 'mapseries -func tent -r 1 -points 60',
    finding: 'On a computer, yes; in the mathematics, no. The computer holds x0 = 0.123456 as a binary ' +
      'fraction of 53 digits, each step shifts one digit out, and from step 57 the series is exactly 0. ' +
      'Exactly, x0 is 1929/15625, whose series never reaches 0: it cycles for ever through 6,250 fractions.',
    expect: [{kind: 'settles', from: 57, value: '0.000000'}],
  },
  {
    id: 'pin-clean', question: 'Does control hold the chaotic Henon orbit?',
    line: 'orbitpin',
    finding: 'Yes: it catches the orbit within 33 steps and holds it on x* = 0.838486; released, ' +
      'the orbit leaves after about 50 steps, and is caught again.',
    expect: [{kind: 'pinned', from: 84, to: 100, within: 1e-5}, {kind: 'pinned', from: 101, to: 150, within: 0.01},
             {kind: 'pinned', from: 101, to: 200, beyond: 0.5}, {kind: 'pinned', from: 260, to: 300, within: 1e-5}],
  },
  {
    id: 'pin-noise', question: 'With noise 0.002, does the orbit stay pinned?',
    line: 'orbitpin -gauss 0.002 -points 400',
    finding: 'Only while control is on: then it stays within 0.01 of x*; released, it wanders over the attractor.',
    expect: [{kind: 'pinned', from: 220, to: 400, within: 0.01}, {kind: 'pinned', from: 101, to: 200, beyond: 0.5}],
  },
];

// The page's link to an experiment.
export const experimentLink = ({line}) => `#${encodeURIComponent(line)}`;
