// The panels beside the handheld: the clock, the recording with its expectation
// helpers, a scenario run step by step, the device's files, and the Start menu.
import { get, post, send } from './api.js';

const $ = (id) => document.getElementById(id);

function fill(list, items, decorate = () => {}) {
  list.replaceChildren(...items.map((text, i) => {
    const item = document.createElement('li');
    item.textContent = text;
    decorate(item, i);
    return item;
  }));
}

export function note(text) { $('record-note').textContent = text; }

export function showState(state) {
  $('device-time').textContent = state.time + (state.paused ? ' (paused)' : '');
  $('clock-pause').textContent = state.paused ? 'Resume' : 'Pause';
  $('recording').checked = state.recording;
  fill($('steps'), state.steps);
  $('steps').lastElementChild?.scrollIntoView({ block: 'nearest' });
  fill($('misuse'), state.misuse.map((m) => 'misuse: ' + m));
  if (state.script) {
    fill($('script-lines'), state.script.lines, (item, i) => item.classList.toggle('next', i + 1 === state.script.nextLine));
    fill($('script-log'), state.script.log, (item) => item.classList.toggle('failed', item.textContent.startsWith('FAILED')));
    $('script-step').disabled = state.script.failed || state.script.nextLine === 0;
  }
  if (state.filesVersion !== files.version) {
    files.version = state.filesVersion;
    listFiles();
  }
}

export function wireClock() {
  $('clock-pause').onclick = () => post('api/clock', { action: $('clock-pause').textContent === 'Pause' ? 'pause' : 'resume' });
  $('clock-step').onclick = async () => { const a = await post('api/clock', { action: 'step' }); if (!a.ok) note(a.error); };
  $('clock-advance').onclick = () => post('api/clock', { action: 'advance', ms: $('clock-ms').value });
}

export function wireRecording(picker) {
  $('recording').onchange = () => post('api/recording', { on: $('recording').checked ? 1 : 0 });
  $('record-clear').onclick = () => post('api/recording/clear');
  for (const button of document.querySelectorAll('[data-expect]')) {
    button.onclick = async () => {
      const what = button.dataset.expect;
      if (what === 'text') {
        note('tap the control whose text to expect');
        picker.next = async (at) => report(await post('api/expect', { what, x: at.x, y: at.y }));
        return;
      }
      report(await post('api/expect', { what }));
    };
  }
}

function report(answer) { note(answer.ok ? 'added: ' + answer.step : answer.error); }

export function wireScript() {
  $('script-file').onchange = async () => {
    const file = $('script-file').files[0];
    if (!file) return;
    const answer = await send('api/script', 'POST', await file.text());
    note(answer.ok ? 'opened ' + file.name : answer.error);
  };
  $('script-step').onclick = async () => {
    const answer = await post('api/script/step');
    if (!answer.ok) note(answer.error || answer.result);
  };
}

// --- files ---
const files = { path: '\\', version: -1 };

function join(folder, name) { return (folder.endsWith('\\') ? folder : folder + '\\') + name; }

async function listFiles() {
  const answer = await get('api/files?path=' + encodeURIComponent(files.path));
  if (!answer.ok) { files.path = '\\'; return; }
  $('files-path').textContent = files.path;
  $('files').replaceChildren(...answer.entries.map(fileRow));
}

function fileRow(entry) {
  const row = document.createElement('tr');
  const name = document.createElement('td');
  const path = join(files.path, entry.name);
  if (entry.folder) {
    const open = document.createElement('a');
    open.href = '#';
    open.textContent = entry.name + '\\';
    open.onclick = (event) => { event.preventDefault(); files.path = path; listFiles(); };
    name.append(open);
  } else {
    const download = document.createElement('a');
    download.href = 'api/file?path=' + encodeURIComponent(path);
    download.download = entry.name;
    download.textContent = entry.name;
    name.append(download);
  }
  const size = document.createElement('td');
  size.className = 'size';
  size.textContent = entry.folder ? '' : entry.size;
  const date = document.createElement('td');
  date.textContent = entry.date;
  const expect = document.createElement('td');
  const button = document.createElement('button');
  button.textContent = 'expect';
  button.title = 'Add an expectation of this entry to the recording';
  button.onclick = async () => report(await post('api/expect', { what: 'file', path }));
  expect.append(button);
  row.append(name, size, date, expect);
  return row;
}

export function wireFiles() {
  $('files-up').onclick = () => {
    const cut = files.path.lastIndexOf('\\');
    files.path = cut <= 0 ? '\\' : files.path.slice(0, cut);
    listFiles();
  };
  $('upload').onchange = async () => {
    const file = $('upload').files[0];
    if (!file) return;
    const answer = await send('api/file?path=' + encodeURIComponent(join(files.path, file.name)), 'PUT', file);
    note(answer.ok ? 'put ' + file.name + ' on the device' : answer.error);
    $('upload').value = '';
    listFiles();
  };
}

// --- the Start menu ---
function menuEntries(entries) {
  return entries.map((entry) => {
    if (entry.items) {
      const group = document.createElement('div');
      const title = document.createElement('div');
      title.className = 'folder';
      title.textContent = entry.name;
      const inner = document.createElement('div');
      inner.className = 'submenu';
      inner.append(...menuEntries(entry.items));
      group.append(title, inner);
      return group;
    }
    return startButton(entry.name, entry.path);
  });
}

function startButton(label, path) {
  const button = document.createElement('button');
  button.textContent = label;
  button.onclick = async () => {
    $('start-menu').hidden = true;
    const answer = await post('api/open', { path });
    if (!answer.ok) note(answer.error);
  };
  return button;
}

export function wireStartMenu() {
  $('start-button').onclick = async () => {
    const menu = $('start-menu');
    if (!menu.hidden) { menu.hidden = true; return; }
    const answer = await get('api/start-menu');
    const programs = document.createElement('div');
    const title = document.createElement('div');
    title.className = 'folder';
    title.textContent = 'Programs';
    const inner = document.createElement('div');
    inner.className = 'submenu';
    inner.append(...answer.programs.map((path) => startButton(path.slice(path.lastIndexOf('\\') + 1), path)));
    programs.append(title, inner);
    menu.replaceChildren(...menuEntries(answer.shortcuts), programs);
    menu.hidden = false;
  };
}
