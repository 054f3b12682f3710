// The slider as a visitor meets it: projects made by make_slider_projects and published by veskaro-cli,
// and the bundled samples as published, served from localhost and opened in Debian's Chromium. Each test
// opens its page in a fresh browser context and fails on any console error the page reports.
//
// The page's timers run on Playwright's clock, which stands still from the first moment: a test moves it on
// with advance(), so that a busy machine can neither move the show on behind a test's back nor make it late.
// Fades are CSS transitions, which run on the browser's own time; tests finish them at once (settle) or
// stop them at a chosen point.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { chromium } from 'playwright-core';
import { decodePng, pixelAt } from './png.mjs';

const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// The timings make_slider_projects writes into the projects, in milliseconds.
const WAIT = 700;
const AUTO = 200;
const MANUAL = 400;
const ODD_WAIT = 1500; // the "odd" project's delay
const COLOURS = { 1: [255, 0, 0], 2: [0, 255, 0], 3: [0, 0, 255] };
const NAMES = { 1: 'Red', 2: 'Green', 3: 'Blue' };
const QUIET_TIME = 3 * (WAIT + MANUAL); // long enough for an advance that must not come
const TARGET = 24; // the smallest control size, in CSS pixels
const BUDGET = 8192; // bytes of script and style sheet a visitor loads
const CHROMIUM_ARGS = [
    '--headless',
    '--no-sandbox',
    '--disable-gpu',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
];
const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.bmp': 'image/bmp',
                '.jpg': 'image/jpeg', '.gif': 'image/gif', '.png': 'image/png', '.webp': 'image/webp' };

let root;
let server;
let baseUrl;
let browser;
const held = new Map(); // request path -> a promise that lets the answer go
const missing = new Set(); // request paths answered with 404, as a picture that is gone

function serve(request, response) {
    const { pathname } = new URL(request.url, 'http://localhost');
    const file = path.join(root, decodeURIComponent(pathname));
    if (missing.has(pathname) || !file.startsWith(root + path.sep) || !fs.existsSync(file) ||
        !fs.statSync(file).isFile()) {
        response.writeHead(pathname === '/favicon.ico' ? 204 : 404);
        response.end();
        return;
    }
    const answer = () => {
        response.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream',
                                  'cache-control': 'no-store' });
        response.end(fs.readFileSync(file));
    };
    (held.get(pathname) ?? Promise.resolve()).then(answer);
}

// Holds back the answer for a path until the returned function is called.
function hold(pathname) {
    let release;
    held.set(pathname, new Promise((resolve) => (release = resolve)));
    return () => {
        held.delete(pathname);
        release();
    };
}

// The copied block of a published page, with its pictures and scripts named from a neighbouring folder.
function copiedBlock(name) {
    const html = fs.readFileSync(path.join(root, name, 'index.html'), 'utf8');
    const start = html.indexOf('<!-- START COPYING FROM HERE -->');
    const end = html.indexOf('<!-- END OF COPYING -->');
    assert.ok(start > 0 && end > start, `${name} has its copying marks`);
    return html.slice(start, end).replaceAll('src="', `src="../${name}/`);
}

// A visitor's page holding two published sliders, the second followed by a spare copy of the script.
function makeTwoSliderPage() {
    fs.mkdirSync(path.join(root, 'two'));
    fs.writeFileSync(path.join(root, 'two', 'index.html'), `<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Two sliders</title>
<link href="../three/Slider1.css" type="text/css" rel="stylesheet">
<link href="../odd/OddSlider.css" type="text/css" rel="stylesheet">
</head><body>
<div>${copiedBlock('three')}</div>
<div style="clear:both">${copiedBlock('odd')}<script src="../odd/slidervsk.js"></script></div>
</body></html>`);
}

