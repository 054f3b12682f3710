/*
 * slidervsk.js: runs the image slider of a page made by Veskaro. Load it after jslib.js.
 *
 * The page hands over its markup (the placeholder of class jsnavbtnslider_placeholder, image k as
 * jsnavbtnslider_image_k, button k as jsnavbtnslider_navbtn_k) and four variables: BbAl, the number
 * of images; bvAl, the length of an automatic cross-fade; bxAl, the length of a change a visitor asks
 * for; bwAl, how long an image stays before the next one comes in. Times are in milliseconds.
 *
 * Each inclusion runs the slider of the block just before it, with the variables as they stand when it
 * runs, and looks for images and buttons only inside that block's placeholder: two sliders pasted into
 * one page each keep their own. (Both still take the class rules of the style sheet linked last.)
 *
 * Beyond that the slider pauses while the pointer rests on it, while it holds the keyboard focus and
 * while the tab is hidden; a play/pause button stops it for good, and it starts stopped for visitors
 * who ask for less motion, to whom it also switches without fading; buttons work from the keyboard,
 * arrow keys and horizontal swipes change the image, and a paused slider tells screen readers what it
 * shows; images whose pictures fail to load are left out; and a slider wider than its container
 * shrinks its pictures to fit while its controls keep a size a finger can hit.
 */
