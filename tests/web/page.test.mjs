// The page in Chromium, Firefox and WebKit against the native program's console texts and
// against kurvello_replay's pictures and sound loop (the core's frames on a native surface). A
// held key or button acts once per animation frame: a test finds how long a hold lasted by
// the native pictures. Every engine runs the cases of EVERY_ENGINE; Chromium, whose protocol
// can type any layout and stub the page's sound, runs CHROMIUM's too.
import assert from 'node:assert/strict';
import {spawnSync} from 'node:child_process';
import {cpSync, existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, statSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join, resolve} from 'node:path';
import {after, before, describe, it} from 'node:test';

import {launch, serve, sleep} from '../../tools/browsers.mjs';

const {KURVELLO_PAGE: PAGE = '', KURVELLO_REPLAY: REPLAY = '', KURVELLO_PROGRAM: PROGRAM = '',
       KURVELLO_SHOTS: SHOTS = ''} = process.env;
const SOURCE = resolve(new URL('../..', import.meta.url).pathname);
const PICTURE = 1024 * 768 * 3;
// The canvas's RGB bytes in base64, the text made in large pieces (byte by byte took up to 0.5 s).
const CANVAS_RGB = `(() => {
  const rgba = Module.canvas.getContext('2d').getImageData(0, 0, 1024, 768).data;
  const rgb = new Uint8Array(rgba.length / 4 * 3);
  for (let i = 0, j = 0; i < rgba.length; i += 4) rgb[j++] = rgba[i], rgb[j++] = rgba[i + 1], rgb[j++] = rgba[i + 2];
  let text = '';
  for (let i = 0; i < rgb.length; i += 32768) text += String.fromCharCode.apply(null, rgb.subarray(i, i + 32768));
  return btoa(text);
})()`;
// A cheap fingerprint of the canvas, to see whether frames still change it.
const CANVAS_SUM = `Module.canvas.getContext('2d').getImageData(0, 0, 1024, 768).data
  .reduce((sum, v, i) => (sum * 31 + v * (i % 7 + 1)) % 1000000007, 0)`;
// The running page's layout: the boxes of the picture, the values and the buttons in CSS
// px; whether the buttons to pick a slot and change its scale and speed, or all of them and
// the picture, are in view; the buttons too small for a finger or without a label; whether the
// page itself scrolls; the values' smallest font; the words broken across lines.
const LAYOUT = `(() => {
  const box = (e) => e.getBoundingClientRect(), panel = $('panel'), buttons = box(panel);
  const rounded = (r) => [r.x, r.y, r.width, r.height].map((v) => Math.round(v * 10) / 10);
  const apart = (a, b) => a.right <= b.left + 0.5 || b.right <= a.left + 0.5 || a.bottom <= b.top + 0.5
                          || b.bottom <= a.top + 0.5;
  const inWindow = (r) => r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight;
  const inView = (r) => inWindow(r) && r.top >= buttons.top - 0.5 && r.bottom <= buttons.bottom + 0.5;
  const broken = [];
  const walker = document.createTreeWalker(panel, NodeFilter.SHOW_TEXT);
  for (let node; (node = walker.nextNode());) {
    for (const word of node.data.matchAll(/\\S+/g)) {
      const range = document.createRange();
      range.setStart(node, word.index);
      range.setEnd(node, word.index + word[0].length);
      if (new Set([...range.getClientRects()].map((r) => Math.round(r.top))).size > 1) broken.push(word[0]);
    }
  }
  const canvas = box($('screen')), values = box($('readout')), all = [...panel.querySelectorAll('button')];
  return {
    size: [innerWidth, innerHeight], canvas: rounded(canvas), values: rounded(values), buttons: rounded(buttons),
    apart: [values, box(document.querySelector('#help summary')), buttons].every((r) => apart(r, canvas)),
    keysInView: ['ArrowLeft', 'ArrowRight', 'NumpadAdd', 'NumpadSubtract', 'ControlLeft']
      .every((code) => inView(box(panel.querySelector('[data-code=' + code + ']')))),
    allInView: inWindow(canvas) && all.every((e) => inView(box(e))),
    small: all.filter((e) => box(e).width < 44 || box(e).height < 44 || !e.innerText.trim()).map((e) => e.innerText),
    pageScrolls: document.documentElement.scrollWidth > innerWidth || document.documentElement.scrollHeight > innerHeight,
    buttonsScroll: getComputedStyle(panel).overflowY,
    smallestValue: Math.min(...[...$('readout').querySelectorAll('dt, dd')].map((e) => parseFloat(getComputedStyle(e).fontSize))),
    helpBeside: box(document.querySelector('#help summary')).left >= canvas.right,
    broken,
  };
})()`;
const VALUES = `[...$('readout').querySelectorAll('dd')].map((e) => e.textContent)`;
// The layout shift while the page loads, as Chromium counts it (none after input).
const SHIFTS = `window.shifted = 0;
new PerformanceObserver((list) => list.getEntries().forEach((e) => e.hadRecentInput || (shifted += e.value)))
  .observe({type: 'layout-shift', buffered: true});`;
