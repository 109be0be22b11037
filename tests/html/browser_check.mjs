// Renders Zentrak's web pages in headless Chromium and checks them from the
// rendered DOM, or writes a screenshot of each. It needs nothing but Node and
// Chromium: it speaks the DevTools protocol over a pipe, so it works offline.
//
//   node browser_check.mjs check <expect.json> <demo-pages> <hostile-pages> [<binkd-pages>]
//   node browser_check.mjs shots <pages> <png-folder>
//   node browser_check.mjs shot <pages> <png-folder> <page.html> <most-pixels-high>
//
// CHROMIUM names the browser (default: Debian's).
import { spawn } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

const kTimeoutMs = 30000;
const kDesktop = { width: 1280, height: 900, deviceScaleFactor: 1, mobile: false };
const kPhone = { width: 390, height: 844, deviceScaleFactor: 2, mobile: true };

function browserPath() {
  if (process.env.CHROMIUM) return process.env.CHROMIUM;
  // The binary itself: Debian's /usr/bin/chromium is a wrapper script.
  for (const path of ['/usr/lib/chromium/chromium', '/usr/bin/chromium']) {
    if (existsSync(path)) return path;
  }
  return 'chromium';
}

/// One browser, spoken to over --remote-debugging-pipe (fd 3 in, fd 4 out).
class Browser {
  constructor() {
    this.profile = mkdtempSync(join(tmpdir(), 'zentrak-chromium-'));
    const args = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-extensions', '--hide-scrollbars', '--mute-audio', '--remote-debugging-pipe',
      `--user-data-dir=${this.profile}`, 'about:blank'];
    this.proc = spawn(browserPath(), args, { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    this.stderr = '';
    this.proc.stderr.on('data', (chunk) => { this.stderr = (this.stderr + chunk).slice(-4000); });
    this.proc.on('exit', (code) => this.failAll(new Error(`chromium exited (${code}): ${this.stderr}`)));
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = new Set();
    let buffered = Buffer.alloc(0);
    this.proc.stdio[4].on('data', (chunk) => {
      buffered = Buffer.concat([buffered, chunk]);
      for (let end = buffered.indexOf(0); end >= 0; end = buffered.indexOf(0)) {
        this.dispatch(JSON.parse(buffered.subarray(0, end).toString('utf8')));
        buffered = buffered.subarray(end + 1);
      }
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiter = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (!waiter) return;
      if (message.error) waiter.reject(new Error(`${waiter.method}: ${message.error.message}`));
      else waiter.resolve(message.result);
      return;
    }
    for (const listener of [...this.listeners]) listener(message);
  }

  failAll(error) {
    for (const waiter of this.pending.values()) waiter.reject(error);
    this.pending.clear();
  }

  send(method, params = {}, sessionId = undefined) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return withTimeout(new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.proc.stdio[3].write(JSON.stringify(message) + '\0');
    }), method);
  }

  /// The next event `method` of `sessionId`.
  once(method, sessionId) {
    let listener;
    const promise = new Promise((resolve) => {
      listener = (message) => {
        if (message.method === method && message.sessionId === sessionId) {
          this.listeners.delete(listener);
          resolve(message.params);
        }
      };
      this.listeners.add(listener);
    });
    return withTimeout(promise, method);
  }

  async close() {
    try {
      await this.send('Browser.close');
    } catch {
      this.proc.kill();
    }
    await new Promise((done) => (this.proc.exitCode !== null ? done() : this.proc.on('exit', done)));
    rmSync(this.profile, { recursive: true, force: true });
  }
}

function withTimeout(promise, what) {
  let timer;
  const timeout = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(`timed out waiting for ${what}`)), kTimeoutMs);
  });
  return Promise.race([promise, timeout]).finally(() => clearTimeout(timer));
}

/// A tab that records what a page logs and loads.
class Tab {
  static async open(browser) {
    const { targetId } = await browser.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await browser.send('Target.attachToTarget', { targetId, flatten: true });
    const tab = new Tab(browser, sessionId);
    for (const domain of ['Page', 'Runtime', 'Log', 'Network']) await tab.send(`${domain}.enable`);
    return tab;
  }

