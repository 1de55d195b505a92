// A stand-in for a canvas whose 2D context writes SVG instead of pixels, so
// that the page's pictures, drawn once for the screen, also come out as
// vector figures. It knows the part of the canvas API the pictures use:
// paths of lines, arcs and rectangles, stroke and fill with colour, width
// and dash, text with its font and alignment, save/restore, translate,
// rotate and setTransform, clip, and drawImage of a canvas (embedded as a
// PNG, or nested when it is another of these). measureText asks a real canvas, so that a layout matches the screen.
//
// svgCanvas() -> canvas: {width, height, style, getContext('2d')};
// svgOf(canvas) -> {body, width, height}: the SVG elements drawn, in the
// canvas's pixels.

const esc = (s) => String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;').replace(/"/g, '&quot;');
const num = (v) => String(Math.round(v * 100) / 100);

const IDENTITY = [1, 0, 0, 1, 0, 0];
const multiply = ([a, b, c, d, e, f], [A, B, C, D, E, F]) =>
  [a * A + c * B, b * A + d * B, a * C + c * D, b * C + d * D, a * E + c * F + e, b * E + d * F + f];
const apply = ([a, b, c, d, e, f], x, y) => [a * x + c * y + e, b * x + d * y + f];
const scaleOf = ([a, b]) => Math.hypot(a, b);

let measurer = null;
function measure(font, text) {
  measurer ??= (globalThis.OffscreenCanvas ? new OffscreenCanvas(1, 1) : document.createElement('canvas')).getContext('2d');
  measurer.font = font;
  return measurer.measureText(text);
}

// A canvas's (or OffscreenCanvas's) pixels as a data URL.
function dataUrl(source) {
  const copy = document.createElement('canvas');
  copy.width = source.width;
  copy.height = source.height;
  copy.getContext('2d').drawImage(source, 0, 0);
  return copy.toDataURL('image/png');
}

const ANCHOR = {left: 'start', start: 'start', center: 'middle', right: 'end', end: 'end'};
const BASELINE = {top: 'text-before-edge', hanging: 'hanging', middle: 'central', alphabetic: 'alphabetic',
                  ideographic: 'ideographic', bottom: 'text-after-edge'};

