// The slider as a visitor meets it: projects made by make_slider_projects and published by veskaro-cli,
// served from localhost and opened in Debian's Chromium. Each test opens its page in a fresh browser context and
// fails on any console error the page reports.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { chromium } from 'playwright-core';
import { decodePng, pixelAt } from './png.mjs';
import { minifiedLength } from './scriptSize.mjs';

// The timings make_slider_projects writes into the projects, in milliseconds.
const WAIT = 700;
const AUTO = 200;
const MANUAL = 400;
const COLOURS = { 1: [255, 0, 0], 2: [0, 255, 0], 3: [0, 0, 255] };
const NAMES = { 1: 'Red', 2: 'Green', 3: 'Blue' };
const QUIET_TIME = WAIT + AUTO + 600; // long enough for an advance that must not come
const CHROMIUM_ARGS = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];
const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.bmp': 'image/bmp' };

let root;
let server;
let baseUrl;
let browser;
const delays = new Map(); // request path -> milliseconds the answer is held back

function serve(request, response) {
    const { pathname } = new URL(request.url, 'http://localhost');
    const file = path.join(root, decodeURIComponent(pathname));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        response.writeHead(pathname === '/favicon.ico' ? 204 : 404);
        response.end();
        return;
    }
    setTimeout(() => {
        response.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream',
                                  'cache-control': 'no-store' });
        response.end(fs.readFileSync(file));
    }, delays.get(pathname) ?? 0);
}

before(async () => {
    root = fs.mkdtempSync(path.join(os.tmpdir(), 'veskaro-web-'));
    execFileSync(process.env.VESKARO_MAKE_PROJECTS, [root], { stdio: 'inherit' });
    // Publishing keeps its work folders below the test's own folder, never in the user's.
    const env = { ...process.env, XDG_DATA_HOME: path.join(root, 'per-user') };
    for (const name of ['three', 'one', 'none'])
        execFileSync(process.env.VESKARO_CLI, ['publish', path.join(root, name, 'index.vsk'), '--quiet'],
                     { stdio: 'inherit', env });
    server = http.createServer(serve);
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    baseUrl = `http://127.0.0.1:${server.address().port}`;
    browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: CHROMIUM_ARGS });
});

after(async () => {
    await browser?.close();
    server?.close();
    if (root) fs.rmSync(root, { recursive: true, force: true });
});

// Opens a page in a fresh context; close() checks that the page reported no error. With stopClock the
// page's timers stand still from the start, so that a slow machine cannot move the show on meanwhile.
async function open(name, { options = {}, waitUntil = 'load', init, stopClock = false } = {}) {
    const context = await browser.newContext({ viewport: { width: 900, height: 700 }, ...options });
    const page = await context.newPage();
    const errors = [];
    page.on('console', (message) => {
        if (message.type() === 'error') errors.push(message.text());
    });
    page.on('pageerror', (error) => errors.push(String(error)));
    if (init) await page.addInitScript(init);
    if (stopClock) {
        // A time read from the page would already be past when a loaded machine gets to pause there.
        await page.clock.install();
        await page.clock.pauseAt(new Date('2030-01-01T00:00:00Z'));
    }
    await page.goto(`${baseUrl}/${name}/index.html`, { waitUntil });
    return {
        page,
        async close() {
            await context.close();
            assert.deepEqual(errors, [], 'the page reported errors');
        },
    };
}

const slide = (k) => `#jsnavbtnslider_image_${k}`;
const button = (k) => `#jsnavbtnslider_navbtn_${k}`;
const TOGGLE = '[aria-label="Pause slideshow"], [aria-label="Play slideshow"]';

// The numbers of the buttons marked active (as the style sheet sees them) and current (as assistive
// technology does).
function marks(page) {
    return page.evaluate(() => ({
        active: [...document.querySelectorAll('.jsnavbtnslider_navbtn_active')].map((b) => b.id.split('_').pop()),
        current: [...document.querySelectorAll('[aria-current="true"]')].map((b) => b.id.split('_').pop()),
    }));
}

async function shownNumber(page) {
    const { active } = await marks(page);
    assert.equal(active.length, 1, 'exactly one active button');
    return Number(active[0]);
}

// Waits until image k is shown alone and fully, with its button marked.
async function waitForShown(page, k, timeout = 5000) {
    await page.waitForFunction(
        (k) => {
            const slides = [...document.querySelectorAll('[id^="jsnavbtnslider_image_"]')];
            const settled = slides.every((s) => {
                const style = getComputedStyle(s);
                return s.id === `jsnavbtnslider_image_${k}`
                    ? style.visibility === 'visible' && style.opacity === '1'
                    : style.visibility === 'hidden';
            });
            const active = document.querySelector('.jsnavbtnslider_navbtn_active');
            return settled && active?.id === `jsnavbtnslider_navbtn_${k}`;
        },
        k,
        { timeout, polling: 20 },
    );
}

