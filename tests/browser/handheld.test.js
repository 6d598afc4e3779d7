// The handheld in the page: the Start menu, keys and typed text, the clock, the
// recording and its replay by `handheld run`, the files panel, and the server's
// safety against malformed requests and two pages at once.
const fs = require('node:fs');
const { test, expect, openPage, runScenario } = require('./server');

const setupTool = '\\Program Files\\Brackenway\\BrackenwayConf.exe';

async function startFromMenu(page, label) {
  await page.click('#start-button');
  await page.locator('#start-menu button', { hasText: label }).first().click();
}

async function steps(page) {
  return page.locator('#steps li').allTextContents();
}

test('a recorded session of the setup tool replays to PASSED', async ({ page, server }) => {
  await openPage(page, server);
  await startFromMenu(page, 'BrackenwayConf.exe');
  await expect.poll(() => steps(page)).toEqual([`open "${setupTool}"`]);
  await page.click('[data-expect=window]');
  await expect(page.locator('#record-note')).toHaveText('added: expect window "Brackenway 設定"');
  // OK is the dialog's default button: Enter writes the shortcut and says so.
  await page.locator('#screen').focus();
  await page.keyboard.press('Enter');
  await page.click('[data-expect=message]');
  await expect(page.locator('#record-note')).toContainText('added: expect message');
  await page.locator('#screen').press('Enter');
  await page.locator('#files-path').waitFor();
  await page.evaluate(() => fetch('api/expect', {
    method: 'POST', body: new URLSearchParams({ what: 'file', path: '\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk' }),
  }));
  await expect.poll(async () => (await steps(page)).at(-1)).toMatch(/^expect shortcut /);

  const download = page.waitForEvent('download');
  await page.click('#record-save');
  const script = fs.readFileSync(await (await download).path(), 'utf8');
  expect(script).toContain('key enter');
  const replay = runScenario(script);
  expect(replay.transcript).toContain('PASSED');
  expect(replay.code).toBe(0);
});

test('typed text, Control keys and the clock are recorded as steps', async ({ page, server }) => {
  await openPage(page, server);
  await startFromMenu(page, 'BrackenwayConf.exe');
  await page.locator('#screen').focus();
  await page.keyboard.type('ab c');
  await page.keyboard.press('Control+c');
  await page.click('#clock-pause');
  await expect(page.locator('#device-time')).toContainText('(paused)');
  const paused = await page.locator('#device-time').textContent();
  await page.fill('#clock-ms', '61000');
  await page.click('#clock-advance');
  await expect(page.locator('#device-time')).not.toHaveText(paused);
  await expect.poll(() => steps(page)).toEqual([`open "${setupTool}"`, 'type "ab c"', 'key ctrl+c', 'wait 61000']);
  // While paused the device clock stands still.
  const advanced = await page.locator('#device-time').textContent();
  await page.waitForTimeout(1500);
  await expect(page.locator('#device-time')).toHaveText(advanced);
});

test('files go onto the device and come off it, and only inside it', async ({ page, server }) => {
  await openPage(page, server);
  await expect(page.locator('#files')).toContainText('My Documents');
  await page.locator('#files a', { hasText: 'Temp' }).click();
  await expect(page.locator('#files-path')).toHaveText('\\Temp');
  await page.setInputFiles('#upload', { name: 'メモ.txt', mimeType: 'text/plain', buffer: Buffer.from('京都') });
  await expect(page.locator('#files')).toContainText('メモ.txt');
  const back = await page.evaluate(async () => (await fetch('api/file?path=' + encodeURIComponent('\\Temp\\メモ.txt'))).text());
  expect(back).toBe('京都');

  const statuses = await page.evaluate(async () => {
    const put = (path) => fetch('api/file?path=' + encodeURIComponent(path), { method: 'PUT', body: 'x' });
    const get = (path) => fetch('api/file?path=' + encodeURIComponent(path));
    return [
      (await get('\\..\\..\\etc\\passwd')).status,
      (await get('/etc/passwd')).status,
      (await put('\\Temp\\..\\..\\escape.txt')).status,
      (await put('\\No Such Folder\\a.txt')).status,
      (await get('\\Temp')).status,
      (await fetch('api/files?path=' + encodeURIComponent('Temp'))).status,
    ];
  });
  expect(statuses).toEqual([400, 400, 400, 404, 404, 400]);
});

test('malformed requests are refused and leave the device running', async ({ page, server, request }) => {
  await openPage(page, server);
  const form = (data) => ({ form: data });
  expect((await request.post(server.url + 'api/stylus', form({ x: '10', y: 'ten' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/stylus', form({ x: '-1', y: '5' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/stylus', form({ x: '5000', y: '5', gesture: 'tap' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/stylus', form({ x: '1', y: '1', gesture: 'fling' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/key', form({ name: 'hyper+q' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/text', form({ text: '' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/clock', form({ action: 'advance', ms: '-5' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/clock', form({ action: 'rewind' }))).status()).toBe(400);
  expect((await request.post(server.url + 'api/script', { data: 'tap-at ten 5\n' })).status()).toBe(422);
  expect((await request.post(server.url + 'api/key', { form: { name: 'enter' }, headers: { Origin: 'http://elsewhere.example' } })).status()).toBe(403);
  expect((await request.put(server.url + 'api/file?path=' + encodeURIComponent('\\Temp\\big.bin'), { data: Buffer.alloc(17 * 1024 * 1024) })).status()).toBe(413);
  // Nothing of that reached the device: it still starts programs, and nothing was recorded.
  expect((await request.post(server.url + 'api/open', form({ path: setupTool }))).status()).toBe(200);
  await expect.poll(() => steps(page)).toEqual([`open "${setupTool}"`]);
  await page.click('[data-expect=window]');
  await expect(page.locator('#record-note')).toHaveText('added: expect window "Brackenway 設定"');
});

test('requests beyond the rate are answered 429 until the rate recovers', async ({ page, server }) => {
  await openPage(page, server);
  const sent = await page.evaluate(async () => {
    // Eight at a time, until the first refusal or 4000 requests.
    for (let count = 0; count < 4000; count += 8) {
      const statuses = await Promise.all(Array.from({ length: 8 }, () => fetch('api/no-such-thing').then((r) => r.status)));
      if (statuses.includes(429)) return count;
    }
    return -1;
  });
  expect(sent).toBeGreaterThanOrEqual(96);
  await page.waitForTimeout(1000);
  expect(await page.evaluate(async () => (await fetch('api/start-menu')).status)).toBe(200);
});

test('two pages share the one handheld', async ({ browser, server }) => {
  const first = await browser.newPage();
  const second = await browser.newPage();
  await openPage(first, server);
  await openPage(second, server);
  // Both act at once; the device takes their requests one at a time.
  await Promise.all([
    first.evaluate(async () => { for (let i = 0; i < 20; i++) await fetch('api/start-menu'); }),
    second.evaluate((path) => fetch('api/open', { method: 'POST', body: new URLSearchParams({ path }) }), setupTool),
  ]);
  await expect.poll(() => steps(first)).toEqual([`open "${setupTool}"`]);
  await expect.poll(() => steps(second)).toEqual([`open "${setupTool}"`]);
  const frames = await second.evaluate(() => window.handheld.frames);
  await first.locator('#screen').focus();
  await first.keyboard.press('Escape');
  await expect.poll(() => second.evaluate(() => window.handheld.frames)).toBeGreaterThanOrEqual(frames);
  await expect.poll(() => steps(second)).toEqual([`open "${setupTool}"`, 'key escape']);
});