before(async () => {
    root = fs.mkdtempSync(path.join(os.tmpdir(), 'veskaro-web-'));
    execFileSync(process.env.VESKARO_MAKE_PROJECTS, [root], { stdio: 'inherit' });
    // Publishing keeps its work folders below the test's own folder, never in the user's.
    const env = { ...process.env, XDG_DATA_HOME: path.join(root, 'per-user') };
    for (const name of ['three', 'one', 'none', 'odd', 'many', 'sharp'])
        execFileSync(process.env.VESKARO_CLI, ['publish', path.join(root, name, 'index.vsk'), '--quiet'],
                     { stdio: 'inherit', env });
    fs.cpSync(process.env.VESKARO_SAMPLES, path.join(root, 'samples'), { recursive: true });
    makeTwoSliderPage();
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

// Opens a page ("three", or a path such as "samples/demo/demo.html") in a fresh context; close() checks
// that the page reported no error but the missing pictures a test asked for. With clock (the default)
// the page's timers stand still until the test advances them; without it they run as in any browser.
// prepare(page) runs before the page is asked for; fetched counts the requests of each path.
async function open(name, { options = {}, waitUntil = 'load', init, clock = true, prepare } = {}) {
    const context = await browser.newContext({ viewport: { width: 900, height: 700 }, ...options });
    const page = await context.newPage();
    const fetched = new Map();
    page.on('request', (request) => {
        const { pathname } = new URL(request.url());
        fetched.set(pathname, (fetched.get(pathname) ?? 0) + 1);
    });
    if (prepare) await prepare(page);
    const errors = [];
    page.on('console', (message) => {
        const gone = [...missing].some((file) => message.location().url.endsWith(file));
        if (message.type() === 'error' && !gone) errors.push(message.text());
    });
    page.on('pageerror', (error) => errors.push(String(error)));
    if (clock) {
        await page.clock.install();
        await page.clock.pauseAt(new Date('2030-01-01T00:00:00Z'));
    }
    if (init) await page.addInitScript(init);
    await page.goto(`${baseUrl}/${name.endsWith('.html') ? name : `${name}/index.html`}`, { waitUntil });
    return {
        page,
        fetched,
        async close() {
            await context.close();
            assert.deepEqual(errors, [], 'the page reported errors');
        },
    };
}

const advance = (page, ms) => page.clock.runFor(ms);
const slide = (k) => `#jsnavbtnslider_image_${k}`;
const button = (k) => `#jsnavbtnslider_navbtn_${k}`;
const TOGGLE = '[aria-label="Pause slideshow"], [aria-label="Play slideshow"]';

// Finishes every fade at once, then lets the slider put away the layers beneath.
async function settle(page) {
    await page.evaluate(() => document.getAnimations().forEach((a) => a.finish()));
    await advance(page, MANUAL);
}

// What slider number `which` of the page shows: the buttons marked active (as the style sheet sees them)
// and current (as assistive technology does), and the images that can be seen with their opacity.
function view(page, which = 0) {
    return page.evaluate((which) => {
        const box = document.querySelectorAll('.jsnavbtnslider_placeholder')[which];
        const number = (element) => Number(element.id.split('_').pop());
        return {
            active: [...box.querySelectorAll('.jsnavbtnslider_navbtn_active')].map(number),
            current: [...box.querySelectorAll('[aria-current="true"]')].map(number),
            visible: [...box.querySelectorAll('[id^="jsnavbtnslider_image_"]')]
                .filter((s) => getComputedStyle(s).visibility === 'visible')
                .map((s) => [number(s), Number(getComputedStyle(s).opacity)]),
        };
    }, which);
}

async function shownNumber(page, which = 0) {
    const { active } = await view(page, which);
    assert.equal(active.length, 1, 'exactly one active button');
    return active[0];
}

// Asserts that image k alone is to be seen, fully, with its button marked.
async function assertShows(page, k, which = 0) {
    assert.deepEqual(await view(page, which), { active: [k], current: [k], visible: [[k, 1]] });
}

const next = (k, n = 3) => (k % n) + 1;

async function screenshot(page, clip) {
    return decodePng(await page.screenshot({ clip }));
}

// The colour a visitor sees at the centre of the slider.
async function colourAtCentre(page) {
    const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    const clip = { x: Math.round(box.x + box.width / 2), y: Math.round(box.y + box.height / 2), width: 1, height: 1 };
    return pixelAt(await screenshot(page, clip), 0, 0);
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

// The names of the links a screen reader meets on the page.
async function linkNames(page) {
    const { nodes } = await (await touch(page)).send('Accessibility.getFullAXTree');
    return nodes.filter((n) => n.role?.value === 'link' && !n.ignored).map((n) => n.name?.value);
}

// What has the keyboard focus: a control by its label, or a link by its address.
function focusedName(page) {
    return page.evaluate(() => {
        const e = document.activeElement;
        return e.tagName === 'A' ? `link ${e.getAttribute('href')}` : e.getAttribute('aria-label') ?? e.tagName;
    });
}

test('shows the first image with button 1 marked, and the buttons read 1 to 3', async () => {
    const { page, close } = await open('three');
    await assertShows(page, 1);
    await assertColourOf(page, 1);
    const lefts = [];
    for (const k of [1, 2, 3]) lefts.push((await page.locator(button(k)).boundingBox()).x);
    assert.ok(lefts[0] < lefts[1] && lefts[1] < lefts[2], `buttons left to right: ${lefts}`);
    await close();
});

test('advances to image 2 after the delay, then on to 3 and round to 1', async () => {
    const { page, close } = await open('three');
    await advance(page, WAIT - 1);
    await assertShows(page, 1);
    await advance(page, 1);
    assert.deepEqual((await view(page)).active, [2], 'the fade to image 2 has begun');
    await settle(page);
    await assertShows(page, 2);
    await assertColourOf(page, 2);
    for (const k of [3, 1]) {
        await advance(page, WAIT - MANUAL + AUTO);
        await settle(page);
        await assertShows(page, k);
    }
    await close();
});

test('a click on button 3 shows image 3, marks it and restarts the timer', async () => {
    const { page, close } = await open('three');
    await advance(page, WAIT / 2);
    await page.click(button(3));
    await settle(page);
    await assertShows(page, 3);
    await assertColourOf(page, 3);
    assert.equal(await page.locator(`${slide(3)} a`).getAttribute('href'), '#image3', 'the image keeps its link');
    assert.equal(await page.locator(`${slide(3)} a`).getAttribute('target'), '_self');
    await moveMouseAway(page);
    await advance(page, WAIT - 1);
    await assertShows(page, 3);
    await advance(page, 1);
    await settle(page);
    await assertShows(page, 1);
    await close();
});

test('the keyboard meets play/pause first, then the buttons in reading order, then the link', async () => {
    const { page, close } = await open('three');
    const order = [];
    for (let i = 0; i < 5; i++) {
        await page.keyboard.press('Tab');
        order.push(await focusedName(page));
    }
    assert.deepEqual(order, ['Pause slideshow', 'Show image 1', 'Show image 2', 'Show image 3', 'link #image1']);

    await page.focus(button(2));
    await page.keyboard.press('Enter');
    await settle(page);
    await assertShows(page, 2);
    await page.keyboard.press('Tab');
    await page.keyboard.press(' ');
    await settle(page);
    await assertShows(page, 3);
    assert.equal(await page.evaluate(() => window.scrollY), 0, 'Space does not scroll the page');
    await page.keyboard.press('ArrowLeft');
    await settle(page);
    await assertShows(page, 2);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'jsnavbtnslider_navbtn_2');
    await page.keyboard.press('ArrowRight');
    await page.keyboard.press('ArrowRight');
    await settle(page);
    await assertShows(page, 1);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'jsnavbtnslider_navbtn_1');

    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await page.evaluate(() => document.activeElement.blur());
    await advance(page, WAIT);
    await settle(page);
    await assertShows(page, 2);
    await close();
});

test('arrow keys on the shown link keep the focus on the shown link', async () => {
    const { page, close } = await open('three');
    await page.focus(`${slide(1)} a`);
    await page.keyboard.press('ArrowRight');
    await settle(page);
    await assertShows(page, 2);
    assert.equal(await focusedName(page), 'link #image2');
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
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);

    await toggle.click();
    assert.equal(await toggle.getAttribute('aria-label'), 'Pause slideshow');
    await moveMouseAway(page);
    await advance(page, WAIT);
    await settle(page);
    await assertShows(page, 2);
    await close();
});

