// The page: the handheld's screen and buttons, and the panels beside it.
import { post } from './api.js';
import { attachStylus, connect, keyOf, stats, tap } from './screen.js';
import { note, showState, wireClock, wireFiles, wireRecording, wireScript, wireStartMenu } from './panels.js';

const canvas = document.getElementById('screen');
const picker = { next: null };  // an expectation waiting for a tap on the screen
let inputPanel = false;

window.handheld = stats;  // for the browser tests: frames drawn and tap latencies

connect(canvas, showState, (live) => {
  const status = document.getElementById('connection');
  status.textContent = live ? 'live' : 'reconnecting';
  status.classList.toggle('live', live);
});

attachStylus(canvas, async (at, gesture) => {
  if (picker.next) {
    const pick = picker.next;
    picker.next = null;
    return pick(at);
  }
  const answer = await tap(at, gesture);
  if (!answer.ok) note(answer.error);
}, note);

canvas.addEventListener('keydown', async (event) => {
  const key = keyOf(event);
  if (!key) return;
  event.preventDefault();
  const answer = key.key ? await post('api/key', { name: key.key }) : await post('api/text', { text: key.text });
  if (!answer.ok) note(answer.error);
});

document.getElementById('zoom').onchange = (event) => document.body.classList.toggle('zoom', event.target.checked);
document.getElementById('sip-button').onclick = () => { inputPanel = !inputPanel; post('api/sip', { on: inputPanel ? 1 : 0 }); };
document.getElementById('escape-button').onclick = () => post('api/key', { name: 'escape' });
document.getElementById('enter-button').onclick = () => post('api/key', { name: 'enter' });

wireClock();
wireRecording(picker);
wireScript();
wireFiles();
wireStartMenu();