// The colour a visitor sees at the centre of the slider.
async function colourAtCentre(page) {
    const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    const clip = { x: Math.round(box.x + box.width / 2), y: Math.round(box.y + box.height / 2), width: 1, height: 1 };
    return pixelAt(decodePng(await page.screenshot({ clip })), 0, 0);
}

async function assertColourOf(page, k) {
    const colour = await colourAtCentre(page);
    assert.ok(colour.every((c, i) => Math.abs(c - COLOURS[k][i]) <= 3), `image ${k} shown, saw rgb(${colour})`);
}

async function moveMouseAway(page) {
    await page.mouse.move(2, 2);
}

async function hoverSlider(page) {
    const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    await page.mouse.move(box.x + box.width / 2, box.y + box.height / 3);
}

// Stops the slide show without a pointer or the focus near the slider.
function stopWithoutHover(page) {
    return page.evaluate((selector) => document.querySelector(selector).click(), TOGGLE);
}

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function touch(page) {
    return page.context().newCDPSession(page);
}

async function drag(cdp, from, to, steps = 8) {
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [from] });
    for (let i = 1; i <= steps; i++) {
        const point = { x: from.x + ((to.x - from.x) * i) / steps, y: from.y + ((to.y - from.y) * i) / steps };
        await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [point] });
    }
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

async function sliderCentre(page) {
    const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

test('shows the first image with button 1 marked, and the buttons read 1 to 3', async () => {
    const { page, close } = await open('three', { stopClock: true });
    assert.deepEqual(await marks(page), { active: ['1'], current: ['1'] });
    await hoverSlider(page);
    await waitForShown(page, 1, 1000);
    await assertColourOf(page, 1);
    const lefts = [];
    for (const k of [1, 2, 3]) lefts.push((await page.locator(button(k)).boundingBox()).x);
    assert.ok(lefts[0] < lefts[1] && lefts[1] < lefts[2], `buttons left to right: ${lefts}`);
    await close();
});

test('advances to image 2 after the delay, then on to 3 and round to 1', async () => {
    const started = Date.now();
    const { page, close } = await open('three');
    await waitForShown(page, 2);
    assert.ok(Date.now() - started >= WAIT, 'not before the delay');
    await hoverSlider(page);
    await assertColourOf(page, 2);
    await moveMouseAway(page);
    await waitForShown(page, 3);
    await waitForShown(page, 1);
    await close();
});

test('a click on button 3 shows image 3, marks it and restarts the timer', async () => {
    const { page, close } = await open('three');
    await page.click(button(3));
    await waitForShown(page, 3);
    assert.deepEqual(await marks(page), { active: ['3'], current: ['3'] });
    await assertColourOf(page, 3);
    assert.equal(await page.locator(`${slide(3)} a`).getAttribute('href'), '#image3', 'the image keeps its link');
    assert.equal(await page.locator(`${slide(3)} a`).getAttribute('target'), '_self');
    await moveMouseAway(page);
    await waitForShown(page, 1);
    await close();
});

test('the keyboard reaches every button in reading order and operates the slider', async () => {
    const { page, close } = await open('three');
    const order = [];
    for (let i = 0; i < 5; i++) {
        await page.keyboard.press('Tab');
        order.push(
            await page.evaluate(() => {
                const e = document.activeElement;
                return e.tagName === 'A' ? `link ${e.getAttribute('href')}` : e.getAttribute('aria-label');
            }),
        );
    }
    const link = order[0];
    assert.match(link, /^link #image[1-3]$/);
    assert.deepEqual(order.slice(1), ['Pause slideshow', 'Show image 1', 'Show image 2', 'Show image 3']);

    await page.focus(button(2));
    await page.keyboard.press('Enter');
    await waitForShown(page, 2);
    await page.keyboard.press('Tab');
    await page.keyboard.press(' ');
    await waitForShown(page, 3);
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'Space does not scroll the page');
    await page.keyboard.press('ArrowLeft');
    await waitForShown(page, 2);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'jsnavbtnslider_navbtn_2');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await waitForShown(page, 1);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'jsnavbtnslider_navbtn_1');

    await pause(QUIET_TIME);
    assert.equal(await shownNumber(page), 1, 'paused while the keyboard focus is in the slider');
    await page.evaluate(() => document.activeElement.blur());
    await waitForShown(page, 2);
    await close();
});

test('arrow keys on the shown link keep the focus on the shown link', async () => {
    const { page, close } = await open('three');
    await page.keyboard.press('Tab');
    const before = await shownNumber(page);
    await page.keyboard.press('ArrowRight');
    const next = (before % 3) + 1;
    await waitForShown(page, next);
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('href')), `#image${next}`);
    await close();
});