test('only the shown image can be reached: the others take no focus and are not announced', async () => {
    const { page, close } = await open('three');
    await page.click(button(2));
    await settle(page);
    assert.equal(await page.$('#jsnavbtnslider_firstimage_1'), null, 'the duplicate of image 1 is gone');
    for (const k of [1, 2, 3]) {
        const focused = await page.evaluate((k) => {
            const link = document.querySelector(`#jsnavbtnslider_image_${k} a`);
            link.focus();
            return document.activeElement === link;
        }, k);
        assert.equal(focused, k === 2, `link ${k}`);
    }
    assert.deepEqual(await linkNames(page), [NAMES[2]]);
    await close();
});

test('a horizontal swipe changes the image; a short touch does not', async () => {
    const { page, close } = await open('three', { options: { hasTouch: true } });
    const cdp = await touch(page);
    const centre = await sliderCentre(page);
    await drag(cdp, centre, { x: centre.x - 200, y: centre.y + 20 });
    await settle(page);
    await assertShows(page, 2);
    await drag(cdp, centre, { x: centre.x + 200, y: centre.y - 20 });
    await settle(page);
    await assertShows(page, 1);
    await drag(cdp, centre, { x: centre.x - 10, y: centre.y });
    await settle(page);
    await assertShows(page, 1);
    await close();
});

test('a vertical swipe over the slider scrolls the page on a touch screen', async () => {
    const { page, close } = await open('three', { options: { hasTouch: true, viewport: { width: 400, height: 250 } } });
    const centre = await sliderCentre(page);
    await drag(await touch(page), { x: centre.x, y: centre.y + 60 }, { x: centre.x + 8, y: centre.y - 90 }, 12);
    await page.waitForFunction(() => window.scrollY > 20, null, { timeout: 10000 });
    await assertShows(page, 1);
    await close();
});

test('pauses while the pointer is over the slider', async () => {
    const { page, close } = await open('three');
    await hoverSlider(page);
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await moveMouseAway(page);
    await advance(page, WAIT);
    await settle(page);
    await assertShows(page, 2);
    await close();
});

test('pauses while the tab is hidden', async () => {
    const { page, close } = await open('three');
    await page.evaluate(() => {
        Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
        document.dispatchEvent(new Event('visibilitychange'));
    });
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await page.evaluate(() => {
        delete document.hidden;
        document.dispatchEvent(new Event('visibilitychange'));
    });
    await advance(page, WAIT);
    await settle(page);
    await assertShows(page, 2);
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
    await settle(moving.page);
    await assertShows(moving.page, 3);
    await moving.close();
});

test('starts paused, offering "Play", for visitors who ask for reduced motion', async () => {
    const { page, close } = await open('three', { options: { reducedMotion: 'reduce' } });
    const toggle = page.locator(TOGGLE);
    assert.equal(await toggle.getAttribute('aria-label'), 'Play slideshow');
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await stopWithoutHover(page);
    assert.equal(await toggle.getAttribute('aria-label'), 'Pause slideshow');
    await advance(page, WAIT);
    assert.deepEqual(await view(page), { active: [2], current: [2], visible: [[1, 1], [2, 1]] }, 'no fade');
    await advance(page, 1);
    await assertShows(page, 2);
    await close();
});

test('waits for a picture that is still loading instead of showing half of it', async () => {
    const release = hold('/three/slider1.bmp');
    try {
        const { page, close } = await open('three', { waitUntil: 'domcontentloaded' });
        await advance(page, QUIET_TIME);
        assert.deepEqual((await view(page)).active, [1], 'image 2 has not arrived yet');
        release();
        await page.waitForFunction(() => document.querySelector('.jsnavbtnslider_navbtn_active').id.endsWith('_2'),
                                   null, { timeout: 10000 });
        assert.equal(await page.evaluate(() => document.querySelector('#jsnavbtnslider_image_2 img').naturalWidth), 640);
        await settle(page);
        await assertShows(page, 2);
        await close();
    } finally {
        release();
    }
});

test('leaves out an image whose picture fails to load, with its button', async () => {
    missing.add('/three/slider1.bmp');
    try {
        const { page, close } = await open('three');
        assert.equal(await page.locator(button(2)).isVisible(), false, 'button 2 is left out');
        assert.equal(await page.locator(button(3)).isVisible(), true);
        await advance(page, WAIT);
        await settle(page);
        await assertShows(page, 3);
        await page.focus(button(3));
        await page.keyboard.press('ArrowLeft');
        await settle(page);
        await assertShows(page, 1);
        await page.keyboard.press('ArrowRight');
        await settle(page);
        await assertShows(page, 3);
        await close();
    } finally {
        missing.clear();
    }
});

test('starts on the next image when the first picture fails, and leaves a lone image without controls', async () => {
    missing.add('/three/slider0.bmp');
    try {
        const first = await open('three');
        await advance(first.page, 1);
        await assertShows(first.page, 2);
        assert.equal(await first.page.locator(button(1)).isVisible(), false);
        await first.close();
        missing.add('/three/slider2.bmp');
        const lone = await open('three');
        await advance(lone.page, QUIET_TIME);
        await assertShows(lone.page, 2);
        assert.equal(await lone.page.locator('.jsnavbtnslider_navbtngrp').isVisible(), false, 'nothing to choose');
        await lone.close();
    } finally {
        missing.clear();
    }
});

// A page that loads later pictures when they are needed, as published with every picture option on:
// "sharp", each picture inside <picture>, WebP first, with copies at twice the size but for image 5, the
// first one asked for at high priority and every later one lazily.
const LAZY = 'sharp';
const webp = (k) => `/sharp/slider${k - 1}.webp`;

// Holds back the answer for a picture of the page until the returned function is called.
async function delay(page, pathname) {
    let release;
    const answer = new Promise((resolve) => (release = resolve));
    await page.route((url) => url.pathname === pathname, async (route) => {
        await answer;
        await route.continue();
    });
    return release;
}

// Holds every decode() a page asks for until the test lets them go (letDecodes), counting them (decodes).
function holdDecodes() {
    const decode = HTMLImageElement.prototype.decode;
    const waiting = [];
    let asked = 0;
    HTMLImageElement.prototype.decode = function () {
        asked++;
        return new Promise((resolve, reject) => waiting.push(() => decode.call(this).then(resolve, reject)));
    };
    Object.defineProperty(window, Symbol.for('decodes'), { get: () => asked });
    Object.defineProperty(window, Symbol.for('letDecodes'), { value: () => waiting.splice(0).forEach((go) => go()) });
}

