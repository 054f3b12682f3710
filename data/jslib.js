/*
 * jslib.js: small helpers for the image slider. Everything lives in the one namespace object
 * jsnavbtnslider, so the page gains no other global name. Load it before slidervsk.js; a page that
 * holds two sliders loads it twice, which only makes the object anew.
 */
var jsnavbtnslider = (() => {
    'use strict';

    const on = (target, type, handler, capture) => target.addEventListener(type, handler, !!capture);

    const fetchNow = (image) => {
        if (image) {
            image.loading = 'eager';
        }
    };

    return {
        on: on,

        // Sets several attributes at once.
        attrs: (element, values) => {
            for (const name in values) {
                element.setAttribute(name, values[name]);
            }
        },

        // Reads a page variable as a count or a number of milliseconds; a missing, negative or
        // non-numeric value gives the fallback.
        number: (value, fallback) => {
            const n = Number(value);
            return isFinite(n) && n >= 0 ? n : fallback;
        },

        // Asked at every switch, so a visitor who changes the setting is followed at once.
        reducedMotion: () => matchMedia('(prefers-reduced-motion: reduce)').matches,

        // A picture the browser gave up on: its address is wrong, or its file is damaged. One still
        // loading, or not yet asked for, is not failed.
        failed: (image) => !!image && image.complete && !image.naturalWidth,

        // Asks for a picture now that the page may have left to load lazily.
        fetchNow: fetchNow,

        // Calls back once a picture can be shown whole: loaded and decoded, or failed for good; at once
        // where it is so already. A picture left to load lazily is asked for now. One the browser may
        // decode apart from painting it (decoding="async") is decoded first, or a fade would show nothing
        // of it for a moment. Where decode() is missing, or gives up on a picture that goes on loading,
        // its load or error is waited for.
        whenShowable: (image, callback) => {
            const call = () => {
                if (callback) {
                    callback();
                    callback = null;
                }
            };
            // Also after a decode, which may end as the browser picks another source for a changed screen.
            const wait = () => {
                if (image.complete) {
                    call();
                } else {
                    on(image, 'load', call);
                    on(image, 'error', call);
                }
            };
            fetchNow(image);
            if (!image) {
                callback();
            } else if (image.complete && (image.decoding !== 'async' || !image.naturalWidth)) {
                call();
            } else if (image.decode) {
                image.decode().then(wait, wait);
            } else {
                wait();
            }
        },

        // Runs start once the document's markup is there, wherever the scripts were placed.
        whenReady: (start) => {
            if (document.readyState === 'loading') {
                on(document, 'DOMContentLoaded', start);
            } else {
                start();
            }
        },
    };
})();
