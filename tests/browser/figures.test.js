// The figures of the server on this machine, printed for the record: the time
// from a tap to the device having taken it (and to the next picture of the screen
// when the tap changed it), and the server's CPU use while the device is idle.
const fs = require('node:fs');
const { test, expect, openPage } = require('./server');

function cpuSeconds(pid) {
  const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
  return (Number(fields[11]) + Number(fields[12])) / 100;  // utime + stime, in clock ticks of 1/100 s
}

function percentile(values, p) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.min(sorted.length - 1, Math.floor(p * sorted.length))];
}

test('tap latency and idle CPU', async ({ page, server }) => {
  await openPage(page, server);
  await page.evaluate((path) => fetch('api/open', { method: 'POST', body: new URLSearchParams({ path }) }),
    '\\Program Files\\Brackenway\\BrackenwayConf.exe');
  await page.evaluate(() => fetch('api/recording', { method: 'POST', body: new URLSearchParams({ on: 0 }) }));
  const latencies = await page.evaluate(async () => {
    const times = [];
    for (let i = 0; i < 40; i++) {
      const start = performance.now();
      await fetch('api/stylus', { method: 'POST', body: new URLSearchParams({ x: 5, y: 300, gesture: 'tap' }) });
      times.push(performance.now() - start);
    }
    return times;
  });
  const median = percentile(latencies, 0.5);
  const p95 = percentile(latencies, 0.95);

  await page.waitForTimeout(1000);
  const before = cpuSeconds(server.child.pid);
  const seconds = 10;
  await page.waitForTimeout(seconds * 1000);
  const idle = (cpuSeconds(server.child.pid) - before) / seconds * 100;
  console.log(`tap to taken: median ${median.toFixed(1)} ms, p95 ${p95.toFixed(1)} ms; idle CPU ${idle.toFixed(2)} %`);
  expect(median).toBeLessThan(1000);
  expect(idle).toBeLessThan(50);
});