const decodesAsked = (page) => page.evaluate(() => window[Symbol.for('decodes')]);
const letDecodes = (page) => page.evaluate(() => window[Symbol.for('letDecodes')]());
const arrived = (page, k) => page.waitForFunction((k) => document.querySelector(`#jsnavbtnslider_image_${k} img`)
    .complete, k, { timeout: 10000 });

// Waits until the fade to image k has begun, which a picture being decoded puts off by real time, not the
// page's clock; then finishes it.
async function fadesTo(page, k) {
    await page.waitForFunction((k) => document.querySelector('.jsnavbtnslider_navbtn_active').id.endsWith(`_${k}`),
                               k, { timeout: 10000 });
    await settle(page);
    await assertShows(page, k);
}

// Notes the pictures the page has asked for when its load event comes, before the page's own handlers run.
function notePicturesAskedBeforeLoad() {
    addEventListener('load', () => {
        const asked = [...document.images].filter((image) => image.currentSrc);
        const paths = new Set(asked.map((image) => new URL(image.currentSrc).pathname));
        Object.defineProperty(window, Symbol.for('beforeLoad'), { value: [...paths] });
    });
}

function assertFetchedOnce(fetched, paths) {
    for (const pathname of paths) assert.equal(fetched.get(pathname), 1, `${pathname} fetched once`);
}

test('a lazy page fetches each picture once, the next one ahead of its turn and no other', async () => {
    let release;
    const { page, fetched, close } = await open(LAZY, {
        init: notePicturesAskedBeforeLoad,
        waitUntil: 'domcontentloaded',
        prepare: async (page) => (release = await delay(page, webp(1))), // the show starts before the page loads
    });
    // The page's load handler asks for the next picture; the browser reports that request a moment later.
    const askedAhead = page.waitForRequest((request) => request.url().endsWith(webp(2)), { timeout: 10000 });
    release();
    await page.waitForLoadState('load');
    await askedAhead;
    const seven = [1, 2, 3, 4, 5, 6, 7];
    const pictures = () => [...fetched.keys()].filter((p) => /\/slider\d/.test(p)).sort();
    assert.deepEqual(await page.evaluate(() => window[Symbol.for('beforeLoad')]), [webp(1)],
                     'nothing but the first picture holds up the page');
    assert.deepEqual(pictures(), [webp(1), webp(2)], 'the first picture, and the next one once the page has loaded');
    let wait = WAIT;
    for (const k of [...seven.slice(1), 1, 2]) {
        await advance(page, wait);
        await fadesTo(page, k);
        wait = WAIT - MANUAL + AUTO; // the rest of the delay after settle()
        await assertColourOf(page, ((k - 1) % 3) + 1);
    }
    assert.deepEqual(pictures(), seven.map(webp).sort(), 'WebP only, never the fallbacks');
    assertFetchedOnce(fetched, seven.map(webp));
    const shown = await page.evaluate(() => [...document.querySelectorAll('[id^="jsnavbtnslider_image_"] img')]
        .map((image) => [image.currentSrc.split('/').pop(), image.naturalWidth]));
    assert.deepEqual(shown, seven.map((k) => [webp(k).split('/').pop(), 640]));
    const slider = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
    assert.deepEqual(await page.locator(`${slide(2)} img`).boundingBox(), slider, 'the picture fills the slider');
    await close();
});

// How a browser may decode: as asked, without decode(), or with a decode() that gives up at once (as one
// does for a picture it has not got yet).
const DECODERS = [
    ['decode() as asked', holdDecodes, true],
    ['without decode()', () => delete HTMLImageElement.prototype.decode, false],
    ['a decode() that gives up', () => (HTMLImageElement.prototype.decode = () => Promise.reject(new Error('no'))),
     false],
];

for (const [name, init, heldDecode] of DECODERS) {
    test(`no fade begins before the next picture has arrived and is decoded (${name})`, async () => {
        let release;
        const { page, fetched, close } = await open(LAZY, {
            init,
            prepare: async (page) => (release = await delay(page, webp(2))),
        });
        await advance(page, WAIT + QUIET_TIME);
        await assertShows(page, 1);
        release();
        await arrived(page, 2);
        if (heldDecode) {
            await advance(page, QUIET_TIME);
            await assertShows(page, 1);
            assert.ok((await decodesAsked(page)) >= 1, 'the picture is decoded before it is shown');
            await letDecodes(page);
        }
        await fadesTo(page, 2);
        await assertColourOf(page, 2);
        await arrived(page, 3); // asked for ahead of its turn
        await advance(page, WAIT - MANUAL + AUTO);
        if (heldDecode) {
            await assertShows(page, 2); // there, but not decoded yet
            await letDecodes(page);
        }
        await fadesTo(page, 3);
        assertFetchedOnce(fetched, [webp(1), webp(2), webp(3)]);
        await close();
    });
}

test('a picture that arrives while the next image waits its turn does not put the turn off', async () => {
    let release;
    const { page, close } = await open(LAZY, { prepare: async (page) => (release = await delay(page, webp(2))) });
    await advance(page, WAIT / 2);
    release();
    await arrived(page, 2);
    await advance(page, WAIT / 2 - 1);
    await assertShows(page, 1);
    await advance(page, 1);
    await fadesTo(page, 2);
    await close();
});

test('a lazy picture that is missing is left out once asked for, with its button', async () => {
    for (const file of ['slider1.webp', 'slider1@2x.webp', 'slider1.jpg', 'slider1@2x.jpg'])
        missing.add(`/sharp/${file}`);
    try {
        const { page, close } = await open(LAZY);
        await page.waitForFunction(() => !document.querySelector('#jsnavbtnslider_navbtn_2').offsetParent, null,
                                   { timeout: 10000 });
        assert.equal(await page.locator(button(3)).isVisible(), true);
        await advance(page, WAIT);
        await fadesTo(page, 3);
        await close();
    } finally {
        missing.clear();
    }
});