// Every buffer the page hands to Web Audio, as 16-bit samples.
const CAPTURE_SOUND = `window.played = [];
const start = AudioBufferSourceNode.prototype.start;
AudioBufferSourceNode.prototype.start = function (...args) {
  played.push(Array.from(this.buffer.getChannelData(0), v => Math.round(v * 32768)));
  return start.apply(this, args);
};`;

// The picture's RGB rows, the loop's samples, the overlay's texts of the selected slot and
// the view.
function native(preset, frames = [], typed = '') {
  const out = spawnSync(REPLAY, [preset, ...frames], {input: typed, maxBuffer: 2 * PICTURE});
  assert.equal(out.status, 0, `kurvello_replay ${preset} ${frames.join(' ')}`);
  const loop = Array.from({length: 512}, (_, i) => out.stdout.readInt16LE(PICTURE + 2 * i));
  const texts = out.stdout.subarray(PICTURE + 1024).toString().split('\n').slice(0, -1);
  return {picture: out.stdout.subarray(0, PICTURE), loop, texts};
}

function consoleText(keysAndLines) { // what the native program writes before its window opens
  const env = {...process.env, LC_ALL: 'C.UTF-8', SDL_VIDEODRIVER: 'no-such-driver'};
  return spawnSync(PROGRAM, ['n'], {input: keysAndLines, env}).stdout.toString();
}

async function start(engine, t, url, {beforeLoad, wait = 'ready'} = {}) {
  const tab = await engine.browser.tab();
  t.after(() => tab.close());
  await tab.open(url ?? engine.server.url + 'kurvello.html', beforeLoad);
  await tab.waitFor('window.Module && ' + wait);
  return tab;
}

async function canvas(tab) {
  const frames = await tab.run('Module._kurvello_frames()');
  await tab.waitFor(`Module._kurvello_frames() > ${frames + 2} && document.body.classList.contains('running')`);
  return Buffer.from(await tab.run(CANVAS_RGB), 'base64');
}

function assertPicture(got, want) {
  assert.equal(got.length, PICTURE, 'the canvas holds 1024 x 768 pixels');
  if (got.equals(want)) return;
  let wrong = 0;
  for (let i = 0; i < PICTURE; i += 3) wrong += got.compare(want, i, i + 3, i, i + 3) != 0;
  assert.fail(`${wrong} pixels differ from the native picture`);
}

async function heldFrames(tab, frames, held, after = []) { // `held` down as long as the picture says
  const got = await canvas(tab);
  let count = 1;
  while (count < 100 && !native('b', [...frames, `${held}*${count}`, ...after]).picture.equals(got)) count++;
  assert.ok(count < 100, `no number of frames with ${held} down gives the page's picture`);
  return `${held}*${count}`;
}

async function settled(tab) { // the canvas's fingerprint, once five frames no longer change it
  const frames = await tab.run('Module._kurvello_frames()');
  const first = await tab.run(CANVAS_SUM);
  await tab.waitFor(`Module._kurvello_frames() > ${frames + 5}`);
  return (await tab.run(CANVAS_SUM)) === first ? first : null;
}

