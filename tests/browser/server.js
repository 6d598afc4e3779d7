// A fresh `handheld serve` for each test, on a free port of 127.0.0.1.
const { spawn, spawnSync } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const base = require('@playwright/test');

const handheld = process.env.HANDHELD || path.join(__dirname, '../../build-test/device/handheld');

function startServer(args = []) {
  return new Promise((resolve, reject) => {
    const child = spawn(handheld, ['serve', '--port', '0', ...args], { stdio: ['ignore', 'pipe', 'pipe'] });
    let out = '';
    let err = '';
    const timer = setTimeout(() => reject(new Error('the server did not start: ' + err)), 30000);
    child.stdout.on('data', (chunk) => {
      out += chunk;
      const found = out.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
      if (found) {
        clearTimeout(timer);
        resolve({ child, url: found[0], port: Number(found[1]), stderr: () => err });
      }
    });
    child.stderr.on('data', (chunk) => { err += chunk; });
    child.on('exit', (code) => reject(new Error(`the server ended (${code}): ${err}`)));
  });
}

function stopServer(server) {
  return new Promise((resolve) => {
    server.child.once('exit', (code, signal) => resolve({ code, signal }));
    server.child.kill('SIGTERM');
  });
}

// `handheld run` on a script: its exit code and transcript.
function runScenario(text) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'handheld-browser-'));
  const file = path.join(dir, 'recorded.scn');
  fs.writeFileSync(file, text);
  const result = spawnSync(handheld, ['run', file], { encoding: 'utf8', timeout: 120000 });
  fs.rmSync(dir, { recursive: true, force: true });
  return { code: result.status, transcript: result.stdout + result.stderr };
}

const test = base.test.extend({
  server: async ({}, use) => {
    const server = await startServer();
    await use(server);
    const ended = await stopServer(server);
    if (ended.code !== 0) throw new Error(`the server ended with ${ended.code}/${ended.signal}: ${server.stderr()}`);
  },
});

async function openPage(page, server) {
  await page.goto(server.url);
  await base.expect(page.locator('#connection')).toHaveText('live');
  await base.expect.poll(() => page.evaluate(() => window.handheld.frames)).toBeGreaterThan(0);
}

module.exports = { test, expect: base.expect, openPage, runScenario, startServer, stopServer };