test('button 7 clicked at once on a lazy page shows image 7 only once its picture is decoded', async () => {
    let release;
    const { page, fetched, close } = await open(LAZY, {
        init: holdDecodes,
        waitUntil: 'domcontentloaded',
        prepare: async (page) => (release = await delay(page, webp(7))),
    });
    await page.click(button(7));
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    release();
    await arrived(page, 7);
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await letDecodes(page);
    await fadesTo(page, 7);
    await assertColourOf(page, 1);
    const shown = await page.evaluate(() => document.querySelector('#jsnavbtnslider_image_7 img').currentSrc);
    assert.equal(new URL(shown).pathname, webp(7));
    assertFetchedOnce(fetched, [webp(1), webp(7)]);
    await close();
});

test('on a lazy page the keyboard moves on once the picture is there, and hovering still holds the show', async () => {
    const { page, close } = await open(LAZY);
    await page.focus(button(1));
    await page.keyboard.press('ArrowRight');
    await fadesTo(page, 2);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'jsnavbtnslider_navbtn_2');
    await page.keyboard.press('ArrowLeft');
    await page.keyboard.press('ArrowLeft');
    await fadesTo(page, 7);
    await page.evaluate(() => document.activeElement.blur());
    await hoverSlider(page);
    await advance(page, QUIET_TIME);
    await assertShows(page, 7);
    await moveMouseAway(page);
    await advance(page, WAIT);
    await fadesTo(page, 1);
    await close();
});

// Lets the show run from image 1 through all seven and round to 1 again, each fade finished.
async function showEach(page) {
    let wait = WAIT;
    for (const k of [2, 3, 4, 5, 6, 7, 1]) {
        await advance(page, wait);
        await fadesTo(page, k);
        wait = WAIT - MANUAL + AUTO; // the rest of the delay after settle()
    }
}

// What each image of the page shows: the file taken, how many pixels wide it is and the slider's width on
// the page. (naturalWidth would give the width in CSS pixels, the 2x pictures' halved.) Reading the files
// asks for each once more: count the page's requests before.
function shownPictures(page) {
    return page.evaluate(() => {
        const width = document.querySelector('.jsnavbtnslider_placeholder').getBoundingClientRect().width;
        return Promise.all([...document.querySelectorAll('[id^="jsnavbtnslider_image_"] img')].map(async (image) => {
            const bitmap = await createImageBitmap(await (await fetch(image.currentSrc)).blob());
            return [image.currentSrc.split('/').pop(), bitmap.width, width];
        }));
    });
}

// Sums the layout shifts the page goes through from its first moment, asked for as shifts(): those that
// move a picture (an element inside an image, or one holding a picture), and all of them. The browser may
// paint before the slider script has run (while the script is on its way): the script's layout of the
// button row must then move nothing that was shown.
function noteLayoutShifts() {
    const sums = { pictures: 0, all: 0 };
    const movesPicture = ({ node }) => !!node?.closest && (!!node.closest('[id^="jsnavbtnslider_image_"]') ||
                                                           !!node.querySelector('img'));
    const add = (entries) => {
        for (const entry of entries) {
            sums.all += entry.value;
            if (entry.sources.some(movesPicture)) sums.pictures += entry.value;
        }
    };
    const observer = new PerformanceObserver((list) => add(list.getEntries()));
    observer.observe({ type: 'layout-shift', buffered: true });
    Object.defineProperty(window, Symbol.for('shifts'), {
        value: () => {
            add(observer.takeRecords());
            return { ...sums };
        },
    });
}

const shifts = (page) => page.evaluate(() => window[Symbol.for('shifts')]());

// Notes every request of a picture of the page through the browser's own protocol, which tells the
// priority each was first asked at (initialPriority): path -> the priorities of its requests.
async function notePriorities(page) {
    const priorities = new Map();
    const cdp = await page.context().newCDPSession(page);
    cdp.on('Network.requestWillBeSent', ({ request }) => {
        const { pathname } = new URL(request.url);
        if (/\/slider\d/.test(pathname)) priorities.set(pathname, [...(priorities.get(pathname) ?? []),
                                                                     request.initialPriority]);
    });
    await cdp.send('Network.enable');
    return priorities;
}

const HIGH_DENSITY = { deviceScaleFactor: 2 };

test('at twice the pixels a visitor gets each picture at twice the size as WebP, but where the source is too small',
     async () => {
    let priorities;
    const { page, fetched, close } = await open(LAZY, {
        options: HIGH_DENSITY,
        init: noteLayoutShifts,
        prepare: async (page) => (priorities = await notePriorities(page)),
    });
    await showEach(page);
    const expected = [0, 1, 2, 3, 4, 5, 6].map((k) => (k === 4 ? [`slider4.webp`, 640, 640] :
                                                                  [`slider${k}@2x.webp`, 1280, 640]));
    assert.deepEqual([...fetched.keys()].filter((p) => /\/slider\d/.test(p)).sort(),
                     expected.map(([file]) => `/sharp/${file}`).sort(), 'the pictures shown and no other');
    for (const [pathname, asked] of priorities) assert.equal(asked.length, 1, `${pathname} fetched once`);
    assert.deepEqual(priorities.get('/sharp/slider0@2x.webp'), ['High'], 'the first picture asked for at once');
    assert.deepEqual(priorities.get('/sharp/slider1@2x.webp'), ['Low'], 'a later one when the show needs it');
    assert.deepEqual(await shownPictures(page), expected);
    const { pictures, all } = await shifts(page);
    assert.equal(pictures, 0, 'no picture moved through load and seven fades');
    assert.equal(all, 0, 'nothing moved: the button row grows to the touch size below where the sheet put it');
    // The observer sees a picture move where one does: a line put before the slider moves it down.
    await page.evaluate(() => document.body.prepend(Object.assign(document.createElement('p'), { textContent: 'x' })));
    await page.waitForFunction(() => window[Symbol.for('shifts')]().pictures > 0, null, { timeout: 10000 });
    await close();
});

