// "About this model": for each program its formula or rule and a few plain
// sentences; the page adds a link to the program's manual page, which the
// build renders to man/NAME.1.html.
export const ABOUT = {
  peakseek: {
    formula: 'f(x) = exp(−(x − target)² / var),  x in [0, 1) from 16 binary digits',
    text: 'Each individual is a string of bits read as a number x. Fitter strings are picked more often ' +
      'as parents (roulette wheel), their bits are crossed over and now and then flipped. A wide hump ' +
      '(large var) scores almost every x alike, so selection has little to go on.',
  },
  hillscan: {
    formula: 'f(x, y) = Σ hᵢ exp(−(x − xᵢ)² − (y − yᵢ)²) / 1.5016,  (x, y) in [−4, 4)²',
    text: 'Nine hills: four of height 1 at (±2, ±2), one of 1.5 in the middle and four of 0.5 on the axes; ' +
      'the middle one is the highest, scaled to 1. A genome holds x and y as two halves of bits. ' +
      'A small population often settles on a lesser hill and never sees the highest.',
  },
  jobmatch: {
    formula: 'total = Σ value(worker i, job π(i)),  π a permutation',
    text: 'Every worker gets exactly one job; the table in the problem file says what each pairing is ' +
      'worth. The genome is the permutation itself, and crossover and mutation keep it one. ' +
      'For the sample problem the best total is 96.',
  },
  tacticbreed: {
    formula: 'move = table[what happened in the last rounds],  fitness = payoff per round',
    text: 'Each strategy is a table of C (cooperate) and D (defect): the opening move, then one move ' +
      'for every outcome of the rounds it remembers. Strategies play each other and the better-paid ' +
      'breed, so what pays depends on who else is there: they co-evolve.',
  },
  tacticpool: {
    formula: 'share(s, t+1) = share(s, t) · score(s) / average score',
    text: 'Five fixed strategies (All-C, Tit-for-Tat, Random, Pavlov, All-D) play the iterated ' +
      "prisoner's dilemma against the whole population. Each step a strategy's share grows in " +
      'proportion to what it earns against the present mix. Mistakes (noise) change who wins: see the ' +
      'experiments below.',
  },
  mapseries: {
    formula: 'x(t+1) = f(x(t)):  logistic (-func log) 4 r x (1 − x),  tent 2 r min(x, 1 − x),  ' +
      'sin 0.5 + 0.5 sin(2π aux r x),  gauss r exp(−aux (x − 0.5)²)',
    text: 'One number, fed through the same map again and again. As r grows, the series goes from a ' +
      'fixed point to cycles of 2, 4, 8, … and into chaos, where the smallest change in x0 grows ' +
      'until the series is another one. Here r runs from 0 to 1 for every map; textbooks write the ' +
      'logistic map as μ x (1 − x), with μ = 4r from 0 to 4: r = 0.75 is their μ = 3, where the ' +
      'period first doubles.',
  },
  orbitpin: {
    formula: 'x(t+1) = A − x(t)² + B x(t−1) + p(t),  p small, from the distance to the fixed point',
    text: 'The Henon map is chaotic, yet it has a fixed point (x*, x*) that the orbit passes near now ' +
      'and then. Once the orbit comes close, control adds a small nudge p each step that puts it back ' +
      'on the one path leading into the point, so it stays; a nudge too large is not given. ' +
      'Switched off, rounding or noise carries the orbit away again.',
  },
};

export const manualPage = (program) => `man/${program}.1.html`;
