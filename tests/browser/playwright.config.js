// Browser tests of `handheld serve` against Debian's chromium: nothing is
// downloaded when they run. HANDHELD names the built `handheld` program.
const { defineConfig } = require('@playwright/test');

module.exports = defineConfig({
  testDir: '.',
  testMatch: '*.test.js',
  timeout: 60000,
  workers: 1,
  reporter: 'list',
  use: {
    launchOptions: { executablePath: process.env.CHROMIUM || '/usr/bin/chromium' },
    headless: true,
  },
});