// A browser without WebP passes over a <source> whose type it does not know; one that knows no such type
// stands for it.
async function refuseWebp(page) {
    await page.route((url) => url.pathname === '/sharp/index.html', async (route) => {
        const response = await route.fetch();
        const html = await response.text();
        assert.equal(html.match(/<source type="image\/webp"/g)?.length, 8, 'the first image and seven slides');
        await route.fulfill({ response, body: html.replaceAll('type="image/webp"', 'type="image/x-unknown"') });
    });
}

for (const [scale, files] of [[1, ['slider0.jpg', 'slider1.jpg', 'slider2.png', 'slider3.gif', 'slider4.jpg',
                                   'slider5.jpg', 'slider6.jpg']],
                              [2, ['slider0@2x.jpg', 'slider1@2x.jpg', 'slider2@2x.png', 'slider3@2x.gif',
                                   'slider4.jpg', 'slider5@2x.jpg', 'slider6@2x.jpg']]]) {
    test(`a browser without WebP at ${scale}x gets the published fallbacks, a PNG for the BMP source`, async () => {
        const { page, fetched, close } = await open(LAZY, {
            options: { deviceScaleFactor: scale },
            init: noteLayoutShifts,
            prepare: refuseWebp,
        });
        await showEach(page);
        await assertColourOf(page, 1);
        assert.deepEqual([...fetched.keys()].filter((p) => /\/slider\d/.test(p)).sort(),
                         files.map((file) => `/sharp/${file}`).sort(), 'no WebP, and each fallback once');
        assertFetchedOnce(fetched, files.map((file) => `/sharp/${file}`));
        const widths = files.map((file) => (file.includes('@2x') ? 1280 : 640));
        assert.deepEqual(await shownPictures(page), files.map((file, k) => [file, widths[k], 640]));
        assert.equal((await shifts(page)).pictures, 0, 'no picture moved');
        await close();
    });
}

// Counts the fraction of the page background a visitor sees through the images at this moment: each
// visible image lets through what its opacity leaves.
function backgroundShare(page) {
    return page.evaluate(() =>
        [...document.querySelectorAll('[id^="jsnavbtnslider_image_"]')]
            .filter((s) => getComputedStyle(s).visibility === 'visible')
            .reduce((share, s) => share * (1 - Number(getComputedStyle(s).opacity)), 1));
}

// Stops every running fade at a fraction of its length.
function holdFades(page, fraction) {
    return page.evaluate((fraction) => {
        for (const fade of document.getAnimations()) {
            fade.pause();
            fade.currentTime = fraction * fade.effect.getTiming().duration;
        }
    }, fraction);
}

test('rapid clicks never let the page background through: the layer beneath stays until covered', async () => {
    const { page, close } = await open('three', { options: { reducedMotion: 'no-preference' } });
    let shares = [];
    for (const k of [2, 3, 1, 3, 2]) {
        await page.evaluate((k) => document.getElementById(`jsnavbtnslider_navbtn_${k}`).click(), k);
        for (const fraction of [0, 0.37, 0.8]) {
            await holdFades(page, fraction);
            shares.push(await backgroundShare(page));
        }
        if (k === 3) {
            // What the visitor sees: a mix of images, no white page behind them.
            const [red, green, blue] = await colourAtCentre(page);
            assert.ok(red + green + blue <= 255 + 30, `rgb(${red}, ${green}, ${blue}) shows the background`);
        }
    }
    assert.ok(shares.every((share) => share < 0.01), `background shares ${shares.map((s) => s.toFixed(2))}`);
    await settle(page);
    await assertShows(page, 2);
    await close();
});

// How much of each side of a control changes when it gets the keyboard focus: for the top and the bottom
// the share of columns, for the left and the right the share of rows, that change within 4 pixels of that
// side, inside or out.
async function focusRing(page, before, sliderClip, element) {
    const after = await screenshot(page, sliderClip);
    const changed = (x, y) => x >= 0 && y >= 0 && x < after.width && y < after.height &&
        pixelAt(before, x, y).some((c, i) => Math.abs(c - pixelAt(after, x, y)[i]) > 40);
    const band = (from, to, test) => {
        let count = 0;
        for (let i = from; i < to; i++) count += test(i) ? 1 : 0;
        return count / (to - from);
    };
    const near = (edge, test) => [-4, -3, -2, -1, 0, 1, 2, 3].some((d) => test(edge + d));
    const { x, y, width, height } = element;
    return {
        top: band(x, x + width, (i) => near(y, (j) => changed(i, j))),
        bottom: band(x, x + width, (i) => near(y + height - 1, (j) => changed(i, j))),
        left: band(y, y + height, (j) => near(x, (i) => changed(i, j))),
        right: band(y, y + height, (j) => near(x + width - 1, (i) => changed(i, j))),
    };
}

for (const [name, stops] of [['three', 5], ['odd', 4]]) {
    test(`every control and the link show a clear focus ring (${name}'s colours)`, async () => {
        const { page, close } = await open(name);
        const box = await page.locator('.jsnavbtnslider_placeholder').boundingBox();
        const sliderClip = { x: Math.round(box.x), y: Math.round(box.y), width: Math.round(box.width),
                             height: Math.round(box.height) };
        const before = await screenshot(page, sliderClip);
        for (let i = 0; i < stops; i++) {
            await page.keyboard.press('Tab');
            const element = await page.evaluate(({ x, y }) => {
                const r = document.activeElement.getBoundingClientRect();
                return { x: Math.round(r.x - x), y: Math.round(r.y - y), width: Math.round(r.width),
                         height: Math.round(r.height) };
            }, sliderClip);
            const sides = await focusRing(page, before, sliderClip, element);
            const label = await focusedName(page);
            assert.ok(Object.values(sides).every((share) => share >= 0.6),
                      `${label}: the ring shows on ${JSON.stringify(sides)} of each side`);
        }
        await close();
    });
}

// The controls the slider shows (buttons, and the counter of the compact controls) with their boxes, and
// the box of each one's text.
function controls(page, which = 0) {
    return page.evaluate((which) => {
        const box = document.querySelectorAll('.jsnavbtnslider_placeholder')[which];
        const rect = (r) => ({ left: r.left, top: r.top, right: r.right, bottom: r.bottom });
        return {
            slider: rect(box.getBoundingClientRect()),
            controls: [...box.querySelectorAll('.jsnavbtnslider_navbtn_inner')]
                .filter((c) => c.offsetParent)
                .map((c) => {
                    const text = document.createRange();
                    text.selectNodeContents(c);
                    return { label: c.getAttribute('aria-label') ?? c.textContent, box: rect(c.getBoundingClientRect()),
                             text: rect(text.getBoundingClientRect()) };
                }),
        };
    }, which);
}

