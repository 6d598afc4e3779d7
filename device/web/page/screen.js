// The live screen: pictures arrive on the server's event stream and are drawn as
// they come; the stylus (mouse or touch) and the keyboard go to the device.
import { get, post } from './api.js';

const HOLD_MS = 1000;        // the device's tap-and-hold
const DOUBLE_TAP_MS = 300;   // the device's double-tap time
const SLOP = 4;              // device pixels a press may wander and stay a tap
const HOVER_MS = 300;        // the stylus resting over the screen this long asks what is there

// For the browser tests and anyone curious: frames drawn; for each tap that
// changed the screen the milliseconds from the pointer event to the animation
// frame that shows the new screen; the number of the last tap that changed the
// screen and the number of inputs the screen on the page shows (the page has
// caught up when the second is at least the first).
export const stats = { frames: 0, latencies: [], awaited: 0, shown: 0 };
let pending = null;                  // the last tap: when it was made, and its input number once answered
let shown = { inputs: 0, at: 0 };    // the newest frame on the page: the inputs it shows, when it appeared

function settleLatency() {
  if (!pending || pending.input === null || shown.inputs < pending.input) return;
  stats.latencies.push(shown.at - pending.since);
  pending = null;
}

function decode(base64) {
  const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
  return createImageBitmap(new Blob([bytes], { type: 'image/png' }));
}

export function connect(canvas, onState, onConnection) {
  const context = canvas.getContext('2d');
  const events = new EventSource('events');
  let drawing = Promise.resolve();
  events.addEventListener('frame', (event) => {
    // "INPUTS PNG": the frame shows the effect of that many inputs.
    const space = event.data.indexOf(' ');
    const inputs = Number(event.data.slice(0, space));
    const picture = decode(event.data.slice(space + 1));
    // Frames are drawn in the order they came, however long each takes to decode.
    drawing = drawing.then(() => picture).then((image) => {
      if (canvas.width !== image.width || canvas.height !== image.height) {
        canvas.width = image.width;
        canvas.height = image.height;
        document.body.classList.toggle('vga', image.width > 320);
      }
      context.drawImage(image, 0, 0);
      image.close();
      stats.frames += 1;
      requestAnimationFrame(() => {
        shown = { inputs: Math.max(shown.inputs, inputs), at: performance.now() };
        stats.shown = shown.inputs;
        settleLatency();
      });
    }).catch(() => {});
  });
  events.addEventListener('state', (event) => onState(JSON.parse(event.data)));
  events.onopen = () => onConnection(true);
  events.onerror = () => onConnection(false);
  return events;
}

function devicePoint(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const x = Math.floor((event.clientX - box.left) * canvas.width / box.width);
  const y = Math.floor((event.clientY - box.top) * canvas.height / box.height);
  return { x: Math.max(0, Math.min(canvas.width - 1, x)), y: Math.max(0, Math.min(canvas.height - 1, y)) };
}

// Press, hold, release and drag as the device's stylus knows them: a press let go
// where it began is a tap (a second one soon after is a double tap); a press kept
// for a second is a hold, delivered while the stylus is still down, as the device
// shows its menu then; a press dragged away and let go elsewhere taps nothing, as
// a button pressed and slid off is not pushed.
export function attachStylus(canvas, onTap, report) {
  let press = null;
  let lastTap = null;
  canvas.addEventListener('pointerdown', (event) => {
    event.preventDefault();
    canvas.focus();
    canvas.setPointerCapture(event.pointerId);
    const at = devicePoint(canvas, event);
    press = { at, moved: false, held: false };
    press.timer = setTimeout(() => {
      if (!press || press.moved) return;
      press.held = true;
      onTap(at, 'hold', performance.now());
    }, HOLD_MS);
  });
  let hover = null;
  canvas.addEventListener('pointermove', (event) => {
    if (!press) {
      // Resting over the screen shows what a tap there would reach.
      clearTimeout(hover);
      const at = devicePoint(canvas, event);
      hover = setTimeout(async () => {
        const answer = await get(`api/what?x=${at.x}&y=${at.y}`);
        if (answer.ok) canvas.title = answer.what;
      }, HOVER_MS);
      return;
    }
    const at = devicePoint(canvas, event);
    if (Math.abs(at.x - press.at.x) > SLOP || Math.abs(at.y - press.at.y) > SLOP) press.moved = true;
  });
  const release = (event, cancelled) => {
    if (!press) return;
    clearTimeout(press.timer);
    const done = press;
    press = null;
    if (done.held || cancelled) return;
    const at = devicePoint(canvas, event);
    if (done.moved && (Math.abs(at.x - done.at.x) > SLOP || Math.abs(at.y - done.at.y) > SLOP)) {
      report('a drag taps nothing: the stylus was let go away from where it was pressed');
      return;
    }
    const now = performance.now();
    const second = lastTap && now - lastTap.time < DOUBLE_TAP_MS &&
      Math.abs(lastTap.at.x - done.at.x) <= SLOP && Math.abs(lastTap.at.y - done.at.y) <= SLOP;
    lastTap = second ? null : { at: done.at, time: now };
    onTap(done.at, second ? 'double' : 'tap', event.timeStamp);
  };
  canvas.addEventListener('pointerup', (event) => release(event, false));
  canvas.addEventListener('pointercancel', (event) => release(event, true));
}

// `since` is when the pointer event was made (the page's clock).
export async function tap(at, gesture, since) {
  const mine = { since, input: null };
  pending = mine;
  const answer = await post('api/stylus', { x: at.x, y: at.y, gesture });
  if (answer.ok && answer.changed) stats.awaited = Math.max(stats.awaited, answer.input);
  if (pending === mine && answer.ok && answer.changed) {
    mine.input = answer.input;
    settleLatency();
  } else if (pending === mine) {
    pending = null;
  }
  return answer;
}

const NAMED_KEYS = {
  Enter: 'enter', Escape: 'escape', Delete: 'delete', Backspace: 'backspace', Tab: 'tab',
  ArrowUp: 'up', ArrowDown: 'down', ArrowLeft: 'left', ArrowRight: 'right',
};

// The device's name of a key that goes as a key (Control combinations, arrows,
// Enter, Escape, Delete...); nothing for a key that types text, which arrives as
// the text field's input instead, as an input method composes it.
export function keyName(event) {
  if (event.altKey || event.metaKey || event.isComposing) return null;
  if (event.ctrlKey && /^[a-z0-9]$/i.test(event.key)) return 'ctrl+' + event.key.toLowerCase();
  if (NAMED_KEYS[event.key]) return (event.ctrlKey ? 'ctrl+' : '') + NAMED_KEYS[event.key];
  return null;
}