test('the play/pause button stops and resumes the slide show, from keyboard and mouse', async () => {
    const { page, close } = await open('three');
    const toggle = page.locator(TOGGLE);
    assert.equal(await toggle.getAttribute('role'), 'button');
    assert.equal(await toggle.getAttribute('tabindex'), '0');
    await toggle.focus();
    await page.keyboard.press('Enter');
    assert.equal(await toggle.getAttribute('aria-label'), 'Play slideshow');
    await page.evaluate(() => document.activeElement.blur());
    const stoppedAt = await shownNumber(page);
    await pause(QUIET_TIME);
    assert.equal(await shownNumber(page), stoppedAt, 'stopped');

    await toggle.click();
    assert.equal(await toggle.getAttribute('aria-label'), 'Pause slideshow');
    await moveMouseAway(page);
    await waitForShown(page, (stoppedAt % 3) + 1);
    await close();
});

test('only the shown image can be reached: hidden links take no focus and are not announced', async () => {
    const { page, close } = await open('three');
    await stopWithoutHover(page);
    const shown = await shownNumber(page);
    await waitForShown(page, shown);
    assert.equal(await page.$('#jsnavbtnslider_firstimage_1'), null, 'the duplicate of image 1 is gone');
    for (const k of [1, 2, 3]) {
        const state = await page.evaluate((k) => {
            const link = document.querySelector(`#jsnavbtnslider_image_${k} a`);
            link.focus();
            return { focused: document.activeElement === link, hidden: link.closest('[aria-hidden]').ariaHidden };
        }, k);
        assert.deepEqual(state, k === shown ? { focused: true, hidden: 'false' } : { focused: false, hidden: 'true' });
    }
    const { nodes } = await (await touch(page)).send('Accessibility.getFullAXTree');
    const links = nodes.filter((n) => n.role?.value === 'link' && !n.ignored).map((n) => n.name?.value);
    assert.deepEqual(links, [NAMES[shown]]);
    await close();
});

test('a horizontal swipe changes the image; a short touch does not', async () => {
    const { page, close } = await open('three', { options: { hasTouch: true } });
    await stopWithoutHover(page);
    const cdp = await touch(page);
    const centre = await sliderCentre(page);
    const shown = await shownNumber(page);
    const next = (shown % 3) + 1;
    await drag(cdp, centre, { x: centre.x - 200, y: centre.y + 20 });
    await waitForShown(page, next);
    await drag(cdp, centre, { x: centre.x + 200, y: centre.y - 20 });
    await waitForShown(page, shown);
    await drag(cdp, centre, { x: centre.x - 10, y: centre.y });
    await pause(MANUAL + 200);
    assert.equal(await shownNumber(page), shown);
    await close();
});

test('a vertical swipe over the slider scrolls the page on a touch screen', async () => {
    const { page, close } = await open('three', { options: { hasTouch: true, viewport: { width: 400, height: 250 } } });
    await stopWithoutHover(page);
    const shown = await shownNumber(page);
    const centre = await sliderCentre(page);
    await drag(await touch(page), { x: centre.x, y: centre.y + 60 }, { x: centre.x + 8, y: centre.y - 90 }, 12);
    await page.waitForFunction(() => window.scrollY > 20, null, { timeout: 3000 });
    assert.equal(await shownNumber(page), shown, 'the image stays');
    await close();
});

test('pauses while the pointer is over the slider', async () => {
    const { page, close } = await open('three');
    await hoverSlider(page);
    const hovered = await shownNumber(page);
    await pause(QUIET_TIME);
    assert.equal(await shownNumber(page), hovered);
    await moveMouseAway(page);
    await waitForShown(page, (hovered % 3) + 1);
    await close();
});

test('pauses while the tab is hidden', async () => {
    const { page, close } = await open('three');
    const hidden = await page.evaluate(() => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
        document.dispatchEvent(new Event('visibilitychange'));
        return Number(document.querySelector('.jsnavbtnslider_navbtn_active').id.split('_').pop());
    });
    await pause(QUIET_TIME);
    assert.equal(await shownNumber(page), hidden);
    await page.evaluate(() => {
        delete document.hidden;
        document.dispatchEvent(new Event('visibilitychange'));
    });
    await waitForShown(page, (hidden % 3) + 1);
    await close();
});

