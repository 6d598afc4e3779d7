// The live screen: pictures arrive on the server's event stream and are drawn as
// they come; the stylus (mouse or touch) and the keyboard go to the device.
import { post } from './api.js';

const HOLD_MS = 1000;        // the device's tap-and-hold
const DOUBLE_TAP_MS = 300;   // the device's double-tap time
const SLOP = 4;              // device pixels a press may wander and stay a tap

export const stats = { frames: 0, latencies: [], pending: null };

export function connect(canvas, onState, onConnection) {
  const context = canvas.getContext('2d');
  const events = new EventSource('events');
  events.addEventListener('frame', (event) => {
    const image = new Image();
    image.onload = () => {
      if (canvas.width !== image.width || canvas.height !== image.height) {
        canvas.width = image.width;
        canvas.height = image.height;
        document.body.classList.toggle('vga', image.width > 320);
      }
      context.drawImage(image, 0, 0);
      stats.frames += 1;
      if (stats.pending !== null) {
        stats.latencies.push(performance.now() - stats.pending);
        stats.pending = null;
      }
    };
    image.src = 'data:image/png;base64,' + event.data;
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
      onTap(at, 'hold');
    }, HOLD_MS);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!press) return;
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
    onTap(done.at, second ? 'double' : 'tap');
  };
  canvas.addEventListener('pointerup', (event) => release(event, false));
  canvas.addEventListener('pointercancel', (event) => release(event, true));
}

export async function tap(at, gesture) {
  stats.pending = performance.now();
  return post('api/stylus', { x: at.x, y: at.y, gesture });
}

const NAMED_KEYS = {
  Enter: 'enter', Escape: 'escape', Delete: 'delete', Backspace: 'backspace', Tab: 'tab',
  ArrowUp: 'up', ArrowDown: 'down', ArrowLeft: 'left', ArrowRight: 'right',
};

// Text goes as characters, everything else as the device's keys.
export function keyOf(event) {
  if (event.altKey || event.metaKey) return null;
  if (event.ctrlKey && /^[a-z0-9]$/i.test(event.key)) return { key: 'ctrl+' + event.key.toLowerCase() };
  if (NAMED_KEYS[event.key]) return { key: (event.ctrlKey ? 'ctrl+' : '') + NAMED_KEYS[event.key] };
  if (!event.ctrlKey && event.key.length === 1) return { text: event.key };
  return null;
}