function newContext(canvas) {
  const out = [], defs = [];
  let clips = 0;
  const fresh = () => ({matrix: IDENTITY, fillStyle: '#000', strokeStyle: '#000', lineWidth: 1, dash: [],
                        font: '10px sans-serif', textAlign: 'start', textBaseline: 'alphabetic', clip: null,
                        imageSmoothingEnabled: true, lineJoin: 'miter', globalAlpha: 1});
  let state = fresh();
  const stack = [];
  let path = []; // SVG path commands, in the canvas's pixels

  const clipAttr = () => (state.clip ? ` clip-path="url(#${state.clip})"` : '');
  const strokeAttrs = () => {
    const k = scaleOf(state.matrix);
    const dash = state.dash.length ? ` stroke-dasharray="${state.dash.map((d) => num(d * k)).join(' ')}"` : '';
    return `fill="none" stroke="${esc(state.strokeStyle)}" stroke-width="${num(state.lineWidth * k)}"` +
      ` stroke-linejoin="${state.lineJoin}"${dash}`;
  };
  const point = (x, y) => apply(state.matrix, x, y).map(num).join(' ');
  // fillRect and strokeRect paint a rectangle of their own, leaving the
  // path being built as it was. paint: 'fill' or 'stroke'.
  const rectAlone = (x, y, w, h, paint) => {
    const saved = path;
    path = [];
    ctx.rect(x, y, w, h);
    ctx[paint]();
    path = saved;
  };

  const ctx = {
    canvas,
    save() { stack.push({...state}); },
    restore() { if (stack.length) state = stack.pop(); },
    setTransform(a, b, c, d, e, f) { state.matrix = [a, b, c, d, e, f]; },
    resetTransform() { state.matrix = IDENTITY; },
    translate(x, y) { state.matrix = multiply(state.matrix, [1, 0, 0, 1, x, y]); },
    scale(x, y) { state.matrix = multiply(state.matrix, [x, 0, 0, y, 0, 0]); },
    rotate(t) { state.matrix = multiply(state.matrix, [Math.cos(t), Math.sin(t), -Math.sin(t), Math.cos(t), 0, 0]); },
    setLineDash(dash) { state.dash = [...dash]; },
    getLineDash() { return [...state.dash]; },
    beginPath() { path = []; },
    closePath() { path.push('Z'); },
    moveTo(x, y) { path.push(`M${point(x, y)}`); },
    lineTo(x, y) { path.push(`L${point(x, y)}`); },
    rect(x, y, w, h) {
      path.push(`M${point(x, y)}`, `L${point(x + w, y)}`, `L${point(x + w, y + h)}`, `L${point(x, y + h)}`, 'Z');
    },
    // Arcs as the pictures draw them: whole circles, or parts of one, under
    // a transform that scales alike in x and y.
    arc(x, y, r, from, to) {
      const k = scaleOf(state.matrix), R = num(r * k);
      const at = (t) => point(x + r * Math.cos(t), y + r * Math.sin(t));
      if (Math.abs(to - from) >= 2 * Math.PI - 1e-9) {
        path.push(`M${at(from)}`, `A${R} ${R} 0 1 1 ${at(from + Math.PI)}`, `A${R} ${R} 0 1 1 ${at(from)}`);
        return;
      }
      path.push(path.length ? `L${at(from)}` : `M${at(from)}`, `A${R} ${R} 0 ${to - from > Math.PI ? 1 : 0} 1 ${at(to)}`);
    },
    stroke() {
      if (path.length) out.push(`<path d="${path.join('')}" ${strokeAttrs()}${clipAttr()}/>`);
    },
    fill() {
      if (path.length) out.push(`<path d="${path.join('')}" fill="${esc(state.fillStyle)}"${clipAttr()}/>`);
    },
    clip() {
      const id = `clip${++clips}`;
      defs.push(`<clipPath id="${id}"><path d="${path.join('')}"/></clipPath>`);
      state.clip = id;
    },
    fillRect(x, y, w, h) { rectAlone(x, y, w, h, 'fill'); },
    strokeRect(x, y, w, h) { rectAlone(x, y, w, h, 'stroke'); },
    clearRect() {}, // the figure starts empty
    fillText(text, x, y) {
      const [a, b, c, d, e, f] = multiply(state.matrix, [1, 0, 0, 1, x, y]);
      out.push(`<text transform="matrix(${[a, b, c, d, e, f].map(num).join(' ')})" fill="${esc(state.fillStyle)}"` +
               ` style="font: ${esc(state.font)}" text-anchor="${ANCHOR[state.textAlign] ?? 'start'}"` +
               ` dominant-baseline="${BASELINE[state.textBaseline] ?? 'alphabetic'}"${clipAttr()}>${esc(text)}</text>`);
    },
    measureText: (text) => measure(state.font, text),
    drawImage(image, ...args) {
      const [x, y, w, h] = args.length >= 4 ? args.slice(-4) : [args[0], args[1], image.width, image.height];
      const [a, b, c, d, e, f] = multiply(state.matrix, [1, 0, 0, 1, x, y]);
      if (image.drawing) { // another SVG canvas: its elements, nested
        const m = multiply([a, b, c, d, e, f], [w / image.width, 0, 0, h / image.height, 0, 0]);
        out.push(`<g transform="matrix(${m.map(num).join(' ')})"${clipAttr()}>${svgOf(image).body}</g>`);
        return;
      }
      const pixelated = state.imageSmoothingEnabled ? '' : ' style="image-rendering: pixelated"';
      out.push(`<image transform="matrix(${[a, b, c, d, e, f].map(num).join(' ')})" width="${num(w)}"` +
               ` height="${num(h)}" preserveAspectRatio="none" href="${dataUrl(image)}"${pixelated}${clipAttr()}/>`);
    },
  };
  for (const name of Object.keys(fresh())) {
    if (name === 'matrix' || name === 'clip' || name === 'dash') continue;
    Object.defineProperty(ctx, name, {get: () => state[name], set: (v) => { state[name] = v; }});
  }
  return {ctx, out, defs};
}

export function svgCanvas() {
  const canvas = {width: 300, height: 150, style: {}};
  const drawing = newContext(canvas);
  canvas.getContext = () => drawing.ctx;
  canvas.drawing = drawing;
  return canvas;
}

export function svgOf(canvas) {
  const {out, defs} = canvas.drawing;
  return {body: (defs.length ? `<defs>${defs.join('')}</defs>` : '') + out.join('\n'),
          width: canvas.width, height: canvas.height};
}