// The middle of an element: where it is, or once scrolled into the viewport.
function spot(tab, selector, scroll = true) {
  return tab.run(`(e => (${scroll} && e.scrollIntoView({block: 'center'}), (r => [r.x + r.width / 2,
    r.y + r.height / 2])(e.getBoundingClientRect())))(document.querySelector('${selector}'))`);
}

async function tap(tab, selector, scroll = true) {
  await tab.touch({1: await spot(tab, selector, scroll)});
  await sleep(50);
  await tab.touch({});
  await sleep(100);
}

// How many frames `held` was down, by the page's picture; then the picture and the values
// as natively after those frames.
async function heldAsNatively(tab, frames, held) {
  frames.push(await heldFrames(tab, frames, held));
  const want = native('b', frames);
  assertPicture(await canvas(tab), want.picture);
  assert.deepEqual(await tab.run(VALUES), want.texts, `the values after ${frames.join(' ')}`);
}

// Once the page is laid out for a window's size; a screenshot per engine and size.
async function fits(engine, tab, width, height) {
  await tab.waitFor(`innerWidth == ${width} && innerHeight == ${height}`);
  await sleep(100);
  const got = await tab.run(LAYOUT);
  const [x, y, w, h] = got.canvas, where = `${width} x ${height}: ${JSON.stringify(got)}`;
  if (height > width) { // across the width, all of it in view, nothing beside it
    assert.ok(x == 8 && Math.abs(w - (width - 16)) < 0.5 && y >= 0 && y + h <= height, where);
    assert.ok(got.values[1] >= y + h && got.buttons[1] >= y + h, where);
  } else { // nine tenths of the height at least, the help line beside it
    assert.ok(h >= 0.9 * height && got.helpBeside, where);
  }
  assert.ok(got.apart && got.keysInView && !got.pageScrolls && got.buttonsScroll == 'auto', where);
  assert.ok(got.smallestValue >= 14, where);
  assert.ok(got.allInView || Math.min(width, height) < 768, `every button in view at ${where}`);
  assert.deepEqual([got.small, got.broken], [[], []], `no button too small, no label broken at ${where}`);
  if (SHOTS) {
    mkdirSync(SHOTS, {recursive: true});
    writeFileSync(`${SHOTS}/${engine.browser.name}-${width}x${height}.png`, await tab.screenshot());
  }
}

async function said(tab) { // but Chromium's hint at the tests' own reads of the canvas
  return (await tab.messages()).filter((m) => !/getImageData/.test(m));
}

// The stored links of the reference, each with the state it holds as kurvello_replay takes it.
const LINKS = readFileSync(new URL('../reference/expected.txt', import.meta.url), 'utf8').split('\n')
  .filter((line) => line.startsWith('link ')).map((line) => line.split('#')[0].trim().split(/\s+/))
  .map(([, fragment, ...state]) => ({fragment, state: state.join(' ')}));
const WORKER = 'kurvello-sw.js';
// What the build wrote into the service worker of the page in a folder: the files it keeps and
// their digest.
function worker(folder) {
  const text = readFileSync(join(folder, WORKER), 'utf8');
  return {files: JSON.parse(/const FILES = (\[.*\]);/.exec(text)[1]), build: /BUILD = "(\w+)"/.exec(text)[1]};
}

// Opens a link: the run starts at once, and its picture, tied to the frames run, and its
// values are the core's from the state set directly.
async function openLink(engine, t, fragment, state, typed = '') {
  const tab = await start(engine, t, `${engine.server.url}kurvello.html#${fragment}`);
  await tab.waitFor("document.body.classList.contains('running') && Module._kurvello_frames() > 0");
  const [frames, rgb] = await tab.run(`[Module._kurvello_frames(), ${CANVAS_RGB}]`);
  const want = native(state, frames > 1 ? [`*${frames - 1}`] : [], typed);
  assertPicture(Buffer.from(rgb, 'base64'), want.picture);
  assert.deepEqual(await tab.run(VALUES), want.texts, `the values of #${fragment}`);
  assert.deepEqual(await said(tab), [], `nothing said on opening #${fragment}`);
  return tab;
}

