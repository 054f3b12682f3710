/*
 * slidervsk.js: runs the image slider of a page made by Veskaro. Load it after jslib.js.
 *
 * The page hands over its markup (the placeholder of class jsnavbtnslider_placeholder, image k as
 * jsnavbtnslider_image_k, button k as jsnavbtnslider_navbtn_k) and four variables: BbAl, the number
 * of images; bvAl, the length of an automatic cross-fade; bxAl, the length of a change a visitor asks
 * for; bwAl, how long an image stays before the next one comes in. Times are in milliseconds.
 *
 * Beyond that the slider pauses while the pointer rests on it, while it holds the keyboard focus and
 * while the tab is hidden; a play/pause button stops it for good; buttons work from the keyboard,
 * arrow keys and horizontal swipes change the image; motion is dropped for visitors who ask for less;
 * and a slider wider than its container shrinks to fit.
 */
(function (lib) {
    'use strict';

    var ACTIVE = 'jsnavbtnslider_navbtn_active';
    var SWIPE_DISTANCE = 30;

    function byId(id) {
        return document.getElementById(id);
    }

    function pageNumber(name, fallback) {
        return lib.number(window[name], fallback);
    }

    function start() {
        var box = document.getElementsByClassName('jsnavbtnslider_placeholder')[0];
        var count = Math.floor(pageNumber('BbAl', 0));
        var slides = [];
        var buttons = [];
        for (var k = 1; k <= count; k++) {
            var slide = byId('jsnavbtnslider_image_' + k);
            var button = byId('jsnavbtnslider_navbtn_' + k);
            if (!slide || !button) {
                break;
            }
            slides.push(slide);
            buttons.push(button);
        }
        if (box && slides.length) {
            run(box, slides, buttons);
        }
    }

    function run(box, slides, buttons) {
        var n = slides.length;
        var autoLength = pageNumber('bvAl', 1000);
        var manualLength = pageNumber('bxAl', 500);
        var wait = pageNumber('bwAl', 2000);
        var group = box.getElementsByClassName('jsnavbtnslider_navbtngrp')[0];
        var first = byId('jsnavbtnslider_firstimage_1');
        var current = 0;      // the image shown
        var wanted = 0;       // the image asked for, shown once its picture is loaded
        var requests = 0;     // the newest request wins when pictures load out of order
        var autoTimer = null;
        var settleTimer = null;
        var hovered = false;
        var focused = false;
        var stopped = false;  // by the play/pause button
        var viaPointer = false;
        var toggle = null;

        // Shows or hides a slide's layer; a hidden one can be neither seen nor reached.
        function layer(i, z, visible) {
            var style = slides[i].style;
            style.zIndex = z;
            style.visibility = visible ? 'visible' : 'hidden';
            if (!visible) {
                style.opacity = '0';
            }
        }

        // Only the image shown is announced, and only its link takes part in the tab order.
        function reach(i, reachable) {
            var links = slides[i].getElementsByTagName('a');
            slides[i].setAttribute('aria-hidden', reachable ? 'false' : 'true');
            for (var j = 0; j < links.length; j++) {
                if (reachable) {
                    links[j].removeAttribute('tabindex');
                } else {
                    links[j].setAttribute('tabindex', '-1');
                }
            }
        }

        function mark() {
            for (var i = 0; i < n; i++) {
                buttons[i].classList.toggle(ACTIVE, i === current);
                if (i === current) {
                    buttons[i].setAttribute('aria-current', 'true');
                } else {
                    buttons[i].removeAttribute('aria-current');
                }
            }
        }

        function paused() {
            return hovered || focused || stopped || document.hidden;
        }

        // The next image comes in once this one has been fully shown for the delay.
        function schedule(transition) {
            clearTimeout(autoTimer);
            autoTimer = null;
            if (n > 1 && !paused()) {
                autoTimer = setTimeout(function () {
                    go(wanted + 1, autoLength, false);
                }, (transition || 0) + wait);
            }
        }

        // Fades the target in above the image shown, which stays beneath until it is covered.
        function cross(target, length) {
            var from = current;
            var hadFocus = slides[from].contains(document.activeElement);
            var style = slides[target].style;
            clearTimeout(settleTimer);
            for (var i = 0; i < n; i++) {
                if (i !== from && i !== target) {
                    layer(i, 0, false);
                }
                reach(i, i === target);
            }
            slides[from].style.transitionDuration = '0ms';
            slides[from].style.opacity = '1';
            slides[from].style.zIndex = 1;
            style.transitionDuration = '0ms';
            style.opacity = '0';
            layer(target, 2, true);
            void slides[target].offsetWidth; // start the fade from transparent
            style.transitionDuration = length + 'ms';
            style.opacity = '1';
            current = target;
            mark();
            if (hadFocus && slides[target].getElementsByTagName('a')[0]) {
                slides[target].getElementsByTagName('a')[0].focus();
            }
            if (length) {
                settleTimer = setTimeout(function () {
                    layer(from, 0, false);
                }, length);
            } else {
                layer(from, 0, false);
            }
            schedule(length);
        }

        function go(index, length, focusButton) {
            var target = ((index % n) + n) % n;
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
            lib.whenLoaded(slides[target].getElementsByTagName('img')[0], function () {
                if (request === requests) {
                    cross(target, lib.reducedMotion() ? 0 : length);
                }
            });
        }

        function pauseChanged() {
            if (paused()) {
                clearTimeout(autoTimer);
                autoTimer = null;
            } else if (wanted === current) {
                schedule(0);
            }
        }

        function makeButton(element, label) {
            lib.attrs(element, { role: 'button', tabindex: '0', 'aria-label': label });
        }

        function drawToggle() {
            toggle.textContent = stopped ? '\u25BA' : '\u275A\u275A';
            toggle.setAttribute('aria-label', stopped ? 'Play slideshow' : 'Pause slideshow');
        }

        // Buttons in reading order, so the tab order follows what the visitor sees; the play/pause
        // button comes first, where a keyboard user meets it before anything moves past.
        function arrangeButtons() {
            group.style.display = 'flex';
            group.style.justifyContent = 'flex-end';
            group.style.zIndex = 3;
            for (var i = 0; i < n; i++) {
                group.appendChild(buttons[i].parentNode);
                buttons[i].parentNode.style.cssFloat = 'none';
            }
            if (n > 1) {
                var outer = document.createElement('div');
                toggle = document.createElement('div');
                outer.className = 'jsnavbtnslider_navbtn_outer';
                outer.style.cssFloat = 'none';
                toggle.className = 'jsnavbtnslider_navbtn_inner';
                makeButton(toggle, '');
                drawToggle();
                lib.on(toggle, 'click', function () {
                    stopped = !stopped;
                    drawToggle();
                    pauseChanged();
                });
                outer.appendChild(toggle);
                group.insertBefore(outer, group.firstChild);
            }
        }

        // Shrinks the slider, keeping its proportions, when its container is narrower than it.
        // The page's own sizing div shrinks with it; a container of the visitor's page is never resized.
        function fitter() {
            var outer = box.parentNode.classList.contains('position_div_as_you_wish') ? box.parentNode : null;
            var holder = (outer || box).parentNode;
            var width = box.offsetWidth;
            var height = box.offsetHeight;
            var original = outer && { width: outer.style.width, height: outer.style.height };
            box.style.transformOrigin = '0 0';
            return function () {
                var style = window.getComputedStyle(holder);
                var room = holder.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight);
                var scale = room > 0 && room < width ? room / width : 1;
                box.style.transform = scale < 1 ? 'scale(' + scale + ')' : '';
                if (outer) {
                    outer.style.width = scale < 1 ? width * scale + 'px' : original.width;
                    outer.style.height = scale < 1 ? height * scale + 'px' : original.height;
                    outer.style.overflow = scale < 1 ? 'hidden' : '';
                }
            };
        }

        function listen() {
            var startX = 0;
            var startY = 0;
            var tracking = false;
            lib.on(box, 'pointerenter', function (event) {
                if (event.pointerType !== 'touch') {
                    hovered = true;
                    pauseChanged();
                }
            });
            lib.on(box, 'pointerleave', function (event) {
                if (event.pointerType !== 'touch') {
                    hovered = false;
                    pauseChanged();
                }
            });
            // A click focuses a button too, but only focus from the keyboard pauses the slider.
            lib.on(document, 'keydown', function () {
                viaPointer = false;
            }, true);
            lib.on(box, 'pointerdown', function (event) {
                viaPointer = true;
                tracking = event.pointerType !== 'mouse';
                startX = event.clientX;
                startY = event.clientY;
            });
            lib.on(box, 'pointercancel', function () {
                tracking = false;
            });
            // Vertical moves belong to the page's scrolling (touch-action), so only clearly horizontal
            // ones arrive here whole.
            lib.on(box, 'pointerup', function (event) {
                var dx = event.clientX - startX;
                var dy = event.clientY - startY;
                if (tracking && Math.abs(dx) > SWIPE_DISTANCE && Math.abs(dx) > 2 * Math.abs(dy)) {
                    go(wanted + (dx < 0 ? 1 : -1), manualLength, false);
                }
                tracking = false;
            });
            lib.on(box, 'focusin', function () {
                focused = !viaPointer;
                pauseChanged();
            });
            lib.on(box, 'focusout', function (event) {
                if (!box.contains(event.relatedTarget)) {
                    focused = false;
                    pauseChanged();
                }
            });
            lib.on(box, 'keydown', function (event) {
                var key = event.key;
                var onButton = event.target.getAttribute('role') === 'button';
                var step = key === 'ArrowLeft' || key === 'Left' ? -1 : key === 'ArrowRight' || key === 'Right' ? 1 : 0;
                if (onButton && (key === 'Enter' || key === ' ' || key === 'Spacebar')) {
                    event.preventDefault();
                    event.target.click();
                } else if (step) {
                    event.preventDefault();
                    focused = true;
                    go(wanted + step, manualLength, buttons.indexOf(event.target) >= 0);
                }
            });
            lib.on(document, 'visibilitychange', pauseChanged);
        }

        lib.attrs(box, { role: 'region', 'aria-roledescription': 'carousel', 'aria-label': 'Slideshow' });
        box.style.touchAction = 'pan-y';
        for (var i = 0; i < n; i++) {
            box.insertBefore(slides[i], group && group.parentNode === box ? group : null);
            slides[i].style.transitionProperty = 'opacity';
            lib.attrs(slides[i], { role: 'group', 'aria-roledescription': 'slide', 'aria-label': (i + 1) + ' of ' + n });
            layer(i, i ? 0 : 2, !i);
            slides[i].style.opacity = i ? '0' : '1';
            reach(i, !i);
            makeButton(buttons[i], 'Show image ' + (i + 1));
            lib.on(buttons[i], 'click', go.bind(null, i, manualLength, false));
        }
        if (first && first.parentNode) {
            first.parentNode.removeChild(first);
        }
        if (group) {
            arrangeButtons();
        }
        mark();
        var fit = fitter();
        fit();
        lib.on(window, 'resize', fit);
        listen();
        schedule(0);
    }

    lib.whenReady(start);
})(jsnavbtnslider);
