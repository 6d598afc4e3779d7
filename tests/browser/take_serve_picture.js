// Takes README's picture of the page, docs/images/serve.png: the companion's File
// Explorer with its menu open, after the setup tool wrote the Start-menu shortcut.
// Run from tests/browser after a build: node take_serve_picture.js
// (HANDHELD names the `handheld` program, as for the tests). Look at the picture
// before keeping it.
const path = require('node:path');
const { chromium, expect } = require('@playwright/test');
const { startServer, stopServer } = require('./server');
const { tapAt, waitFor } = require('./stylus');

async function startFromMenu(page, label) {
  await page.click('#start-button');
  await page.locator('#start-menu button', { hasText: label }).first().click();
}

async function main() {
  const server = await startServer();
  const browser = await chromium.launch({ executablePath: process.env.CHROMIUM || '/usr/bin/chromium' });
  try {
    const page = await browser.newPage({ viewport: { width: 980, height: 760 } });
    await page.goto(server.url);
    await expect(page.locator('#connection')).toHaveText('live');
    await startFromMenu(page, 'BrackenwayConf.exe');
    await tapAt(page, 30, 240, 'BUTTON #1 "OK"');
    await tapAt(page, 117, 196, 'BUTTON #1 "OK"');
    await startFromMenu(page, 'ﾌｧｲﾙ ｴｸｽﾌﾟﾛｰﾗ');
    await waitFor(page, 20, 37, 'FEXPLORE_FOLDER "\\My Documents\\"');
    // The companion takes the File Explorer over 0.8 s after its window shows.
    const shown = await page.evaluate(() => window.handheld.state.deviceMs);
    await expect.poll(() => page.evaluate(() => window.handheld.state.deviceMs)).toBeGreaterThan(shown + 1000);
    await tapAt(page, 30, 132, 'SysListView32 #2001');
    await page.click('[data-expect=selected]');
    await tapAt(page, 14, 306, 'ToolbarWindow32');
    await tapAt(page, 40, 220, 'menu: ﾌｫﾙﾀﾞ移動 >');
    await page.mouse.move(0, 0);
    await page.screenshot({ path: path.join(__dirname, '../../docs/images/serve.png') });
  } finally {
    await browser.close();
    await stopServer(server);
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