test('switches at once for visitors who ask for reduced motion, and fades for the others', async () => {
    const opacityRightAfterClick = (page) =>
        page.evaluate(() => {
            document.getElementById('jsnavbtnslider_navbtn_3').click();
            return Number(getComputedStyle(document.getElementById('jsnavbtnslider_image_3')).opacity);
        });
    const still = await open('three', { options: { reducedMotion: 'reduce' } });
    assert.equal(await opacityRightAfterClick(still.page), 1);
    await still.close();
    const moving = await open('three', { options: { reducedMotion: 'no-preference' } });
    assert.ok((await opacityRightAfterClick(moving.page)) < 1, 'a fade');
    await waitForShown(moving.page, 3);
    await moving.close();
});

test('waits for a picture that is still loading instead of showing half of it', async () => {
    delays.set('/three/slider1.bmp', 2500);
    try {
        const { page, close } = await open('three', { waitUntil: 'domcontentloaded' });
        await pause(QUIET_TIME);
        assert.equal(await shownNumber(page), 1, 'image 2 has not arrived yet');
        await page.waitForFunction(() => document.querySelector('.jsnavbtnslider_navbtn_active').id.endsWith('_2'),
                                   null, { timeout: 5000, polling: 10 });
        assert.ok(await page.evaluate(() => document.querySelector('#jsnavbtnslider_image_2 img').naturalWidth === 640));
        await close();
    } finally {
        delays.clear();
    }
});

test('scales down to a narrow container keeping its proportions, and back', async () => {
    const { page, close } = await open('three', { options: { viewport: { width: 320, height: 600 } } });
    await stopWithoutHover(page);
    const room = await page.evaluate(() => document.body.clientWidth);
    for (const selector of ['.position_div_as_you_wish', '.jsnavbtnslider_placeholder']) {
        const box = await page.locator(selector).boundingBox();
        assert.ok(Math.abs(box.width - room) <= 1, `${selector} width ${box.width} fits ${room}`);
        assert.ok(Math.abs(box.height - (room * 480) / 640) <= 1, `${selector} height ${box.height}`);
    }
    assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= document.documentElement.clientWidth));
    const shown = await shownNumber(page);
    const other = (shown % 3) + 1;
    await page.click(button(other));
    await waitForShown(page, other);
    await assertColourOf(page, other);

    await page.setViewportSize({ width: 900, height: 700 });
    await page.waitForFunction(() => document.querySelector('.position_div_as_you_wish').offsetWidth === 640);
    const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    assert.deepEqual([box.width, box.height], [640, 480]);
    await close();
});

test('adds no global names beyond the four variables and one namespace object', async () => {
    const { page, close } = await open('three', {
        init: () => Object.defineProperty(window, Symbol.for('keys'), { value: Object.keys(window) }),
    });
    const added = await page.evaluate(() => {
        const before = new Set(window[Symbol.for('keys')]);
        return Object.keys(window).filter((key) => !before.has(key));
    });
    assert.deepEqual(added.sort(), ['BbAl', 'bvAl', 'bwAl', 'bxAl', 'jsnavbtnslider']);
    await close();
});

// Counts the timers a page starts, under a name that is no enumerable global.
function countTimers() {
    let count = 0;
    for (const name of ['setTimeout', 'setInterval']) {
        const original = window[name];
        window[name] = function (...args) {
            count++;
            return original.apply(this, args);
        };
    }
    Object.defineProperty(window, Symbol.for('timers'), { get: () => count });
}

const timersStarted = (page) => page.evaluate(() => window[Symbol.for('timers')]);

test('a page with one item is quiet: no timer, no play/pause button, image 1 marked', async () => {
    const { page, close } = await open('one', { init: countTimers });
    assert.deepEqual(await marks(page), { active: ['1'], current: ['1'] });
    assert.equal(await page.locator(TOGGLE).count(), 0);
    await page.click(button(1));
    await page.keyboard.press('ArrowRight');
    await moveMouseAway(page);
    await pause(QUIET_TIME);
    await waitForShown(page, 1);
    await assertColourOf(page, 1);
    assert.equal(await timersStarted(page), 0);
    await close();
});

test('a page without items is quiet and left as it is', async () => {
    const { page, close } = await open('none', { init: countTimers });
    await pause(QUIET_TIME);
    assert.equal(await timersStarted(page), 0);
    assert.equal(await page.locator('[role]').count(), 0);
    assert.equal(await page.locator('.jsnavbtnslider_navbtn_outer').count(), 0);
    await close();
});

test('both scripts together stay under 8 KB once minified', (t) => {
    let total = 0;
    for (const name of ['jslib.js', 'slidervsk.js']) {
        const bytes = minifiedLength(fs.readFileSync(path.join(process.env.VESKARO_SCRIPTS, name), 'utf8'));
        t.diagnostic(`${name}: ${bytes} bytes minified`);
        total += bytes;
    }
    t.diagnostic(`together: ${total} bytes`);
    assert.ok(total < 8192, `${total} bytes`);
});
