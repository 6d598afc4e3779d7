// A person's journey through the suite in the page, every tap made with the mouse
// where the thing is drawn: the setup tool writes the Start-menu shortcut, the
// shortcut starts the companion, a file is copied and its shortcut pasted into My
// Documents. The recording of it replays with `handheld run`; and a name typed into
// the file chooser reaches the program that called it.
const fs = require('node:fs');
const { test, expect, openPage, runScenario } = require('./server');
const { tapAt, waitFor, expectScreen } = require('./stylus');

const setupTool = '\\Program Files\\Brackenway\\BrackenwayConf.exe';
const explorerLink = '\\Windows\\ｽﾀｰﾄ ﾒﾆｭｰ\\ﾌﾟﾛｸﾞﾗﾑ\\ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ.lnk';
const pasted = '\\My Documents\\Brackenway.lnk';
// The navigation bar's clock follows real time: its corner is left out of pictures.
const clock = { x: 190, y: 0, width: 50, height: 25 };

async function steps(page) {
  return page.locator('#steps li').allTextContents();
}

async function deviceMs(page) {
  return page.evaluate(() => window.handheld.state.deviceMs);
}

async function startFromMenu(page, label) {
  await page.click('#start-button');
  await page.locator('#start-menu button', { hasText: label }).first().click();
}

async function readDeviceFile(page, path) {
  return page.evaluate(async (path) => {
    const response = await fetch('api/file?path=' + encodeURIComponent(path));
    return { status: response.status, text: await response.text() };
  }, path);
}

test('the companion from its Start-menu shortcut pastes a shortcut, and the recording replays', async ({ page, server }, testInfo) => {
  test.setTimeout(120000);
  await openPage(page, server);

  // The setup tool, from the Start menu: open on the program folder, then OK.
  await startFromMenu(page, 'BrackenwayConf.exe');
  await tapAt(page, 40, 122, 'BUTTON #1003 "プログラムフォルダ\n（\\Program Files\\）"');
  await tapAt(page, 30, 240, 'BUTTON #1 "OK"');
  await tapAt(page, 117, 196, 'BUTTON #1 "OK"');
  const link = await readDeviceFile(page, explorerLink);
  expect(link.status).toBe(200);
  expect(link.text).toContain('#"\\Program Files\\Brackenway\\Brackenway.exe" \\Program Files\\');

  // The shortcut the setup tool wrote starts the companion, which opens the File
  // Explorer on the program folder and takes it over 0.8 s after its window shows.
  await startFromMenu(page, 'ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ');
  await waitFor(page, 20, 37, 'FEXPLORE_FOLDER "\\Program Files\\"');
  const shown = await deviceMs(page);
  await expect.poll(() => deviceMs(page)).toBeGreaterThan(shown + 1000);
  await tapAt(page, 20, 78, 'SysListView32 #2001', { double: true });
  await waitFor(page, 20, 37, 'FEXPLORE_FOLDER "\\Program Files\\Brackenway\\"');
  await tapAt(page, 20, 78, 'SysListView32 #2001');
  await page.locator('#screen').focus();
  await page.keyboard.press('Control+c');

  // 編集 → ﾌｫﾙﾀﾞ移動 → My Documents, then 編集 → ｼｮｰﾄｶｯﾄの貼り付け, answered はい.
  await tapAt(page, 14, 306, 'ToolbarWindow32');
  await tapAt(page, 40, 220, 'menu: ﾌｫﾙﾀﾞ移動 >');
  await tapAt(page, 170, 238, 'menu: My Documents');
  await waitFor(page, 20, 37, 'FEXPLORE_FOLDER "\\My Documents\\"');
  await tapAt(page, 14, 306, 'ToolbarWindow32');
  await tapAt(page, 50, 112, 'menu: ｼｮｰﾄｶｯﾄの貼り付け');
  await tapAt(page, 88, 212, 'BUTTON #1 "はい"');

  await expectScreen(page, testInfo, 'journey-pasted.png', [clock]);
  const shortcut = await readDeviceFile(page, pasted);
  expect(shortcut.status).toBe(200);
  expect(shortcut.text).toContain('#"\\Program Files\\Brackenway\\Brackenway.exe"');

  // What the list shows, and the shortcut from the files panel, become expectations.
  await page.click('[data-expect=list]');
  await expect(page.locator('#record-note')).toHaveText('added: expect list Brackenway.lnk Business Personal Readme.txt メモ.txt');
  await page.locator('#files a', { hasText: 'My Documents' }).click();
  await page.locator('#files tr', { hasText: 'Brackenway.lnk' }).getByRole('button', { name: 'expect' }).click();
  await expect(page.locator('#record-note')).toHaveText(`added: expect shortcut "${pasted}" '"\\Program Files\\Brackenway\\Brackenway.exe"'`);

  // Every tap is recorded by the name of what it reached.
  expect(await steps(page)).toEqual([
    `open "${setupTool}"`,
    'tap "#1003"',
    'tap OK',
    'answer ok',
    `open "${explorerLink}"`,
    'double-tap-item Brackenway',
    'tap-item Brackenway.exe',
    'key ctrl+c',
    'menu 編集 ﾌｫﾙﾀﾞ移動 "My Documents"',
    'menu 編集 ｼｮｰﾄｶｯﾄの貼り付け',
    'tap はい',
    'expect list Brackenway.lnk Business Personal Readme.txt メモ.txt',
    `expect shortcut "${pasted}" '"\\Program Files\\Brackenway\\Brackenway.exe"'`,
  ]);

  const download = page.waitForEvent('download');
  await page.click('#record-save');
  const script = fs.readFileSync(await (await download).path(), 'utf8');
  const replay = runScenario(script);
  expect(replay.transcript).toContain('PASSED');
  expect(replay.code).toBe(0);
});

test('a name typed into the file chooser reaches the program that called it', async ({ page, server }) => {
  await openPage(page, server);
  // The caller program opens the file chooser on My Documents.
  await page.setInputFiles('#script-file', {
    name: 'call.scn', mimeType: 'text/plain', buffer: Buffer.from('chooser file 保存 "\\My Documents\\"\n'),
  });
  await expect(page.locator('#script-step')).toBeEnabled();
  await page.click('#script-step');
  await expect(page.locator('#script-log')).toContainText('PASSED');

  // The name typed at the end of the path box, then OK in the navigation bar.
  await tapAt(page, 200, 44, 'EDIT #1087 "\\My Documents\\"');
  await page.keyboard.type('旅程.txt');
  await waitFor(page, 200, 44, 'EDIT #1087 "\\My Documents\\旅程.txt"');
  await page.click('[data-expect=text]');
  const box = await page.locator('#screen').boundingBox();
  await page.mouse.click(box.x + 200.5, box.y + 44.5);
  await expect(page.locator('#record-note')).toHaveText('added: expect text "#1087" "\\My Documents\\旅程.txt"');
  await tapAt(page, 224, 12, 'navigation bar: OK');

  await page.setInputFiles('#script-file', {
    name: 'result.scn', mimeType: 'text/plain', buffer: Buffer.from('expect chosen 1 "\\My Documents\\旅程.txt"\n'),
  });
  await page.click('#script-step');
  await expect(page.locator('#script-log li')).toHaveText(['ok line 1: expect chosen 1 "\\My Documents\\旅程.txt"', 'PASSED']);
  expect((await steps(page)).slice(-3)).toEqual(['type 旅程.txt', 'expect text "#1087" "\\My Documents\\旅程.txt"', 'ok']);
});