  constructor(browser, sessionId) {
    this.browser = browser;
    this.sessionId = sessionId;
    this.problems = [];
    this.requests = [];
    browser.listeners.add((message) => {
      if (message.sessionId !== sessionId) return;
      const p = message.params;
      switch (message.method) {
        case 'Runtime.consoleAPICalled':
          if (p.type === 'error' || p.type === 'assert' || p.type === 'warning') {
            this.problems.push(`console ${p.type}: ${p.args.map((a) => a.value).join(' ')}`);
          }
          break;
        case 'Runtime.exceptionThrown':
          this.problems.push(`exception: ${p.exceptionDetails.text}`);
          break;
        case 'Log.entryAdded':
          if (p.entry.level === 'error') this.problems.push(`log: ${p.entry.text} ${p.entry.url ?? ''}`);
          break;
        case 'Network.requestWillBeSent':
          this.requests.push(p.request.url);
          break;
        case 'Network.loadingFailed':
          this.problems.push(`load failed: ${p.errorText}`);
          break;
      }
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async load(url, metrics) {
    this.problems = [];
    this.requests = [];
    await this.send('Emulation.setDeviceMetricsOverride', metrics);
    const loaded = this.browser.once('Page.loadEventFired', this.sessionId);
    const { errorText } = await this.send('Page.navigate', { url });
    if (errorText) throw new Error(`${url}: ${errorText}`);
    await loaded;
    // Whatever a page would do after its load event (an image's error handler) has had its turn.
    await new Promise((done) => setTimeout(done, 50));
  }

  async evaluate(fn) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate', {
      expression: `(${fn})()`, returnByValue: true });
    if (exceptionDetails) throw new Error(`evaluate: ${exceptionDetails.text}`);
    return result.value;
  }
}

/// What the checks read from a rendered page (runs inside the page).
function collectFacts() {
  const path = (el) => {
    const parts = [];
    for (let e = el; e; e = e.parentElement) parts.unshift(e.localName);
    return parts.join('>');
  };
  const elements = [...document.querySelectorAll('*')];
  const bars = [...document.querySelectorAll('td.bar span')];
  const header = document.querySelector('header.top');
  return {
    title: document.title,
    lang: document.documentElement.getAttribute('lang'),
    viewport: document.querySelector('meta[name="viewport"]')?.getAttribute('content') ?? '',
    text: document.body.textContent,
    h1: document.querySelectorAll('h1').length,
    shapes: elements.map((e) => path(e)),
    // A chart's geometry follows its data: inside an SVG only the numbers may differ.
    attributes: elements.flatMap((e) => [...e.attributes].map((a) => `${path(e)} ${a.name}=${
      e.closest('svg') ? a.value.replace(/-?\d+(\.\d+)?/g, '#') : a.value}`)),
    chartText: [...document.querySelectorAll('svg')].map((s) => s.textContent).join('\n'),
    // Every chart is an image named by its own title and described by its description.
    unnamedCharts: [...document.querySelectorAll('svg')].filter((s) => s.getAttribute('role') !== 'img' ||
      !s.querySelector(':scope > title')?.textContent.trim() ||
      !s.querySelector(':scope > desc')?.textContent.trim()).length,
    charts: document.querySelectorAll('svg').length,
    links: [...document.querySelectorAll('a[href]')].map((a) => a.getAttribute('href')),
    tablesWithoutHeaders: [...document.querySelectorAll('table')]
      .filter((t) => t.querySelectorAll('th').length === 0).length,
    // Every row as wide as the header row: a cut template line loses cells.
    raggedRows: [...document.querySelectorAll('table')].flatMap((t) => {
      const width = (row) => [...row.cells].reduce((sum, cell) => sum + cell.colSpan, 0);
      const head = t.tHead?.rows[0];
      return head ? [...t.rows].filter((row) => width(row) !== width(head)).map((row) => row.rowIndex) : [];
    }),
    styled: header ? getComputedStyle(header).backgroundImage.includes('gradient') : false,
    bars: bars.map((b) => ({ width: b.getBoundingClientRect().width, color: getComputedStyle(b).color,
      symbols: b.textContent.length })),
    monospaceCells: [...document.querySelectorAll('.cells')]
      .every((c) => /mono/i.test(getComputedStyle(c).fontFamily)),
    overflow: document.documentElement.scrollWidth - document.documentElement.clientWidth,
    wide: elements.filter((e) => e.getBoundingClientRect().right > document.documentElement.clientWidth + 1).slice(0, 5).map((e) => path(e) + ' ' + e.className + ' ' + Math.round(e.getBoundingClientRect().right)),
  };
}

