// The browsers that drive the page, each started from Debian's own binary: headless Chromium
// (DevTools protocol) and Firefox ESR (WebDriver BiDi) through puppeteer-core, and WebKitGTK's
// MiniBrowser through selenium-webdriver and WebKitWebDriver under Xvfb; and a folder served
// on 127.0.0.1. Every engine's tab has the same calls: open, run, waitFor, key, press, touch,
// viewport, phone, messages, screenshot, close. Keys are named by KeyboardEvent code, on a US
// layout.
import {spawn} from 'node:child_process';
import {existsSync, readdirSync} from 'node:fs';
import {readFile} from 'node:fs/promises';
import {createServer} from 'node:http';
import {connect} from 'node:net';
import {extname, join, normalize} from 'node:path';
import {setTimeout as sleep} from 'node:timers/promises';
import {fileURLToPath} from 'node:url';

import puppeteer from 'puppeteer-core';
import {Builder, Key, Origin} from 'selenium-webdriver';

export {sleep};

const CHROMIUM_FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic',
                        '--autoplay-policy=no-user-gesture-required'];
const CDP_MODIFIERS = {ControlLeft: 2, ShiftLeft: 8}; // Input.dispatchKeyEvent's bits
// WebDriver's key values by code; letters, digits and the keys beside the digit row are
// their own characters.
const WEBDRIVER_KEYS = {
  Enter: Key.RETURN, NumpadEnter: Key.ENTER, NumpadAdd: Key.ADD, NumpadSubtract: Key.SUBTRACT,
  Escape: Key.ESCAPE, ShiftLeft: Key.SHIFT, ControlLeft: Key.CONTROL, Equal: '=', Minus: '-',
  Space: ' ',
};
const webDriverKey = (code) => WEBDRIVER_KEYS[code] ?? code.at(-1).toLowerCase();
const FRAMES = 'window.running ? Module._kurvello_frames() : -1'; // the page's, while it runs
const TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.png': 'image/png',
               '.svg': 'image/svg+xml', '.webmanifest': 'application/manifest+json'};