// The link the button makes, and what became of it: copied, shared, or only shown selected.
async function linkMade(tab) {
  await tap(tab, '#link');
  return tab.run(`[$('address').value, $('shared').textContent, window.sheet ? sheet.url : '',
    document.activeElement.id, $('address').selectionStart, $('address').selectionEnd]`);
}

// A bad link: the program's line for it, the start as usual, nothing said; then the start works.
async function badLink(engine, t, fragment) {
  const out = spawnSync(REPLAY, [`#${fragment}`]);
  assert.equal(out.status, 3, `the native core refuses #${fragment}`);
  const tab = await start(engine, t, `${engine.server.url}kurvello.html#${fragment}`);
  await tab.waitFor("$('why').textContent");
  assert.deepEqual(await tab.run(`[$('why').textContent + '\\n', document.body.className,
    [...document.querySelectorAll('#start button')].filter((b) => b.offsetHeight >= 44).length]`),
    [out.stdout.toString(), '', 3], `#${fragment.slice(0, 40)}: said why, the start shown, no run`);
  assert.deepEqual(await said(tab), []);
  return tab;
}

const EVERY_ENGINE = {
  // Started by touch on a phone, then turned: each time laid out for another phone's size.
  async 'a phone started by touch and turned'(engine, t) {
    const tab = await engine.browser.tab();
    t.after(() => tab.close());
    await tab.phone(360, 640);
    if (engine.browser.name == 'chromium') await tab.slow('kurvello.js', 500); // after a paint
    await tab.open(engine.server.url + 'kurvello.html', engine.browser.name == 'chromium' && SHIFTS);
    await tab.waitFor('window.ready');
    if (engine.browser.name == 'chromium') { // what moved while it loaded
      await sleep(300);
      assert.ok(await tab.run('shifted') < 0.1, `layout shift ${await tab.run('shifted')}`);
    }
    await tap(tab, '[data-preset=b]', false);
    await tab.waitFor("document.body.classList.contains('running') && Module._kurvello_frames() > 2");
    assert.deepEqual(await tab.messages(), [], 'nothing said on loading and starting');
    await fits(engine, tab, 360, 640);
    await tab.touch({1: await spot(tab, '[data-code=NumpadAdd]', false)});
    await tab.framesPass(0.3);
    await tab.touch({});
    const frames = [];
    await heldAsNatively(tab, frames, '[+]');
    await tab.touch({1: await spot(tab, '[data-code=NumpadSubtract]', false)});
    await tab.framesPass(0.3);
    await tab.phone(844, 390); // turned with a finger on a button: it is let go
    await fits(engine, tab, 844, 390);
    assert.ok(await settled(tab), 'the button let go while the finger stays');
    assert.equal(await tab.run("document.querySelectorAll('.down').length"), 0);
    await tab.touch({});
    await heldAsNatively(tab, frames, '[-]');
    await tap(tab, '#ctrl', false); // latched: zoom
    await tab.touch({1: await spot(tab, '[data-code=PageUp]')}); // scrolled to
    await tab.framesPass(0.3);
    await tab.touch({});
    await tap(tab, '#ctrl');
    await heldAsNatively(tab, frames, 'left ctrl,page up');
    await tap(tab, '[data-code=ArrowRight]');
    frames.push('right');
    await tab.phone(390, 844);
    await fits(engine, tab, 390, 844);
    const want = native('b', frames);
    assertPicture(await canvas(tab), want.picture);
    assert.deepEqual(await tab.run(VALUES), want.texts);
    assert.deepEqual(await said(tab), []);
  },

  async 'start by touch, a held button, the keys of a laptop and touches together'(engine, t) {
    const tab = await start(engine, t);
    await tab.viewport(768, 1024);
    await tap(tab, '#start button:nth-child(2)');
    // Every animation frame runs one frame, counted once: the count the benchmarks read.
    await tab.run('(function tick(n) { window.ticks = n; requestAnimationFrame(() => tick(n + 1)); })(0)');
    const counts = () => tab.run('[Module._kurvello_frames(), ticks]');
    const [frames0, ticks0] = await counts();
    await tab.waitFor(`ticks > ${ticks0 + 5}`);
    const [frames1, ticks1] = await counts();
    assert.ok(Math.abs(frames1 - frames0 - (ticks1 - ticks0)) <= 1,
              `${frames1 - frames0} frames counted in ${ticks1 - ticks0} animation frames`);
    await fits(engine, tab, 768, 1024);
    await tab.touch({1: await spot(tab, '[data-code=NumpadAdd]')});
    await tab.framesPass(0.15);
    await tab.touch({});
    const frames = [await heldFrames(tab, [], '[+]')];
    // Main-row digit, the key that types + beside it, Return: keypad 3, + and Enter.
    await tab.press('Digit3');
    await tab.press('Equal', 0.15);
    await tab.press('Enter');
    frames.push('[3]');
    frames.push(await heldFrames(tab, frames, '[+]', ['enter']), 'enter');
    assertPicture(await canvas(tab), native('b', frames).picture);

    await tab.viewport(1366, 768);
    await fits(engine, tab, 1366, 768);
    await tap(tab, '#ctrl'); // latched: zoom and count +10, held together where it can
    const held = Object.entries({PageUp: 'page up', ArrowUp: 'up'}).slice(0, engine.browser.fingers);
    const fingers = {};
    for (const [finger, [code]] of held.entries()) fingers[finger + 1] = await spot(tab, `[data-code=${code}]`);
    await tab.touch(fingers);
    await tab.framesPass(0.15);
    await tab.touch({});
    await tap(tab, '#ctrl');
    frames.push(await heldFrames(tab, frames, ['left ctrl', ...held.map(([, name]) => name)].join(',')));
    await tab.run(`['pointerdown', 'pointerup'].map(type => document.querySelector('[data-code=ArrowRight]')
      .dispatchEvent(new PointerEvent(type, {bubbles: true, pointerId: 7})))`);
    // Down and up in one task, yet held for a frame: the next slot; Space on the focused
    // button, the one after.
    await tab.run("$('panel').querySelector('[data-code=ArrowRight]').focus()");
    await tab.press('Space');
    assertPicture(await canvas(tab), native('b', [...frames, 'right', '', 'right']).picture);
    // Ctrl with the + key speeds the slot up: the picture drifts until Ctrl+Return stops it.
    await tab.press('Digit0');
    await tab.key('ControlLeft');
    await tab.press('Equal', 0.3); // some frames even on a busy machine
    const drifting = await settled(tab);
    await tab.press('Enter');
    await tab.key('ControlLeft', false);
    assert.equal(drifting, null, 'Ctrl with the + key must set the slot moving');
    assert.ok(await settled(tab), 'Ctrl with Return must stop it');
    // A cancelled pointer, the tab going hidden or sliding off lets go of a held button.
    await tab.run("addEventListener('pointerdown', e => window.finger = e.pointerId, true)");
    const releases = {
      NumpadAdd: () => tab.run(`document.querySelector('.down').dispatchEvent(new PointerEvent('pointercancel',
        {bubbles: true, pointerId: finger}))`),
      NumpadSubtract: () => tab.run("document.dispatchEvent(new Event('visibilitychange'))"),
      PageDown: async () => tab.touch({1: await spot(tab, '#screen')}),
    };
    for (const [button, release] of Object.entries(releases)) {
      const before = await tab.run(CANVAS_SUM);
      await tab.touch({1: await spot(tab, `[data-code=${button}]`)});
      await tab.framesPass(0.25); // a touch presses once it stayed 0.1 s
      await release();
      const after = await settled(tab);
      assert.ok(after && after != before, `${button} held, then let go`);
      await tab.touch({});
    }
    // The sound button is the gesture that lets the audio start.
    await tap(tab, '[data-key=s]');
    await tab.waitFor("window.SDL && SDL.audioContext && SDL.audioContext.state == 'running'");
    await tab.waitFor("$('panel').querySelector('[data-key=s]').ariaPressed == 'true'");
  },

  async 'a link opens at its picture, and the button makes it again'(engine, t) {
    const chromium = engine.browser.name == 'chromium'; // every stored one; elsewhere a moving one
    for (const {fragment, state} of chromium ? LINKS : LINKS.slice(1, 2)) {
      await (await openLink(engine, t, fragment, state)).close();
    }
    if (chromium) await (await openLink(engine, t, 'c=1,3,5,7', 'c', '1 3 5 7\n')).close();
    // The keys of the last stored link, from its preset, by keyboard and buttons: whatever the
    // frames, the same state.
    const {fragment} = LINKS.at(-1);
    const tab = await openLink(engine, t, 'a', 'a');
    await tab.press('KeyL');
    await tab.press('KeyD');
    for (const button of ['[data-code=ArrowRight]', '[data-code=ArrowRight]', '[data-code=NumpadEnter]',
                          '[data-code=NumpadEnter]', '#ctrl', '[data-code=ArrowLeft]', '#ctrl']) {
      await tap(tab, button);
    }
    const address = `${engine.server.url}kurvello.html#${fragment}`;
    const selected = ['address', 0, address.length];
    const [made, copied, shared, ...selection] = await linkMade(tab);
    assert.deepEqual([made, /kopiert/.test(copied), shared, selection], [address, true, '', selected], 'copied');
    await tab.press('KeyC'); // in the field, not the program's: the picture stays as it was
    await tap(tab, '#done');
    await tab.run(`(navigator.share = (data) => (window.sheet = data, Promise.resolve()),
      Object.defineProperty(navigator, 'clipboard', {value: undefined}), 0)`);
    const shown = [address, 'Link zum Bild, markiert zum Kopieren:'];
    assert.deepEqual(await linkMade(tab), [...shown, address, ...selected], 'shared');
    await tap(tab, '#done');
    await tab.run('(delete navigator.share, window.sheet = undefined, 0)');
    assert.deepEqual(await linkMade(tab), [...shown, '', ...selected], 'shown selected');
  },

  async 'a bad link says why and leaves the start as it was'(engine, t) {
    const cut = LINKS[1].fragment.slice(0, -3), toLong = 'c=' + '1,'.repeat(1000);
    const bad = {chromium: [cut, 'top', toLong], firefox: [cut, 'top'], webkit: ['k9']}[engine.browser.name];
    for (const fragment of bad.slice(1)) await (await badLink(engine, t, fragment)).close();
    const tab = await badLink(engine, t, bad[0]);
    // Started by touch, or by a good link put in its place, the run holds nothing of the bad one.
    if (engine.browser.name == 'chromium') await tab.run("(location.hash = 'b', 0)");
    else await tap(tab, '[data-preset=b]');
    await tab.waitFor('window.running');
    assertPicture(await canvas(tab), native('b').picture);
  },

  async 'from a file: the start picture of a, no worker, no manifest, nothing said'(engine, t) {
    const tab = await start(engine, t, `file://${resolve(PAGE)}/kurvello.html`);
    await tab.press('KeyA');
    assertPicture(await canvas(tab), native('a').picture);
    assert.deepEqual(await tab.run(`[document.querySelectorAll('link[rel=manifest]').length,
      Boolean(navigator.serviceWorker && navigator.serviceWorker.controller)]`), [0, false]);
    assert.deepEqual(await said(tab), []);
  },
};