const inside = (inner, outer) =>
    inner.left >= outer.left - 0.5 && inner.right <= outer.right + 0.5 && inner.top >= outer.top - 0.5 &&
    inner.bottom <= outer.bottom + 0.5;
const overlap = (a, b) => a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 &&
    b.top < a.bottom - 0.5;

// Every control at least 24 x 24, whole inside the slider, with its whole label, and none over another.
function assertUsableControls({ slider, controls }, count) {
    assert.equal(controls.length, count, 'controls shown');
    for (const { label, box, text } of controls) {
        assert.ok(box.right - box.left >= TARGET - 0.01 && box.bottom - box.top >= TARGET - 0.01,
                  `${label}: ${box.right - box.left} x ${box.bottom - box.top}`);
        assert.ok(inside(box, slider), `${label} lies inside the slider`);
        assert.ok(inside(text, box), `${label} shows its whole text`);
    }
    for (let i = 0; i < controls.length; i++)
        for (let j = i + 1; j < controls.length; j++)
            assert.ok(!overlap(controls[i].box, controls[j].box), `${controls[i].label} and ${controls[j].label}`);
}

for (const width of [1280, 320]) {
    test(`the controls keep at least 24 x 24 pixels at ${width} pixels wide while the picture scales`, async () => {
        const { page, close } = await open('three', { options: { viewport: { width, height: 800 } } });
        const found = await controls(page);
        assertUsableControls(found, 4);
        const sliderWidth = found.slider.right - found.slider.left;
        assert.ok(width > 640 ? sliderWidth === 640 : sliderWidth < width, `slider ${sliderWidth} wide`);
        const picture = await page.locator(`${slide(1)} img`).boundingBox();
        assert.ok(Math.abs(picture.width - sliderWidth) <= 1 && Math.abs(picture.height - (sliderWidth * 3) / 4) <= 1,
                  `picture ${picture.width} x ${picture.height}`);
        await close();
    });

}

test('thirty buttons show their whole numbers where their row fits', async () => {
    const { page, close } = await open('many', { options: { viewport: { width: 1280, height: 800 } } });
    const found = await controls(page);
    assertUsableControls(found, 31);
    assert.deepEqual(found.controls.slice(9, 12).map((c) => c.label), ['Show image 9', 'Show image 10',
                                                                        'Show image 11']);
    await page.click(button(30));
    await settle(page);
    await assertShows(page, 30);
    await close();
});

test('where the row of buttons does not fit, previous, next and "k / n" take its place', async () => {
    const { page, close } = await open('many', { options: { viewport: { width: 320, height: 800 } } });
    const found = await controls(page);
    assertUsableControls(found, 4);
    assert.deepEqual(found.controls.map((c) => c.label), ['Pause slideshow', 'Previous image', '1 / 30', 'Next image']);
    await page.click('[aria-label="Next image"]');
    await settle(page);
    await assertShows(page, 2);
    await page.click('[aria-label="Previous image"]');
    await page.click('[aria-label="Previous image"]');
    await settle(page);
    await assertShows(page, 30);
    assert.equal((await controls(page)).controls[2].label, '30 / 30');

    await page.setViewportSize({ width: 1280, height: 800 });
    await page.waitForFunction(() => document.querySelector('#jsnavbtnslider_navbtn_1').offsetParent !== null);
    assertUsableControls(await controls(page), 31);
    await close();
});

test('a paused slider tells screen readers the image a visitor chose; a playing one stays quiet', async () => {
    const { page, close } = await open('three');
    const live = page.locator('[aria-live]');
    assert.equal(await live.count(), 1);
    assert.equal(await live.getAttribute('aria-live'), 'off', 'quiet while playing');
    for (let i = 0; i < 3; i++) await page.keyboard.press('Tab');
    assert.equal(await focusedName(page), 'Show image 2');
    assert.equal(await live.getAttribute('aria-live'), 'polite', 'the focus pauses the show');
    await page.keyboard.press('Enter');
    assert.equal(await live.textContent(), 'Image 2 of 3: Green');
    await page.keyboard.press('ArrowRight');
    assert.equal(await live.textContent(), 'Image 3 of 3: Blue');
    await settle(page);
    await page.evaluate(() => document.activeElement.blur());
    assert.equal(await live.getAttribute('aria-live'), 'off');
    const { nodes } = await (await touch(page)).send('Accessibility.getFullAXTree');
    assert.ok(nodes.some((n) => !n.ignored && n.name?.value === 'Image 3 of 3: Blue' ||
                                (n.role?.value === 'StaticText' && n.name?.value === 'Image 3 of 3: Blue')),
              'the announcement is in the accessibility tree');
    await close();
});

test('an empty link is no link, and a link without a description still has a name', async () => {
    const { page, close } = await open('odd');
    assert.equal(await page.locator(`${slide(1)} a`).getAttribute('href'), null);
    assert.deepEqual(await linkNames(page), [], 'image 1 offers no link');
    const order = [];
    for (let i = 0; i < 5; i++) {
        await page.keyboard.press('Tab');
        order.push(await focusedName(page));
    }
    assert.deepEqual(order, ['Pause slideshow', 'Show image 1', 'Show image 2', 'Show image 3', 'BODY'],
                     'image 1 takes no focus');
    await page.evaluate(() => (window.stillHere = true));
    const centre = await sliderCentre(page);
    await page.mouse.click(centre.x, centre.y);
    assert.equal(await page.evaluate(() => window.stillHere), true, 'a click does not reload the page');

    await page.click(button(2));
    await settle(page);
    assert.deepEqual(await linkNames(page), ['Image 2']);
    await close();
});

