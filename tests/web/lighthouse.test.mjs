// What Lighthouse finds in a published slider of 24 photo-like pictures with every picture option on,
// served from 127.0.0.1 and loaded in Debian's Chromium (Lighthouse's simulated throttling), as a phone on
// a slow network and as a laptop with a high-density screen: no picture in an old format, none encoded
// wastefully, none without its size, and on the phone the largest picture painted within 2.5 s; on the
// laptop no picture too large for its place either. The phone (device pixel ratio 1.75) takes the copies at
// twice the size, a quarter more pixels than it can show: Lighthouse finds those under "Properly size
// images", which pictures offered by density alone cannot avoid, so the test sees that nothing but those
// is found there. The same pictures offered as a page without the options offers them (every fallback at
// once, no WebP) show that Lighthouse does find what these pictures would cost otherwise.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import * as chromeLauncher from 'chrome-launcher';
import lighthouse from 'lighthouse';

const CHROMIUM_FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
                        '--disable-component-update', '--disable-sync'];
const TYPES = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.jpg': 'image/jpeg',
                '.webp': 'image/webp' };
const PICTURE_AUDITS = ['uses-responsive-images', 'modern-image-formats', 'uses-optimized-images', 'unsized-images'];
const LCP = 'largest-contentful-paint';
const LCP_LIMIT = 2500; // milliseconds, what counts as a good largest contentful paint

let root;
let server;
let baseUrl;
let chrome;

function serve(request, response) {
    const { pathname } = new URL(request.url, 'http://localhost');
    const file = path.join(root, decodeURIComponent(pathname));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
        response.writeHead(404);
        response.end();
        return;
    }
    response.writeHead(200, { 'content-type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    response.end(fs.readFileSync(file));
}

// The published page as it would be without the options: each picture's fallback alone, all fetched at once.
function writePageWithoutOptions(folder) {
    const html = fs.readFileSync(path.join(folder, 'index.html'), 'utf8');
    const plain = html.replace(/<picture><source [^>]*>/g, '').replaceAll('</picture>', '')
        .replace(/ (loading="lazy"|decoding="async"|fetchpriority="high")/g, '');
    assert.notEqual(plain, html);
    fs.writeFileSync(path.join(folder, 'plain.html'), plain);
}

before(async () => {
    root = fs.mkdtempSync(path.join(os.tmpdir(), 'veskaro-lighthouse-'));
    execFileSync(process.env.VESKARO_MAKE_PROJECTS, [root, 'photos'], { stdio: 'inherit' });
    const env = { ...process.env, XDG_DATA_HOME: path.join(root, 'per-user') };
    execFileSync(process.env.VESKARO_CLI, ['publish', path.join(root, 'photos', 'index.vsk'), '--quiet'],
                 { stdio: 'inherit', env });
    writePageWithoutOptions(path.join(root, 'photos'));
    server = http.createServer(serve);
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    baseUrl = `http://127.0.0.1:${server.address().port}`;
    chrome = await chromeLauncher.launch({ chromePath: '/usr/bin/chromium', chromeFlags: CHROMIUM_FLAGS });
});

after(async () => {
    await chrome?.kill();
    server?.close();
    if (root) fs.rmSync(root, { recursive: true, force: true });
});

const PHONE = {}; // Lighthouse's default: a phone of 412 x 823 CSS pixels at a device pixel ratio of 1.75
const LAPTOP = { formFactor: 'desktop',
                 screenEmulation: { mobile: false, width: 1350, height: 940, deviceScaleFactor: 2, disabled: false } };

// Runs the audits on a page, as the device given, and returns what each found: its findings (the files
// named, each with the bytes it could save) and its measured value.
async function audit(page, device) {
    const { lhr } = await lighthouse(`${baseUrl}/photos/${page}`, {
        port: chrome.port,
        logLevel: 'error',
        onlyAudits: [...PICTURE_AUDITS, LCP],
        ...device,
    });
    assert.deepEqual(lhr.runWarnings, []);
    return Object.fromEntries([...PICTURE_AUDITS, LCP].map((id) => {
        const { details, numericValue } = lhr.audits[id];
        const findings = (details?.items ?? []).map((item) => [item.url ?? item.node?.snippet, item.wastedBytes]);
        return [id, { findings, numericValue }];
    }));
}

const files = (findings) => findings.map(([url]) => url.split('/').pop());

test('Lighthouse finds nothing to mend in the pictures published with the options but the 2x copies a phone takes',
     async (t) => {
    const phone = await audit('index.html', PHONE);
    for (const id of PICTURE_AUDITS.filter((id) => id !== 'uses-responsive-images'))
        assert.deepEqual(phone[id].findings, [], `${id} on a phone`);
    const denser = phone['uses-responsive-images'].findings;
    t.diagnostic(`on a phone, larger than shown: ${denser.map(([url, bytes]) => `${url.split('/').pop()} ` +
                                                                                `(${Math.round(bytes)} bytes)`)}`);
    assert.deepEqual(files(denser).filter((file) => !file.includes('@2x.')), [], 'none but the 2x copies');
    t.diagnostic(`largest contentful paint on a phone: ${Math.round(phone[LCP].numericValue)} ms`);
    assert.ok(phone[LCP].numericValue <= LCP_LIMIT, `largest contentful paint ${phone[LCP].numericValue} ms`);

    const laptop = await audit('index.html', LAPTOP);
    for (const id of PICTURE_AUDITS) assert.deepEqual(laptop[id].findings, [], `${id} on a laptop`);
});

test('Lighthouse finds the same pictures offered without the options in an old format and wastefully encoded',
     async () => {
    const phone = await audit('plain.html', PHONE);
    assert.ok(phone['modern-image-formats'].findings.length > 0, 'JPEG where WebP would do');
    assert.ok(phone['uses-optimized-images'].findings.length > 0, 'JPEG larger than it needs to be');
});
