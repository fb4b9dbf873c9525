#!/usr/bin/env node
// live-browser.mjs [OUT_DIR]: the live results page in headless Chromium (Debian's
// chromium, not installed by setup.sh) during a demo race, looked at by hand.
// lapdeck-measure races and serves on 127.0.0.1 (LAPDECK_MEASURE names another build
// of it); the page goes through a relay this script cuts for three seconds, as a
// dropped network would. Prints how long each crossing took from the race screen to
// the page (target < 500 ms), how soon the cut was marked and how long the page took
// to come back with the current race; saves screenshots at 360 x 740 and 1280 x 800
// in OUT_DIR (build/live-shots). Exit status 1 when a check failed.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

const root = path.resolve(path.dirname(new URL(import.meta.url).pathname), '..');
const program = process.env.LAPDECK_MEASURE ?? `${root}/build/dev/tools/measure/lapdeck-measure`;
const out = path.resolve(process.argv[2] ?? `${root}/build/live-shots`);
if (!fs.existsSync(program)) {
  console.error('live-browser: build lapdeck-measure first (cmake --build build/dev --target lapdeck-measure)');
  process.exit(2);
}
const temp = fs.mkdtempSync(path.join(os.tmpdir(), 'lapdeck-live-'));
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
let failed = 0;
const check = (ok, what) => {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  failed += ok ? 0 : 1;
};

// The race, and when its screen showed each laps column ("3,3,2,2,2,1", top row first).
const race = spawn(program, ['120'], {
  env: { ...process.env, LAPDECK_DATA_DIR: temp, LAPDECK_MEASURE_LIVE: '1', QT_QPA_PLATFORM: 'offscreen' },
  stdio: ['ignore', 'pipe', 'ignore'],
});
const shown = new Map();
const port = await new Promise((served, failedToStart) => {
  let rest = '';
  race.on('exit', () => failedToStart(new Error(`${program} stopped`)));
  race.stdout.setEncoding('utf8').on('data', (chunk) => {
    const lines = (rest + chunk).split('\n');
    rest = lines.pop();
    for (const line of lines) {
      const [, at, laps] = /^laps_at_ms=(\d+) (.*)/.exec(line) ?? [];
      if (at && !shown.has(laps)) shown.set(laps, Number(at));
      if (line.startsWith('live_port=')) served(Number(line.slice(10)));
    }
  });
});

// The relay between the page and the server; cut() drops every connection.
const relayed = new Set();
let relay;
const listen = (at) => new Promise((listening) => {
  relay = net.createServer((page) => {
    const server = net.connect(port, '127.0.0.1');
    const end = () => [page, server].forEach((s) => { s.destroy(); relayed.delete(s); });
    for (const s of [page, server]) relayed.add(s.on('error', end).on('close', end));
    page.pipe(server).pipe(page);
  }).listen(at, '127.0.0.1', () => listening(relay.address().port));
});
const relayPort = await listen(0);
const cut = () => { relay.close(); relayed.forEach((s) => s.destroy()); };

// Chromium over its DevTools protocol on a pipe: one page.
const chromium = spawn('chromium', ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
  `--user-data-dir=${temp}/profile`, '--remote-debugging-pipe', 'about:blank'],
{ stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe'] });
chromium.on('error', () => { console.error("live-browser: needs Debian's chromium"); process.exit(2); });
const replies = new Map();
let lastId = 0;
let received = '';
chromium.stdio[4].setEncoding('utf8').on('data', (chunk) => {
  received += chunk;
  for (let end; (end = received.indexOf('\0')) >= 0; received = received.slice(end + 1)) {
    const message = JSON.parse(received.slice(0, end));
    replies.get(message.id)?.(message.result ?? {});
  }
});
const send = (method, params = {}, sessionId = undefined) => new Promise((reply) => {
  replies.set(++lastId, reply);
  chromium.stdio[3].write(`${JSON.stringify({ id: lastId, method, params, sessionId })}\0`);
});
const { targetId } = await send('Target.createTarget', { url: 'about:blank' });
const { sessionId } = await send('Target.attachToTarget', { targetId, flatten: true });
const page = (method, params) => send(method, params, sessionId);
const js = async (expression) => (await page('Runtime.evaluate', { expression, returnByValue: true })).result?.value;
const until = async (test, ms) => {
  for (const end = Date.now() + ms; Date.now() < end; await sleep(50)) if (await test()) return true;
  return false;
};
const size = (width, height, mobile) => page('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: 1, mobile });
const screenshot = async (name) => fs.writeFileSync(path.join(out, name), Buffer.from((await page('Page.captureScreenshot')).data, 'base64'));
const lapsShown = "[...document.querySelectorAll('#rows td.laps')].map((td) => td.textContent.trim()).join(',')";

try {
  fs.mkdirSync(out, { recursive: true });
  await size(360, 740, true);
  await page('Page.navigate', { url: `http://127.0.0.1:${relayPort}/` });
  check(await until(() => js("document.querySelectorAll('#rows tr').length === 6"), 10000), 'the page shows six rows');

  // Every laps column the page shows, and when, for eight seconds of the race.
  await js(`window.seen = []; new MutationObserver(() => { const laps = ${lapsShown};
    if (seen.at(-1)?.[0] !== laps) seen.push([laps, Date.now()]); })
    .observe(document.getElementById('rows'), { childList: true, subtree: true, characterData: true });`);
  await sleep(8000);
  const delays = (await js('seen')).filter(([laps]) => shown.has(laps)).map(([laps, at]) => at - shown.get(laps));
  console.log(`crossing on the screen to the page: ${delays.join(' ')} ms`);
  check(delays.length >= 3 && Math.max(...delays) < 500, `${delays.length} crossings, each on the page within 500 ms`);
  await screenshot('live-360.png');
  await size(1280, 800, false);
  await sleep(300);
  await screenshot('live-1280.png');

  const cutAt = Date.now();
  cut();
  check(await until(() => js("!document.getElementById('lost').hidden"), 5000), `the cut is marked after ${Date.now() - cutAt} ms`);
  await screenshot('live-lost-1280.png');
  await sleep(3000);
  const backAt = Date.now();
  await listen(relayPort);
  const current = async () => (await (await fetch(`http://127.0.0.1:${port}/state.json`)).json()).rows.map((r) => r.laps.trim()).join(',');
  const back = await until(async () => await js("document.getElementById('lost').hidden") && await js(lapsShown) === await current(), 15000);
  check(back, `the page is back by itself with the current race after ${Date.now() - backAt} ms`);
  console.log(`screenshots in ${out}`);
} finally {
  const closed = new Promise((done) => chromium.once('exit', done));
  chromium.kill();
  race.kill();
  relay.close();
  await closed;
  fs.rmSync(temp, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