test('marks the shown image in forced colours too', async () => {
    const { page, close } = await open('three', { options: { forcedColors: 'active' } });
    const colourOf = async (k) => {
        const box = await page.locator(button(k)).boundingBox();
        return pixelAt(await screenshot(page, { x: Math.round(box.x + 4), y: Math.round(box.y + box.height / 2),
                                                width: 1, height: 1 }), 0, 0);
    };
    const [active, other, last] = [await colourOf(1), await colourOf(2), await colourOf(3)];
    assert.deepEqual(other, last, 'the other buttons look alike');
    assert.ok(active.some((c, i) => Math.abs(c - other[i]) > 60), `active rgb(${active}) against rgb(${other})`);
    await close();
});

test('two sliders on one page each run on their own', async () => {
    const { page, close } = await open('two');
    const state = await page.evaluate(() =>
        [...document.querySelectorAll('.jsnavbtnslider_placeholder')].map((box) => ({
            toggles: box.querySelectorAll('[aria-label="Pause slideshow"]').length,
            picture: box.querySelector('[id="jsnavbtnslider_image_1"] img').getAttribute('src'),
        })));
    assert.deepEqual(state, [{ toggles: 1, picture: '../three/slider0.bmp' },
                             { toggles: 1, picture: '../odd/slider0.bmp' }]);
    await assertShows(page, 1, 0);
    await assertShows(page, 1, 1);
    await advance(page, WAIT);
    await settle(page);
    await assertShows(page, 2, 0);
    await assertShows(page, 1, 1); // the second keeps its own, longer delay
    await advance(page, ODD_WAIT - WAIT - MANUAL);
    await assertShows(page, 2, 0);
    assert.deepEqual((await view(page, 1)).active, [2]);
    await settle(page);
    await assertShows(page, 2, 1);

    const [first, second] = [0, 1].map((k) => page.locator('.jsnavbtnslider_placeholder').nth(k));
    await first.locator(TOGGLE).evaluate((toggle) => toggle.click());
    await second.locator(button(1)).click();
    await second.locator(TOGGLE).click();
    await settle(page);
    await assertShows(page, 1, 1);
    await assertShows(page, 3, 0);
    assert.deepEqual(await page.locator('[aria-label="Play slideshow"]').count(), 2, 'each toggle stops its own');
    await close();
});

test('text beyond ASCII arrives whole, and a phone lays the page out at its own width', async () => {
    const phone = { viewport: { width: 360, height: 640 }, isMobile: true, hasTouch: true, deviceScaleFactor: 2 };
    const { page, close } = await open('odd', { options: phone });
    const seen = await page.evaluate(() => ({
        charset: document.characterSet,
        alt: document.querySelector('#jsnavbtnslider_image_1 img').alt,
        width: window.innerWidth,
        slider: document.querySelector('.jsnavbtnslider_placeholder').getBoundingClientRect().width,
    }));
    assert.deepEqual({ ...seen, slider: undefined }, { charset: 'UTF-8', alt: 'Caf\u00e9 in Z\u00fcrich', width: 360,
                                                       slider: undefined });
    assert.ok(seen.slider <= 360 && seen.slider > 300, `the slider is ${seen.slider} wide`);
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

test('a page with one item is quiet: no timer, no buttons, no play/pause', async () => {
    const three = await open('three', { init: countTimers });
    assert.ok((await timersStarted(three.page)) > 0, 'the count sees the timers of a show');
    await three.close();
    const { page, close } = await open('one', { init: countTimers });
    assert.equal(await page.locator(TOGGLE).count(), 0);
    assert.equal(await page.locator(button(1)).isVisible(), false, 'no lone button');
    await hoverSlider(page);
    await page.keyboard.press('ArrowRight');
    await moveMouseAway(page);
    await advance(page, QUIET_TIME);
    await assertShows(page, 1);
    await assertColourOf(page, 1);
    assert.equal(await timersStarted(page), 0);
    await close();
});

test('a page without items is quiet and left as it is', async () => {
    const { page, close } = await open('none', { init: countTimers });
    await advance(page, QUIET_TIME);
    assert.equal(await timersStarted(page), 0);
    assert.equal(await page.locator('[role]').count(), 0);
    assert.equal(await page.locator('.jsnavbtnslider_navbtn_outer').count(), 0);
    await close();
});

const CHECKED_PAGES = [['the demo sample', 'samples/demo/demo.html'],
                       ['the seasons sample', 'samples/seasons/seasons.html'],
                       ['the page loading pictures as needed', LAZY]];

for (const width of [1280, 320]) {
    for (const [name, address] of CHECKED_PAGES) {
        test(`${name} has no accessibility violations at ${width} pixels wide`, async () => {
            const { page, close } = await open(address, {
                options: { viewport: { width, height: 800 } },
                clock: false, // the checker keeps its own timers
            });
            await stopWithoutHover(page);
            await page.addScriptTag({ path: AXE });
            const { violations } = await page.evaluate(() =>
                window.axe.run({ include: [['.position_div_as_you_wish']] }, { resultTypes: ['violations'] }));
            const found = violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
            assert.deepEqual(found, []);
            await close();
        });
    }
}

// A build without the minifier ships the readable scripts, which are larger by design.
const scriptsMinified = process.env.VESKARO_SCRIPTS_MINIFIED !== '0';

test('script and style sheet together stay within 8 KB as published',
     {skip: !scriptsMinified && 'the build ships the readable scripts: uglifyjs is missing'}, (t) => {
    for (const [folder, sheet] of [['three', 'Slider1.css'], ['samples/demo', 'DemoSlider.css'],
                                   ['samples/seasons', 'Seasons.css']]) {
        let total = 0;
        for (const name of ['jslib.js', 'slidervsk.js', sheet]) {
            const bytes = fs.statSync(path.join(root, folder, name)).size;
            t.diagnostic(`${folder}/${name}: ${bytes} bytes`);
            total += bytes;
        }
        t.diagnostic(`${folder} together: ${total} bytes of ${BUDGET}`);
        assert.ok(total <= BUDGET, `${folder}: ${total} bytes`);
    }
    for (const name of ['jslib.js', 'slidervsk.js'])
        assert.ok(fs.statSync(path.join(root, 'three', name)).size <
                  fs.statSync(path.join(process.env.VESKARO_SOURCES, name)).size, `${name} is published minified`);
});
