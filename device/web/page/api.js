// Requests to the server: forms for actions, JSON back.
//
// Actions go one after another: the browser may run parallel requests in any order,
// and typed characters or a tap before a key must reach the device as they were made.
let actions = Promise.resolve();

export function post(path, fields = {}) {
  const sent = actions.then(() => postNow(path, fields));
  actions = sent.catch(() => {});
  return sent;
}

async function postNow(path, fields) {
  const response = await fetch(path, {
    method: 'POST',
    headers: { 'Content-Type': 'application/x-www-form-urlencoded' },
    body: new URLSearchParams(fields),
  });
  return answer(response);
}

export async function get(path) {
  return answer(await fetch(path));
}

export async function send(path, method, body) {
  return answer(await fetch(path, { method, body }));
}

async function answer(response) {
  const text = await response.text();
  let json = {};
  try { json = text ? JSON.parse(text) : {}; } catch { json = { error: text }; }
  return { ok: response.ok, status: response.status, ...json };
}