async function assertEnded(tab, status) { // said so with the status; frames and sound stop
  await tab.waitFor("!$('ended').classList.contains('hidden')");
  assert.equal(await tab.run("$('status').textContent"), String(status));
  const progress = '[Module._kurvello_frames(), window.played && played.length]';
  const before = await tab.run(progress);
  await sleep(200);
  assert.deepEqual(await tab.run(progress), before);
}

const CHROMIUM = {
  async 'the page, its program inlined, under 300 KB; with what installs it, under 350 KB'() {
    const size = (files) => files.reduce((sum, name) => sum + statSync(`${PAGE}/${name}`).size, 0);
    const page = size(['kurvello.html', 'kurvello.js']);
    const all = size([...worker(PAGE).files, WORKER]);
    assert.ok(page < 300 * 1024 && all < 350 * 1024, `${page} bytes, ${all} in all`);
  },

  async 'the dialogue of preset c as on the console'(engine, t) {
    const tab = await start(engine, t);
    const lines = '0x10 010 101\n-3 7abc\n';
    const whole = consoleText('c' + lines);
    const shown = () => tab.run("$('console').textContent");
    assert.equal(await shown(), consoleText(''));
    await tab.press('KeyX');
    await tap(tab, '#start button:nth-child(3)'); // c
    const prompts = ['\n1. Wert: ', '\n4. Wert: ', ''];
    for (const [n, line] of ['', ...lines.split('\n').slice(0, -1)].entries()) {
      if (line) {
        await tab.type(line);
        await (n == 1 ? tab.press('Enter') : tap(tab, '#enter')); // the key, the button
      }
      const text = await shown();
      assert.ok(text.endsWith(prompts[n]) && whole.startsWith(text), text);
    }
    assert.equal(await shown(), whole);
    assertPicture(await canvas(tab), native('c', [], lines).picture);
  },

  async 'installs; opens without a network; a second build replaces the first'(engine, t) {
    const folder = mkdtempSync(join(tmpdir(), 'kurvello-page-'));
    t.after(() => rmSync(folder, {recursive: true, force: true}));
    const {files} = worker(PAGE);
    for (const file of [...files, WORKER]) cpSync(join(PAGE, file), join(folder, file));
    let server = await serve(folder);
    t.after(() => server.stop());
    const address = server.url + 'kurvello.html';
    const kept = (build) => `caches.keys().then((names) => names.length == 1 && names[0].endsWith(' ${build}'))`;
    const tab = await start(engine, t, address);
    const reopen = () => tab.open(address).then(() => tab.waitFor('window.ready'));
    await tab.waitFor('navigator.serviceWorker.controller');
    assert.deepEqual(await tab.protocol('Page.getInstallabilityErrors'), {installabilityErrors: []});
    await tab.waitFor(kept(worker(folder).build));
    await server.stop();
    await reopen();
    await tap(tab, '[data-preset=a]');
    assertPicture(await canvas(tab), native('a').picture);
    // The same page, but for its title, built again and served at the same address.
    writeFileSync(join(folder, 'kurvello.html'), readFileSync(join(PAGE, 'kurvello.html'), 'utf8')
      .replace('<title>Kurvello</title>', '<title>Kurvello, neu</title>'));
    const build = spawnSync('cmake', [`-DPAGE=${folder}`, `-DFILES=${files.join(';')}`,
      `-DTEMPLATE=${SOURCE}/src/web/${WORKER}`, '-P', `${SOURCE}/cmake/page_worker.cmake`]);
    assert.equal(build.status, 0, String(build.stderr));
    server = await serve(folder, new URL(address).port);
    await reopen();
    assert.equal(await tab.run('document.title'), 'Kurvello, neu', 'the new build at once');
    await tab.waitFor(kept(worker(folder).build));
    await server.stop();
    await reopen();
    assert.equal(await tab.run('document.title'), 'Kurvello, neu', 'the new build kept');
    assert.deepEqual(await said(tab), []);
  },

  async 'keys, then sound, then Escape as natively'(engine, t) {
    const tab = await start(engine, t, undefined, {beforeLoad: CAPTURE_SOUND + `window.kept = [];
      addEventListener('keydown', e => setTimeout(() => e.defaultPrevented || kept.push(e.code)));`});
    await tab.press('KeyB');
    await tab.press('Numpad3');
    await tab.key('NumpadAdd');
    await tab.framesPass(0.2);
    await tab.run("dispatchEvent(new Event('blur'))"); // leaving the window releases it
    const frames = ['[3]', await heldFrames(tab, ['[3]'], '[+]'), 'l'];
    await tab.press('KeyL');
    await tab.key('ControlLeft');
    await tab.press('Home', 0.2);
    await tab.key('ControlLeft', false);
    frames.push(await heldFrames(tab, frames, 'left ctrl,page up'));
    // German: Shift with the +/* key is the coarse step; AZERTY: the digit row by place.
    await tab.key('ShiftLeft');
    await tab.press('BracketRight', 0.15, '*');
    await tab.key('ShiftLeft', false);
    frames.push(await heldFrames(tab, frames, 'left shift,[+]'));
    await tab.press('Digit4', 0.1, "'");
    await tab.press('Slash', 0.15, '-');
    frames.push('[4]', await heldFrames(tab, [...frames, '[4]'], '[-]'));
    for (const code of ['Enter', 'NumpadEnter', 'KeyC']) await tab.press(code);
    await tab.press('KeyZ', 0.1, 'y'); // a German keyboard's y
    const {picture, loop} = native('b', [...frames, 'enter', '', 'enter', 'c', 'y']); // Return too
    assertPicture(await canvas(tab), picture);
    assert.equal(await tab.run("$('console').textContent"), consoleText(''));

    await tab.press('KeyS');
    await tab.waitFor('played.some(buffer => buffer.some(v => v))');
    await sleep(300);
    const played = await tab.run('played');
    // The toggles' buttons show what the keys pressed made of the start (numbers on, the rest off).
    assert.deepEqual(await tab.run(`[...$('panel').querySelectorAll('[aria-pressed]')]
      .map((b) => (b.id || b.dataset.key) + ' ' + b.ariaPressed)`),
                     ['ctrl false', 'shift false', 'c true', 'd false', 'l true', 's true', 'y false']);
    const first = played.findIndex((buffer) => buffer.some((v) => v));
    assert.deepEqual(played, [...Array(first).fill(Array(512).fill(0)),
                              ...Array(played.length - first).fill(loop)]);
    await tab.key('ControlLeft');
    await tab.press('Equal');
    await tab.press('Minus');
    await tab.key('ControlLeft', false);
    assert.deepEqual(await tab.run('kept'), ['ControlLeft', 'ShiftLeft', 'ControlLeft'],
                     'keys it acts on, Ctrl with + and - too, must not scroll or zoom it');
    await tab.press('Escape');
    await assertEnded(tab, 0);
    await tab.run("$('again').click()"); // a fresh start: the help text, no canvas
    await tab.waitFor("window.ready && $('ended').className && !document.body.classList.contains('running')");
  },

  async 'failures show a message'(engine, t) {
    let tab = await start(engine, t, undefined,
                          {beforeLoad: 'delete window.WebAssembly;', wait: "$('messages').textContent"});
    assert.match(await tab.run("$('messages').textContent"), /WebAssembly/);
    tab = await start(engine, t, undefined,
                      {beforeLoad: 'delete window.AudioContext; delete window.webkitAudioContext;'});
    await tab.press('KeyA');
    await tab.press('KeyS');
    await assertEnded(tab, 1);
    assert.equal(await tab.run("$('messages').textContent"),
                 'Audio-Gerät konnte nicht geöffnet werden: Web Audio API is not available!\n');
  },
};

for (const [name, cases] of Object.entries({chromium: {...EVERY_ENGINE, ...CHROMIUM},
                                            firefox: EVERY_ENGINE, webkit: EVERY_ENGINE})) {
  describe(name, () => {
    const engine = {};
    before(async () => {
      assert.ok([`${PAGE}/kurvello.js`, REPLAY, PROGRAM].every((path) => path && existsSync(path)),
                'run through ctest: the page, the replay or the program is missing');
      engine.server = await serve(PAGE);
      engine.browser = await launch(name);
    });
    after(async () => {
      await engine.browser?.close();
      engine.server?.stop();
    });
    for (const [title, body] of Object.entries(cases)) it(title, (t) => body(engine, t));
  });
}
