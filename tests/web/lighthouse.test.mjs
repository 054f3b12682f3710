// What Lighthouse finds in a published slider of 24 photo-like pictures with every picture option on,
// served from 127.0.0.1 and loaded in Debian's Chromium as a phone on a slow network (Lighthouse's default,
// simulated throttling): no picture too large for its place, none in an old format, none encoded wastefully,
// none without its size, and the largest picture painted within 2.5 s. The same pictures offered as a page
// without the options offers them (every fallback at once, no WebP) show that Lighthouse does find what
// these pictures would cost otherwise.

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

// Runs the audits on a page, as Lighthouse's mobile default does, and returns what each found: its
// findings (the files named) and its measured value.
async function audit(page) {
    const { lhr } = await lighthouse(`${baseUrl}/photos/${page}`, {
        port: chrome.port,
        logLevel: 'error',
        onlyAudits: [...PICTURE_AUDITS, LCP],
    });
    assert.equal(lhr.configSettings.formFactor, 'mobile');
    assert.deepEqual(lhr.runWarnings, []);
    return Object.fromEntries([...PICTURE_AUDITS, LCP].map((id) => {
        const { details, numericValue } = lhr.audits[id];
        return [id, { findings: (details?.items ?? []).map((item) => item.url ?? item.node?.snippet), numericValue }];
    }));
}

test('Lighthouse finds nothing to mend in the pictures of a page published with the options', async (t) => {
    const found = await audit('index.html');
    for (const id of PICTURE_AUDITS) assert.deepEqual(found[id].findings, [], id);
    t.diagnostic(`largest contentful paint: ${Math.round(found[LCP].numericValue)} ms`);
    assert.ok(found[LCP].numericValue <= LCP_LIMIT, `largest contentful paint ${found[LCP].numericValue} ms`);
});

test('Lighthouse finds the same pictures offered without the options too heavy and too slow', async (t) => {
    const found = await audit('plain.html');
    t.diagnostic(`largest contentful paint: ${Math.round(found[LCP].numericValue)} ms`);
    assert.ok(found['modern-image-formats'].findings.length > 0, 'JPEG where WebP would do');
    assert.ok(found[LCP].numericValue > LCP_LIMIT, `largest contentful paint ${found[LCP].numericValue} ms`);
});