// Resolves to the server, its address in server.url; port 0 for any free one.
export function serve(folder, port = 0) {
  const server = createServer(async (request, response) => {
    const path = join(folder, normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    try {
      const body = await readFile(path);
      response.writeHead(200, {'Content-Type': TYPES[extname(path)] ?? 'application/octet-stream'});
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  server.stop = () => new Promise((resolve) => { server.close(resolve); server.closeAllConnections(); });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => {
    server.url = `http://127.0.0.1:${server.address().port}/`;
    resolve(server);
  }));
}

// What every engine's tab shares; the other calls are each driver's own.
class Tab {
  async waitFor(expression, seconds = 30) { // the expression's value, once it is truthy
    for (const deadline = Date.now() + seconds * 1000; ; await sleep(50)) {
      const value = await this.run(expression).catch((error) => { // none while a page loads
        if (!/context was destroyed/.test(error.message)) throw error;
      });
      if (value) return value;
      if (Date.now() > deadline) throw new Error(`timed out waiting for ${expression}`);
    }
  }

  // At least `seconds`, and while the page's frames run, until one more has run: a key or
  // button is seen down, and up again, however busy the machine.
  async framesPass(seconds) {
    const frames = await this.run(FRAMES);
    await sleep(seconds * 1000);
    if (frames >= 0) await this.waitFor(`!window.running || Module._kurvello_frames() > ${frames}`);
  }

  async press(code, hold = 0.1, key) { // held over some frames, as a user would
    await this.key(code, true, key);
    await this.framesPass(hold);
    await this.key(code, false, key);
    await this.framesPass(0.1);
  }
}

class PuppeteerTab extends Tab {
  constructor(page, browser, chromium) {
    super();
    this.page = page;
    this.chromium = chromium;
    this.bidi = !chromium && browser.connection; // puppeteer's own WebDriver BiDi connection
    this.held = 0; // CDP_MODIFIERS of the modifier keys down
    this.fingers = new Set(); // the fingers on the screen
    this.said = []; // the console's errors and warnings, failed requests
    page.on('console', (m) => /^(error|warn)/.test(m.type()) && this.said.push(`${m.type()}: ${m.text()}`));
    page.on('pageerror', (error) => this.said.push(`uncaught: ${error.message}`));
    page.on('requestfailed', (request) => this.said.push(`failed: ${request.url().slice(0, 80)}`));
    page.on('response', (r) => r.status() >= 400 && this.said.push(`${r.status()}: ${r.url().slice(0, 80)}`));
  }

  async open(url, beforeLoad) {
    if (beforeLoad) await this.page.evaluateOnNewDocument(beforeLoad);
    await this.page.goto(url);
  }

  run(expression) { return this.page.evaluate(expression); }

  async protocol(method, params) { // Chromium's DevTools protocol, through puppeteer's session
    this.cdp ??= await this.page.createCDPSession();
    return this.cdp.send(method, params);
  }

  // key: what another layout types on that key; only Chromium's protocol can send it.
  async key(code, down = true, key) {
    if (!this.chromium) {
      const value = webDriverKey(code); // puppeteer hands a WebDriver key value on unchanged
      return down ? this.page.keyboard.down(value) : this.page.keyboard.up(value);
    }
    this.held = down ? this.held | (CDP_MODIFIERS[code] ?? 0) : this.held & ~(CDP_MODIFIERS[code] ?? 0);
    if (!key) return down ? this.page.keyboard.down(code) : this.page.keyboard.up(code);
    await this.protocol('Input.dispatchKeyEvent', {
      type: down ? 'keyDown' : 'keyUp', code, key, modifiers: this.held,
      text: down ? key : ''}); // typed where the focus is
  }

  type(text) { return this.page.keyboard.sendCharacter(text); } // as one insertion

  // {finger: [x, y]} now on the screen, moved there; the others lifted. Fingers that move
  // together do so in one command, so in one frame; puppeteer's touches go one by one.
  async touch(fingers) {
    const points = Object.entries(fingers).map(([id, [x, y]]) => ({id, x: Math.round(x), y: Math.round(y)}));
    const placed = points.map(({id}) => id).filter((id) => !this.fingers.has(id));
    const lifted = [...this.fingers].filter((id) => !(id in fingers));
    this.fingers = new Set(Object.keys(fingers));
    if (this.chromium) { // each event names every finger on the screen; the others are lifted
      return this.protocol('Input.dispatchTouchEvent', {
        type: !points.length ? 'touchEnd' : placed.length ? 'touchStart' : 'touchMove',
        touchPoints: points.map(({id, x, y}) => ({id: Number(id), x, y}))});
    }
    const finger = (id, ...actions) => ({type: 'pointer', id: `finger${id}`, actions,
                                         parameters: {pointerType: 'touch'}});
    await this.bidi.send('input.performActions', {context: this.page.mainFrame()._id, actions: [
      ...lifted.map((id) => finger(id, {type: 'pointerUp', button: 0})),
      ...points.map(({id, x, y}) => finger(id, {type: 'pointerMove', x, y, origin: 'viewport'},
                                           ...placed.includes(id) ? [{type: 'pointerDown', button: 0}] : []))]});
  }

  viewport(width, height) { return this.page.setViewport({width, height}); }

  // A phone's screen in CSS px, turned when wider than high: Chromium emulates the device
  // and its touch screen; Firefox's BiDi sizes the viewport.
  phone(width, height) {
    return this.page.setViewport(this.chromium ? {width, height, isMobile: true, hasTouch: true,
                                                  isLandscape: width > height} : {width, height});
  }

  async messages() { return this.said; } // since the tab opened

  async slow(ending, ms) { // answers requests for files of that ending later, as a slow network
    await this.page.setBypassServiceWorker(true); // whose requests puppeteer does not see
    await this.page.setRequestInterception(true);
    this.page.on('request', (request) => (request.url().endsWith(ending)
      ? setTimeout(() => request.continue(), ms) : request.continue()));
  }

  async screenshot() { return Buffer.from(await this.page.screenshot()); }

  async close() { if (!this.page.isClosed()) await this.page.close(); } // once, however often asked
}

// Its messages are read from within the page, from when it has loaded: WebKitWebDriver does
// not pass the browser's console on.
const HEAR = `window.said = [];
for (const type of ['error', 'warn']) {
  const write = console[type];
  console[type] = (...args) => (said.push(type + ': ' + args.join(' ')), write.apply(console, args));
}
addEventListener('error', (e) => said.push('uncaught: ' + e.message));
addEventListener('unhandledrejection', (e) => said.push('uncaught: ' + e.reason));`;

class WebKitTab extends Tab {
  constructor(driver) {
    super();
    this.driver = driver;
    this.down = false; // its touch is one mouse button
    this.frame = null; // [width, height] of a phone's screen
  }

  async open(url, beforeLoad) {
    if (beforeLoad) throw new Error('only puppeteer runs scripts before the page');
    if (!this.frame) {
      await this.driver.get(url);
    } else { // the window is not that narrow: the page in a frame of the phone's size
      await this.fit();
      await this.driver.get(`data:text/html,<body style="margin:0"><iframe src="${url}"
        style="border:0;display:block;width:${this.frame[0]}px;height:${this.frame[1]}px"></iframe>`);
      await this.driver.switchTo().frame(0);
    }
    await this.driver.executeScript(HEAR);
  }

  async phone(width, height) { // before open, or turned while the page runs
    const framed = this.frame;
    this.frame = [width, height];
    if (!framed) return;
    await this.driver.switchTo().defaultContent();
    await this.fit();
    await this.driver.executeScript(`Object.assign(document.querySelector('iframe').style,
      {width: '${width}px', height: '${height}px'});`);
    await this.driver.switchTo().frame(0);
  }

  fit() { // the window as large as the frame, so that its screenshots show all of it
    return this.viewport(Math.max(this.frame[0], 480), this.frame[1]);
  }

  messages() { return this.run('window.said'); }

  run(expression) { return this.driver.executeScript(`return ${expression};`); }

  key(code, down = true) {
    const actions = this.driver.actions();
    return (down ? actions.keyDown(webDriverKey(code)) : actions.keyUp(webDriverKey(code))).perform();
  }

  touch(fingers) { // one finger: WebKitGTK's driver turns touch into its mouse anyway
    const spot = fingers[1];
    const actions = this.driver.actions();
    if (spot) actions.move({x: Math.round(spot[0]), y: Math.round(spot[1]), origin: Origin.VIEWPORT});
    if (Boolean(spot) !== this.down) spot ? actions.press() : actions.release();
    this.down = Boolean(spot);
    return actions.perform();
  }

  async viewport(width, height) { // the window less its frame gives the page's size
    const [innerWidth, innerHeight] = await this.run('[innerWidth, innerHeight]');
    const window = this.driver.manage().window();
    const outer = await window.getRect();
    await window.setRect({width: outer.width + width - innerWidth,
                          height: outer.height + height - innerHeight});
  }

  async screenshot() { return Buffer.from(await this.driver.takeScreenshot(), 'base64'); }

  async close() { // one window: the next tab loads its page afresh
    await this.driver.actions().clear();
    this.down = false;
    this.frame = null;
    await this.driver.switchTo().defaultContent();
    await this.driver.get('about:blank');
  }
}

function freePort() {
  const probe = createServer();
  return new Promise((resolve) => probe.listen(0, '127.0.0.1', () => {
    const {port} = probe.address();
    probe.close(() => resolve(port));
  }));
}

async function listening(port, seconds) {
  for (const deadline = Date.now() + seconds * 1000; Date.now() < deadline; await sleep(100)) {
    const open = await new Promise((resolve) => {
      const socket = connect(port, '127.0.0.1', () => { socket.end(); resolve(true); });
      socket.on('error', () => resolve(false));
    });
    if (open) return;
  }
  throw new Error(`nothing listens on port ${port}`);
}

function miniBrowser() {
  for (const arch of readdirSync('/usr/lib')) {
    for (const api of ['webkit2gtk-4.1', 'webkit2gtk-4.0']) {
      const path = `/usr/lib/${arch}/${api}/MiniBrowser`;
      if (existsSync(path)) return path;
    }
  }
  throw new Error('no MiniBrowser (webkit2gtk-driver) under /usr/lib');
}

async function launchWebKit() {
  const port = await freePort();
  // Its own process group: Xvfb, the driver and the browser end together.
  const xvfb = fileURLToPath(new URL('xvfb.py', import.meta.url));
  const server = spawn('/usr/bin/python3', [xvfb, '--size', '1400x1100', 'WebKitWebDriver',
                                            `--port=${port}`], {detached: true, stdio: 'ignore'});
  const stop = () => { try { process.kill(-server.pid, 'SIGTERM'); } catch {} };
  process.once('exit', stop);
  try {
    await listening(port, 30);
    const driver = await new Builder().disableEnvironmentOverrides()
      .usingServer(`http://127.0.0.1:${port}`).withCapabilities({
      'browserName': 'MiniBrowser',
      'webkitgtk:browserOptions': {binary: miniBrowser(), args: ['--automation']},
    }).build();
    return {
      name: 'webkit', fingers: 1,
      tab: async () => new WebKitTab(driver),
      close: async () => { try { await driver.quit(); } finally { stop(); } },
    };
  } catch (error) {
    stop();
    throw error;
  }
}

// name: chromium, firefox or webkit. fingers: how many touches it holds at once.
export async function launch(name) {
  if (name === 'webkit') return launchWebKit();
  const browser = await puppeteer.launch(name === 'chromium'
    ? {executablePath: '/usr/bin/chromium', args: CHROMIUM_FLAGS, timeout: 60000,
       ignoreDefaultArgs: ['--hide-scrollbars']} // as a learner's browser shows them
    : {browser: 'firefox', executablePath: '/usr/bin/firefox-esr', timeout: 60000,
       extraPrefsFirefox: {'media.cubeb.force_mock_context': true}}); // no sound device
  return {
    name, fingers: 2,
    tab: async () => new PuppeteerTab(await browser.newPage(), browser, name === 'chromium'),
    close: () => browser.close(),
  };
}
