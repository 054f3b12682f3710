/*
 * jslib.js: small helpers for the image slider. Everything lives in the one namespace object
 * jsnavbtnslider, so the page gains no other global name. Load it before slidervsk.js; a page that
 * holds two sliders loads it twice, which only makes the object anew.
 */
var jsnavbtnslider = (function () {
    'use strict';

    function on(target, type, handler, capture) {
        target.addEventListener(type, handler, !!capture);
    }

    return {
        on: on,

        // Sets several attributes at once.
        attrs: function (element, values) {
            for (var name in values) {
                element.setAttribute(name, values[name]);
            }
        },

        // Reads a page variable as a count or a number of milliseconds; a missing, negative or
        // non-numeric value gives the fallback.
        number: function (value, fallback) {
            var n = Number(value);
            return isFinite(n) && n >= 0 ? n : fallback;
        },

        // Asked at every switch, so a visitor who changes the setting is followed at once.
        reducedMotion: function () {
            return !!(window.matchMedia && window.matchMedia('(prefers-reduced-motion: reduce)').matches);
        },

        // A picture the browser gave up on: its address is wrong, or its file is damaged. One still
        // loading is not failed.
        failed: function (image) {
            return !!image && image.complete && !image.naturalWidth;
        },

        // Calls back once a picture can be shown whole: loaded, or failed for good. A picture that
        // is still loading is waited for, so a transition never reveals half of it.
        whenLoaded: function (image, callback) {
            if (image && !image.complete) {
                image.decode().then(callback, callback);
            } else {
                callback();
            }
        },

        // Runs start once the document's markup is there, wherever the scripts were placed.
        whenReady: function (start) {
            if (document.readyState === 'loading') {
                on(document, 'DOMContentLoaded', start);
            } else {
                start();
            }
        }
    };
})();
