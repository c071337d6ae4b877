#!/usr/bin/env node
// The page in headless Chromium: its screenshots, or its frame times under full load.
//
//     tools/web_page.mjs screenshot [--page build-web] [--output docs]
//     tools/web_page.mjs frames [--page build-web] [--seconds 10] [--moving]
//
// frames: preset a with 50 slots, line mode, thick sum, clearing, overlay and sound on, the
// picture still or (--moving) every slot moving; prints the animation frames per second and
// the median and 99th percentile of the page's own work per frame (performance.now() around
// each frame, as the page keeps it).
// screenshot: preset a, started by touch, on a 1366 x 768 laptop, a 768 x 1024 tablet in
// portrait and a phone in portrait (390 x 844) and landscape (844 x 390, turned while it runs):
// OUTPUT/web-WIDTHxHEIGHT.png.
import {writeFileSync} from 'node:fs';
import {join} from 'node:path';
import {fileURLToPath} from 'node:url';
import {parseArgs} from 'node:util';

import {launch, serve, sleep} from './browsers.mjs';

const ROOT = fileURLToPath(new URL('..', import.meta.url));
const KEPT_FRAME_TIMES = 4096; // the latest frames whose work the page keeps

async function fullLoad(tab) { // as kurvello_frame_bench
  await tab.press('KeyA');
  await tab.key('ControlLeft');
  for (let i = 0; i < 4; i++) await tab.press('ArrowUp'); // 10 -> 50 slots
  await tab.key('ControlLeft', false);
  for (const code of ['KeyL', 'KeyD', 'KeyC', 'KeyS']) await tab.press(code);
}

async function frames(tab, seconds, moving) {
  await fullLoad(tab);
  for (let i = 0; i < (moving ? 50 : 0); i++) { // Ctrl with keypad plus on every slot
    await tab.key('ControlLeft');
    await tab.press('NumpadAdd', 0.03);
    await tab.key('ControlLeft', false);
    await tab.press('ArrowRight', 0.03);
  }
  await sleep(1000);
  const now = '[Module._kurvello_frames(), performance.now()]';
  let [first, start] = await tab.run(now);
  await sleep(seconds * 1000);
  const [last, end] = await tab.run(now);
  first = Math.max(first, last - KEPT_FRAME_TIMES);
  const kept = (await tab.run(`Array.from({length: ${last - first}},
    (_, i) => Module._kurvello_frame_work(${first} + i))`)).sort((a, b) => a - b);
  const middle = kept.length >> 1;
  const median = kept.length % 2 ? kept[middle] : (kept[middle - 1] + kept[middle]) / 2;
  console.log(`${kept.length} frames, ${((last - first) / (end - start) * 1000).toFixed(1)} frames/s, ` +
              `work per frame: median ${median.toFixed(2)} ms, ` +
              `99th percentile ${kept[Math.floor(0.99 * (kept.length - 1))].toFixed(2)} ms, ` +
              `max ${kept.at(-1).toFixed(2)} ms`);
}

async function screenshots(browser, url, output) {
  const shoot = async (tab, width, height) => {
    await sleep(1000);
    const path = join(output, `web-${width}x${height}.png`);
    writeFileSync(path, await tab.screenshot());
    console.log(`wrote ${path}`);
  };
  for (const [width, height, turned] of [[1366, 768], [768, 1024], [390, 844, [844, 390]]]) {
    const tab = await browser.tab();
    await (turned ? tab.phone(width, height) : tab.viewport(width, height));
    await tab.open(url + 'kurvello.html');
    await tab.waitFor('window.ready');
    await tab.touch({1: await tab.run("(r => [r.x + 20, r.y + 20])($('start').getBoundingClientRect())")});
    await tab.touch({});
    await shoot(tab, width, height);
    if (turned) {
      await tab.phone(...turned);
      await shoot(tab, ...turned);
    }
    await tab.close();
  }
}

const {positionals: [what], values} = parseArgs({allowPositionals: true, options: {
  page: {type: 'string', default: join(ROOT, 'build-web')},
  output: {type: 'string', default: join(ROOT, 'docs')},
  seconds: {type: 'string', default: '10'},
  moving: {type: 'boolean', default: false},
}});
if (!['screenshot', 'frames'].includes(what)) {
  console.error('usage: tools/web_page.mjs screenshot|frames [--page DIR] [--output DIR] ' +
                '[--seconds N] [--moving]');
  process.exit(2);
}
const server = await serve(values.page);
const browser = await launch('chromium');
try {
  if (what === 'frames') {
    const tab = await browser.tab();
    await tab.open(server.url + 'kurvello.html');
    await tab.waitFor('window.ready');
    await frames(tab, Number(values.seconds), values.moving);
  } else {
    await screenshots(browser, server.url, values.output);
  }
} finally {
  await browser.close();
  server.stop();
}
