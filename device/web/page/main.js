// The page: the handheld's screen and buttons, and the panels beside it.
import { post } from './api.js';
import { attachStylus, connect, keyName, stats, tap } from './screen.js';
import { note, showState, wireClock, wireFiles, wireRecording, wireScript, wireStartMenu } from './panels.js';

const canvas = document.getElementById('screen');
const picker = { next: null };  // an expectation waiting for a tap on the screen
let inputPanel = false;

window.handheld = stats;  // for the browser tests: frames drawn, tap latencies, the latest state

connect(canvas, (state) => { stats.state = state; showState(state); }, (live) => {
  const status = document.getElementById('connection');
  status.textContent = live ? 'live' : 'reconnecting';
  status.classList.toggle('live', live);
});

attachStylus(canvas, async (at, gesture, since) => {
  if (picker.next) {
    const pick = picker.next;
    picker.next = null;
    return pick(at);
  }
  const answer = await tap(at, gesture, since);
  if (!answer.ok) note(answer.error);
  else document.getElementById('hit').textContent = `${gesture} at ${at.x}, ${at.y}: ${answer.what}`;
}, note);

// The keyboard goes through a text field over the screen, so that an input method
// can compose Japanese there: keys go as keys, text as it is committed.
const keys = document.getElementById('keys');
canvas.addEventListener('focus', () => keys.focus());
keys.addEventListener('keydown', async (event) => {
  const name = keyName(event);
  if (!name) return;
  event.preventDefault();
  const answer = await post('api/key', { name });
  if (!answer.ok) note(answer.error);
});
async function sendTyped() {
  const text = keys.value;
  keys.value = '';
  if (!text) return;
  const answer = await post('api/text', { text });
  if (!answer.ok) note(answer.error);
}
keys.addEventListener('input', (event) => { if (!event.isComposing) sendTyped(); });
keys.addEventListener('compositionend', sendTyped);

document.getElementById('zoom').onchange = (event) => document.body.classList.toggle('zoom', event.target.checked);
document.getElementById('sip-button').onclick = () => { inputPanel = !inputPanel; post('api/sip', { on: inputPanel ? 1 : 0 }); };
document.getElementById('escape-button').onclick = () => post('api/key', { name: 'escape' });
document.getElementById('enter-button').onclick = () => post('api/key', { name: 'enter' });

wireClock();
wireRecording(picker);
wireScript();
wireFiles();
wireStartMenu();