(function (lib) {
    'use strict';

    var on = lib.on;
    var failed = lib.failed;

    var NAME = 'jsnavbtnslider_';
    var ACTIVE = NAME + 'navbtn_active';
    var SWIPE_DISTANCE = 30;
    var SHEET_ROW = 18; // the height of the button row as the style sheet places it
    var TARGET = 24; // the smallest control a visitor must be able to hit (WCAG 2.5.8)

    // What the style sheet cannot know, each rule written below the placeholder (the "~" stands for
    // it) so that it outweighs the sheet's rules wherever the page links them. Pictures fill the
    // slider, so that shrinking the slider shrinks them; the buttons keep their width; and a
    // focus ring of black and white shows on every picture and every colour of buttons. Forced colours
    // drop the button colours, so the system's highlight marks the image shown there. The announcements
    // of a paused slider are read out but not shown.
    var RULES = ('~image{right:0;bottom:0;transition-property:opacity}' +
        '~image a,~image img{display:block;width:100%;height:100%}' +
        '~navbtngrp{display:flex;justify-content:flex-end;height:auto;z-index:4}' +
        '~navbtn_outer{width:auto;min-width:30px;height:auto;flex:none}' +
        '~navbtn_inner{line-height:' + (TARGET - 2) + 'px;white-space:nowrap}' +
        '~image a:focus-visible,~navbtn_inner:focus-visible{outline:3px solid #000;outline-offset:-3px}' +
        '~image a:focus-visible img{outline:3px solid #fff;outline-offset:-6px}' +
        '~navbtn_inner:focus-visible{box-shadow:inset 0 0 0 5px #fff}' +
        '@media (forced-colors:active){~navbtn_active{forced-color-adjust:none;color:HighlightText;' +
        'background:Highlight}}' +
        '~live{position:absolute;clip:rect(0 0 0 0)}')
        .split('~').join('.' + NAME + 'placeholder .' + NAME);

    function make(tag) {
        return document.createElement(tag);
    }

    function start(box, count, times) {
        var find = function (name) {
            return box.querySelector('#' + NAME + name);
        };
        var slides = [];
        var buttons = [];
        for (var k = 1; k <= count; k++) {
            var slide = find('image_' + k);
            var button = find('navbtn_' + k);
            if (!slide || !button) {
                break;
            }
            slides.push(slide);
            buttons.push(button);
        }
        if (slides.length) {
            if (!document.getElementById(NAME + 'rules')) {
                var style = make('style');
                style.id = NAME + 'rules';
                style.textContent = RULES;
                document.head.appendChild(style);
            }
            run(box, slides, buttons, find('firstimage_1'), times);
        }
    }

    function run(box, slides, buttons, first, times) {
        var n = slides.length;
        var autoLength = times[0];
        var manualLength = times[1];
        var wait = times[2];
        var group = box.getElementsByClassName(NAME + 'navbtngrp')[0];
        var current = 0;      // the image on top
        var wanted = 0;       // the image asked for, shown once its picture is loaded
        var requests = 0;     // the newest request wins when pictures load out of order
        var usable = n;       // images whose pictures have not failed
        var autoTimer = null;
        var settleTimer = null;
        var hovered = false;
        var focused = false;
        var stopped = lib.reducedMotion(); // by the play/pause button, or from the start for less motion
        var viaPointer = false;
        var toggle = null;
        var counter = null;
        var compact = false;  // previous/next and "k / n" instead of a button row too long for the slider
        var extras = [];      // the wrappers of previous, the counter and next
        var live = null;

        function picture(i) {
            return slides[i].querySelector('img');
        }

        function link(i) {
            return slides[i].querySelector('a[href]');
        }

        // An empty address names the page itself, so a click would reload it; without one the picture is
        // no link, neither clickable nor in the tab order. Browsers drop the blanks around an address.
        function dropEmptyAddress(anchor) {
            if (anchor && !(anchor.getAttribute('href') || '').trim()) {
                anchor.removeAttribute('href');
                anchor.removeAttribute('target');
            }
        }

        function shown(i) {
            return slides[i].style.visibility === 'visible';
        }

        function hide(i) {
            var style = slides[i].style;
            style.visibility = 'hidden';
            style.opacity = '0';
        }

        function mark() {
            for (var i = 0; i < n; i++) {
                buttons[i].classList.toggle(ACTIVE, i === current);
                buttons[i][i === current ? 'setAttribute' : 'removeAttribute']('aria-current', 'true');
            }
            if (counter) {
                counter.textContent = current + 1 + ' / ' + n;
            }
        }

        function paused() {
            return hovered || focused || stopped || document.hidden || usable < 2;
        }

        // The next image comes in once this one has been fully shown for the delay.
        function schedule(transition) {
            clearTimeout(autoTimer);
            autoTimer = null;
            if (!paused()) {
                autoTimer = setTimeout(function () {
                    go(wanted + 1, autoLength, false, 1);
                }, (transition || 0) + wait);
            }
        }

        // Fades the target in on top of every layer that shows. Those stay as they are beneath it until
        // it is fully shown, so that however fast the visitor clicks, a picture covers the page.
        function cross(target, length) {
            var top = current;
            var hadFocus = slides[top].contains(document.activeElement);
            var style = slides[target].style;
            clearTimeout(settleTimer);
            for (var i = 0; i < n; i++) {
                var layer = slides[i].style;
                if (shown(i)) {
                    layer.opacity = getComputedStyle(slides[i]).opacity;
                    layer.transitionDuration = '0ms';
                    layer.zIndex = i === top ? 2 : 1;
                }
                // Only the image coming in can be reached; the layers beneath are on their way out.
                slides[i].inert = i !== target;
            }
            if (!shown(target)) {
                style.opacity = '0';
            }
            style.visibility = 'visible';
            style.zIndex = 3;
            void slides[target].offsetWidth; // start the fade from the opacity it has now
            style.transitionDuration = length + 'ms';
            style.opacity = '1';
            current = target;
            mark();
            if (live) {
                live.textContent = 'Image ' + (target + 1) + ' of ' + n +
                    (picture(target) && picture(target).alt ? ': ' + picture(target).alt : '');
            }
            // The focus follows the image, to its button when it has no link.
            if (hadFocus) {
                (link(target) || buttons[target]).focus();
            }
            settleTimer = setTimeout(function () {
                for (var i = 0; i < n; i++) {
                    if (i !== target) {
                        hide(i);
                    }
                }
            }, length);
            schedule(length);
        }

        // Shows image index, or the next one in the direction step whose picture has not failed.
        function go(index, length, focusButton, step) {
            var target = ((index % n) + n) % n;
            for (var tries = 1; tries < n && failed(picture(target)); tries++) {
                target = (((target + step) % n) + n) % n;
            }
            if (failed(picture(target))) {
                return;
            }
            var request = ++requests;
            wanted = target;
            if (focusButton) {
                buttons[target].focus();
            }
            if (target === current) {
                schedule(0);
                return;
            }
            clearTimeout(autoTimer);
            lib.whenLoaded(picture(target), function () {
                if (request !== requests) {
                    return;
                }
                if (failed(picture(target))) {
                    go(target + step, length, focusButton, step);
                } else {
                    cross(target, lib.reducedMotion() ? 0 : length);
                }
            });
        }

        function pauseChanged() {
            if (live) {
                // Announced only while nothing moves on by itself, so that a playing show stays quiet.
                live.setAttribute('aria-live', paused() ? 'polite' : 'off');
            }
            if (paused()) {
                clearTimeout(autoTimer);
                autoTimer = null;
            } else if (wanted === current) {
                schedule(0);
            }
        }

        // Shows the controls that serve: no buttons of images whose pictures failed, the compact controls
        // instead of the buttons when these do not fit, and nothing when there is one image to show.
        function showControls() {
            usable = 0;
            for (var i = 0; i < n; i++) {
                var gone = failed(picture(i));
                buttons[i].parentNode.style.display = gone || compact ? 'none' : '';
                usable += gone ? 0 : 1;
            }
            for (i = 0; i < extras.length; i++) {
                extras[i].style.display = compact ? '' : 'none';
            }
            if (group) {
                group.style.display = usable > 1 ? '' : 'none';
            }
        }

        // Leaves out the images whose pictures failed; a failed image on top gives way at once.
        function refresh() {
            showControls();
            if (failed(picture(current))) {
                hide(current);
                go(current + 1, 0, false, 1);
            }
            pauseChanged();
        }

        function makeButton(element, label) {
            lib.attrs(element, { role: 'button', tabindex: '0', 'aria-label': label });
        }

        function drawToggle() {
            toggle.textContent = stopped ? '\u25BA' : '\u275A\u275A';
            toggle.setAttribute('aria-label', stopped ? 'Play slideshow' : 'Pause slideshow');
        }

        // Adds a control shaped like the buttons before the element at; without a label it only shows text.
        function control(at, label, click) {
            var outer = make('div');
            var inner = make('div');
            outer.className = NAME + 'navbtn_outer';
            inner.className = NAME + 'navbtn_inner';
            if (label) {
                makeButton(inner, label);
                on(inner, 'click', click);
            }
            outer.appendChild(inner);
            group.insertBefore(outer, at);
            return inner;
        }

        // The controls come first in the tab order, play/pause ahead of the rest, so that a keyboard user
        // can stop the show before anything moves past; the buttons follow in reading order.
        function arrangeButtons() {
            for (var i = 0; i < n; i++) {
                group.appendChild(buttons[i].parentNode);
            }
            if (n > 1) {
                var at = buttons[0].parentNode;
                toggle = control(at, '-', function () {
                    stopped = !stopped;
                    drawToggle();
                    pauseChanged();
                });
                drawToggle();
                var previous = control(at, 'Previous image', function () {
                    go(wanted - 1, manualLength, false, -1);
                });
                counter = control(at);
                var following = control(at, 'Next image', function () {
                    go(wanted + 1, manualLength, false, 1);
                });
                previous.textContent = '\u2039';
                following.textContent = '\u203A';
                extras = [previous.parentNode, counter.parentNode, following.parentNode];
            }
        }

        // Shrinks the slider, keeping its proportions, when its container is narrower than it. Only the
        // pictures shrink: the button row keeps its size and its place above the slider's bottom edge,
        // inside the slider, and gives way to the compact controls when it no longer fits. The page's own
        // sizing div shrinks with it; a container of the visitor's page is never resized.
        function fitter() {
            var outer = box.parentNode.classList.contains('position_div_as_you_wish') ? box.parentNode : null;
            var holder = (outer || box).parentNode;
            var width = box.offsetWidth;
            var height = box.offsetHeight;
            var below = group ? height - group.offsetTop - SHEET_ROW : 0;
            var original = outer && { width: outer.style.width, height: outer.style.height };
            return function () {
                var style = getComputedStyle(holder);
                var room = holder.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
                var scale = room > 0 && room < width ? room / width : 1;
                box.style.width = scale < 1 ? width * scale + 'px' : '';
                box.style.height = scale < 1 ? height * scale + 'px' : '';
                if (outer) {
                    outer.style.width = scale < 1 ? width * scale + 'px' : original.width;
                    outer.style.height = scale < 1 ? height * scale + 'px' : original.height;
                }
                if (group) {
                    group.style.top = 'auto';
                    group.style.bottom = Math.max(0, Math.min(below * scale, height * scale - TARGET)) + 'px';
                    // The row is right-aligned, so a row too long for the slider starts left of it.
                    compact = false;
                    showControls();
                    compact = !!toggle && toggle.parentNode.offsetLeft < 0;
                    showControls();
                }
            };
        }

        function listen() {
            var startX = 0;
            var startY = 0;
            var tracking = false;
            var hover = function (event) {
                if (event.pointerType !== 'touch') {
                    hovered = event.type === 'pointerenter';
                    pauseChanged();
                }
            };
            on(box, 'pointerenter', hover);
            on(box, 'pointerleave', hover);
            // A click focuses a button too, but only focus from the keyboard pauses the slider.
            on(document, 'keydown', function () {
                viaPointer = false;
            }, true);
            on(box, 'pointerdown', function (event) {
                viaPointer = true;
                tracking = event.pointerType !== 'mouse';
                startX = event.clientX;
                startY = event.clientY;
            });
            on(box, 'pointercancel', function () {
                tracking = false;
            });
            // Vertical moves belong to the page's scrolling (touch-action), so only clearly horizontal
            // ones arrive here whole.
            on(box, 'pointerup', function (event) {
                var dx = event.clientX - startX;
                var dy = event.clientY - startY;
                if (tracking && usable > 1 && Math.abs(dx) > SWIPE_DISTANCE && Math.abs(dx) > 2 * Math.abs(dy)) {
                    go(wanted + (dx < 0 ? 1 : -1), manualLength, false, dx < 0 ? 1 : -1);
                }
                tracking = false;
            });
            on(box, 'focusin', function () {
                focused = !viaPointer;
                pauseChanged();
            });
            on(box, 'focusout', function (event) {
                if (!box.contains(event.relatedTarget)) {
                    focused = false;
                    pauseChanged();
                }
            });
            on(box, 'keydown', function (event) {
                var key = event.key;
                var onButton = event.target.getAttribute('role') === 'button';
                var step = key === 'ArrowLeft' ? -1 : key === 'ArrowRight' ? 1 : 0;
                if (onButton && (key === 'Enter' || key === ' ')) {
                    event.preventDefault();
                    event.target.click();
                } else if (step && usable > 1) {
                    event.preventDefault();
                    focused = true;
                    go(wanted + step, manualLength, buttons.indexOf(event.target) >= 0, step);
                }
            });
            on(document, 'visibilitychange', pauseChanged);
        }

        lib.attrs(box, { role: 'region', 'aria-roledescription': 'carousel', 'aria-label': 'Slideshow' });
        box.style.touchAction = 'pan-y';
        if (first) {
            first.parentNode.removeChild(first);
        }
        for (var i = 0; i < n; i++) {
            var image = picture(i);
            dropEmptyAddress(slides[i].querySelector('a'));
            var target = link(i);
            // After the controls, so that they come first in the tab order.
            box.appendChild(slides[i]);
            lib.attrs(slides[i], { role: 'group', 'aria-roledescription': 'slide', 'aria-label': (i + 1) + ' of ' + n });
            slides[i].style.visibility = i ? 'hidden' : 'visible';
            slides[i].style.opacity = i ? '0' : '1';
            slides[i].style.zIndex = 1;
            slides[i].inert = !!i;
            // A picture without a description leaves its link without a name, so the link gets one.
            if (target && !target.textContent.trim() && !(image && image.alt.trim())) {
                target.setAttribute('aria-label', 'Image ' + (i + 1));
            }
            makeButton(buttons[i], 'Show image ' + (i + 1));
            on(buttons[i], 'click', go.bind(null, i, manualLength, false, 1));
            if (image) {
                on(image, 'load', refresh);
                on(image, 'error', refresh);
            }
        }
        if (n > 1) {
            live = make('div');
            live.className = NAME + 'live';
            box.appendChild(live);
        }
        var fit = fitter();
        if (group) {
            arrangeButtons();
        }
        mark();
        fit();
        on(window, 'resize', fit);
        listen();
        refresh();
    }

    // The page includes the script right after its block, so the last placeholder parsed so far is the
    // block's own. It is claimed at once, so that a second inclusion after the same block starts nothing.
    var all = document.getElementsByClassName(NAME + 'placeholder');
    var box = all[all.length - 1];
    if (box && !box.jsnavbtnsliderStarted) {
        box.jsnavbtnsliderStarted = true;
        var count = Math.floor(lib.number(window.BbAl, 0));
        var times = [lib.number(window.bvAl, 1000), lib.number(window.bxAl, 500), lib.number(window.bwAl, 2000)];
        lib.whenReady(function () {
            start(box, count, times);
        });
    }
})(jsnavbtnslider);