function pagesOf(folder) {
  return readdirSync(folder).filter((name) => name.endsWith('.html')).sort();
}

/// Checks every page of a folder; returns the failures and the pages' shapes.
async function checkFolder(tab, folder, expect, reference) {
  const failures = [];
  const shapes = new Map();
  const fail = (page, what) => failures.push(`${folder}/${page}: ${what}`);
  const stylesheet = pathToFileURL(join(folder, 'zentrak.css')).href;
  for (const page of pagesOf(folder)) {
    const url = pathToFileURL(join(folder, page)).href;
    await tab.load(url, kDesktop);
    const facts = await tab.evaluate(collectFacts);
    for (const problem of tab.problems) fail(page, problem);
    for (const request of tab.requests) {
      if (request !== url && request !== stylesheet) fail(page, `loaded ${request}`);
    }
    if (facts.title !== facts.title.trim() || !facts.title.includes(expect.station)) {
      fail(page, `title ${JSON.stringify(facts.title)} lacks the station`);
    }
    if (facts.lang !== 'en') fail(page, `lang ${facts.lang}`);
    if (!facts.viewport.includes('width=device-width')) fail(page, 'no viewport for phones');
    if (facts.h1 !== 1) fail(page, `${facts.h1} h1 elements`);
    if (facts.tablesWithoutHeaders > 0) fail(page, 'a table without header cells');
    if (facts.raggedRows.length > 0) fail(page, `rows ${facts.raggedRows.slice(0, 5)} not as wide as the header`);
    if (!facts.styled) fail(page, 'the stylesheet is not applied');
    if (!facts.monospaceCells) fail(page, 'histogram or graphic cells not in a monospace font');
    for (const bar of facts.bars) {
      if (bar.color !== 'rgba(0, 0, 0, 0)') fail(page, `bar symbols are visible (${bar.color})`);
    }
    // Bars of a ranked list are drawn as long as their symbols say.
    for (let i = 1; i < facts.bars.length && page !== 'disk.html'; ++i) {
      const [a, b] = [facts.bars[i - 1], facts.bars[i]];
      if (b.symbols < a.symbols ? !(b.width < a.width) : b.width !== a.width) {
        fail(page, `bar ${i} is ${b.width}px for ${b.symbols} symbols after ${a.width}px for ${a.symbols}`);
      }
    }
    for (const text of [...(expect.everyPage ?? []), ...(expect.pages?.[page] ?? [])]) {
      if (!facts.text.includes(text)) fail(page, `does not show ${JSON.stringify(text)} as text`);
    }
    for (const text of expect.charts?.[page] ?? []) {
      if (!facts.chartText.includes(text)) fail(page, `no chart shows ${JSON.stringify(text)} as text`);
    }
    if (facts.unnamedCharts > 0) fail(page, `${facts.unnamedCharts} charts without a title and description`);
    if (facts.charts < (expect.chartCount?.[page] ?? 0)) fail(page, `${facts.charts} charts`);
    // The pages link each other: every link to a page of the site finds it.
    for (const link of facts.links) {
      const target = link.split('#')[0];
      if (target && !/^[a-z]+:/i.test(target) && !existsSync(join(folder, target))) {
        fail(page, `links to ${target}, which is not there`);
      }
    }
    for (const attribute of facts.attributes) {
      if (/ on[a-z]+=/i.test(attribute) || /owned/.test(attribute)) fail(page, `attribute ${attribute}`);
    }
    if (reference) {
      // Every element and attribute must be one the template also writes for the example
      // station: anything else came from the data.
      const known = reference.get(page);
      if (!known) {
        fail(page, 'no example page to compare with');
      } else {
        for (const shape of new Set([...facts.shapes, ...facts.attributes])) {
          if (!known.has(shape)) fail(page, `element or attribute not in the template: ${shape}`);
        }
      }
    }
    shapes.set(page, new Set([...facts.shapes, ...facts.attributes]));

    await tab.load(url, kPhone);
    const phone = await tab.evaluate(collectFacts);
    if (phone.overflow > 1) fail(page, `wider than a phone by ${phone.overflow}px ${phone.wide.join(' | ')}`);
  }
  if (shapes.size === 0) failures.push(`${folder}: no pages`);
  for (const page of Object.keys({ ...expect.pages, ...expect.chartCount })) {
    if (!shapes.has(page)) failures.push(`${folder}/${page}: not written`);
  }
  return { failures, shapes };
}

