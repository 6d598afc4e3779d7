// The stylus on the page's drawn screen, by device pixel, and the screen compared
// with a picture kept beside the tests.
const fs = require('node:fs');
const path = require('node:path');
const { expect } = require('@playwright/test');

// What a tap at (x, y) would reach, in the device's words.
async function whatIsAt(page, x, y) {
  return page.evaluate(async ([x, y]) => (await (await fetch(`api/what?x=${x}&y=${y}`)).json()).what, [x, y]);
}

// Waits until `what` is drawn at (x, y): the screen has caught up with what came before.
async function waitFor(page, x, y, what) {
  await expect.poll(() => whatIsAt(page, x, y), { message: `${what} at ${x}, ${y}` }).toBe(what);
}

async function pagePoint(page, x, y) {
  const box = await page.locator('#screen').boundingBox();
  const scale = box.width / (await page.locator('#screen').evaluate((canvas) => canvas.width));
  return { x: box.x + (x + 0.5) * scale, y: box.y + (y + 0.5) * scale };
}

// Waits until the page shows the screen as the last tap left it.
async function caughtUp(page) {
  await expect.poll(() => page.evaluate(() => window.handheld.shown >= window.handheld.awaited)).toBe(true);
}

// Taps (or double-taps) with the mouse where the page draws device pixel (x, y),
// once `what` is there, and waits for the page to say the tap reached it and to
// show what it changed.
async function tapAt(page, x, y, what, { double = false } = {}) {
  await waitFor(page, x, y, what);
  await page.locator('#hit').evaluate((hit) => { hit.textContent = ''; });
  const at = await pagePoint(page, x, y);
  if (double) await page.mouse.dblclick(at.x, at.y);
  else await page.mouse.click(at.x, at.y);
  await expect(page.locator('#hit')).toHaveText(`${double ? 'double' : 'tap'} at ${x}, ${y}: ${what}`);
  await caughtUp(page);
}

// Pixels of the page's screen that differ from the PNG at `file`, leaving out the
// rectangles in `ignore` ({x, y, width, height}, device pixels).
async function screenDifference(page, file, ignore) {
  const golden = fs.readFileSync(file).toString('base64');
  return page.evaluate(async ([golden, ignore]) => {
    const canvas = document.getElementById('screen');
    const shown = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
    const bytes = Uint8Array.from(atob(golden), (c) => c.charCodeAt(0));
    const picture = await createImageBitmap(new Blob([bytes], { type: 'image/png' }));
    if (picture.width !== canvas.width || picture.height !== canvas.height)
      return { size: `${picture.width}x${picture.height} against ${canvas.width}x${canvas.height}`, pixels: -1 };
    const scratch = new OffscreenCanvas(picture.width, picture.height).getContext('2d');
    scratch.drawImage(picture, 0, 0);
    const expected = scratch.getImageData(0, 0, picture.width, picture.height);
    const ignored = (x, y) => ignore.some((r) => x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height);
    let pixels = 0;
    for (let y = 0; y < canvas.height; y++) {
      for (let x = 0; x < canvas.width; x++) {
        if (ignored(x, y)) continue;
        const i = (y * canvas.width + x) * 4;
        if (shown.data[i] !== expected.data[i] || shown.data[i + 1] !== expected.data[i + 1] ||
            shown.data[i + 2] !== expected.data[i + 2]) pixels += 1;
      }
    }
    return { pixels };
  }, [golden, ignore]);
}

// The page's screen equals the picture `name` under tests/browser/golden. With
// UPDATE_GOLDEN=1 the picture is written from the page instead (look at it before
// keeping it); a screen that differs is written to the test's output folder.
async function expectScreen(page, testInfo, name, ignore = []) {
  const file = path.join(__dirname, 'golden', name);
  const shownPng = async () => Buffer.from((await page.locator('#screen').evaluate((c) => c.toDataURL('image/png'))).split(',')[1], 'base64');
  if (process.env.UPDATE_GOLDEN === '1') {
    fs.mkdirSync(path.dirname(file), { recursive: true });
    fs.writeFileSync(file, await shownPng());
    return;
  }
  try {
    await expect.poll(async () => (await screenDifference(page, file, ignore)).pixels, { message: `the screen against ${name}` }).toBe(0);
  } catch (error) {
    fs.writeFileSync(testInfo.outputPath(name), await shownPng());
    throw error;
  }
}

module.exports = { whatIsAt, waitFor, tapAt, caughtUp, expectScreen };