async function check(expectFile, demoFolder, hostileFolder, binkdFolder) {
  const expect = JSON.parse(readFileSync(expectFile, 'utf8'));
  const browser = new Browser();
  try {
    const tab = await Tab.open(browser);
    const demo = await checkFolder(tab, resolve(demoFolder), expect.demo, null);
    const hostile = await checkFolder(tab, resolve(hostileFolder), expect.hostile, demo.shapes);
    // The binkd station's pages: their own columns, so no shapes to compare with.
    const binkd = binkdFolder ? await checkFolder(tab, resolve(binkdFolder), expect.binkd, null)
      : { failures: [], shapes: new Map() };
    const failures = [...demo.failures, ...hostile.failures, ...binkd.failures];
    for (const failure of failures) console.log(`FAIL ${failure}`);
    const pages = demo.shapes.size + hostile.shapes.size + binkd.shapes.size;
    console.log(`${pages} pages rendered, ${failures.length} failures`);
    return failures.length === 0 ? 0 : 1;
  } finally {
    await browser.close();
  }
}

async function shots(folder, out, onlyPage = undefined, maxHeight = 4000) {
  mkdirSync(out, { recursive: true });
  const browser = new Browser();
  try {
    const tab = await Tab.open(browser);
    const take = async (page, metrics, name) => {
      await tab.load(pathToFileURL(join(resolve(folder), page)).href, metrics);
      const height = await tab.evaluate(() => document.documentElement.scrollHeight);
      await tab.send('Emulation.setDeviceMetricsOverride', { ...metrics, height: Math.min(height, maxHeight) });
      const { data } = await tab.send('Page.captureScreenshot', { format: 'png' });
      writeFileSync(join(out, name), Buffer.from(data, 'base64'));
      console.log(join(out, name));
    };
    if (onlyPage) return await take(onlyPage, kDesktop, onlyPage.replace(/\.html$/, '.png'));
    for (const page of pagesOf(folder)) await take(page, kDesktop, page.replace(/\.html$/, '.png'));
    await take('index.html', kPhone, 'index-phone.png');
  } finally {
    await browser.close();
  }
}

const [mode, ...args] = process.argv.slice(2);
let status = 2;
try {
  if (mode === 'check' && (args.length === 3 || args.length === 4)) status = await check(...args);
  else if (mode === 'shots' && args.length === 2) status = (await shots(...args), 0);
  else if (mode === 'shot' && args.length === 4) status = (await shots(args[0], args[1], args[2], Number(args[3])), 0);
  else console.error('usage: browser_check.mjs check <expect.json> <demo> <hostile> [<binkd>] | shots <pages> <out> | shot <pages> <out> <page> <height>');
} catch (error) {
  console.error(`browser check: ${error.message}`);
  status = 1;
}
process.exit(status);
