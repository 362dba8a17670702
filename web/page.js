// What every page of the folder does, the index too: it registers the
// folder's service worker (sw.js), which keeps the folder for offline use, and
// lets a newer release of it take over once the page has all its files.
//
// What a program's page does around its program:
// - Tab and Shift+Tab belong to the page, as Alt+Tab belongs to a desktop:
//   they move the focus and never reach the program (nor does a Shift that
//   goes with a Tab: a Shift reaches it when another key or its release
//   shows that it was not Shift+Tab);
// - each button with data-key presses that key once, into the program's own
//   event loop (pressKey of sdl_shim.cpp): a tap, a click or a long press when
//   the pointer is lifted over the button, Enter or Space on a focused button;
// - a key that activates a focused button or link stays with it: Emscripten's
//   SDL listens on the document and would take the key and cancel its action;
// - a held key is one press, as desktop SDL 1.2 repeats no key unless asked;
// - an SDL program's canvas is as wide as the page allows up to its own size,
//   and scaled by whole device pixels where there is room for more;
// - the end of the program, or a browser that cannot run it, is said in words.
// - a program built twice, with and without WebAssembly SIMD (the page's
//   data-builds), loads the build this browser can run (loadProgram).
// Written for old browsers too, so that they can say what they lack.
var Module = {
  canvas: document.getElementById('canvas'),
  print: function () {},
  printErr: function (text) { if (window.console) console.error(text); }
};

// The SIMD build where the browser validates a module of one function that
// splats a double into an f64x2 and takes its square roots; else the plain one.
function loadProgram(simdBuild, plainBuild) {
  if (typeof WebAssembly !== 'object') return;
  var probe = new Uint8Array([0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0,
    10, 18, 1, 16, 0, 68, 0, 0, 0, 0, 0, 0, 0, 0, 253, 20, 253, 239, 1, 11]);
  var script = document.createElement('script');
  script.src = WebAssembly.validate(probe) ? simdBuild : plainBuild;
  document.body.appendChild(script);
}

// Called once the page has every file it needs: the index at its load, a
// program's page when its program has started or cannot.
var pageSettled = (function () {
  if (!window.Promise || !navigator.serviceWorker) return function () {};
  var settle;
  var settled = new Promise(function (resolve) { settle = resolve; });
  var container = navigator.serviceWorker;
  // A release that took over while this page was still loading (another
  // page asked) may have answered part of it: it is loaded again, whole.
  var loadedUnder = container.controller;
  var isSettled = false;
  container.addEventListener('controllerchange', function () {
    if (loadedUnder && !isSettled) location.reload();
  });
  settled.then(function () {
    isSettled = true;
    return container.register('sw.js');
  }).then(function (registration) {
    function takeOverWhenInstalled(worker) {
      if (worker.state === 'installed') worker.postMessage('take over');
    }
    if (registration.waiting) takeOverWhenInstalled(registration.waiting);
    registration.addEventListener('updatefound', function () {
      var worker = registration.installing;
      worker.addEventListener('statechange', function () { takeOverWhenInstalled(worker); });
    });
  }).catch(function () {});  // the pages run as well without it
  return function () { settle(); };
})();

(function () {
  if (!Module.canvas) {
    window.addEventListener('load', pageSettled);
    return;
  }
  var KEY_CODES = { ArrowLeft: 37, ArrowRight: 39, Enter: 13, Escape: 27 };
  var program = document.title;
  var message = document.getElementById('message');
  var buttons = document.querySelectorAll('button[data-key]');
  var header = document.getElementsByTagName('header')[0];
  var controls = document.querySelector('.controls');
  var stopped = false;
  // The button that a lifted pointer has just pressed: the click that follows
  // is the same press.
  var pointerPressed = null;

  function say(text) {
    message.textContent = text;
  }

  function enableButtons(enabled) {
    for (var i = 0; i < buttons.length; ++i) buttons[i].disabled = !enabled;
  }

  if (typeof WebAssembly !== 'object' || !document.querySelector || !window.addEventListener) {
    stopped = true;
    pageSettled();
    say(program + ' runs in WebAssembly, which this browser does not offer. ' +
        'A recent Firefox, Chrome, Edge or Safari runs it.');
    return;
  }
  say('');
  enableButtons(false);

  function buttonOf(event) {
    var target = event.target;
    return target && target.closest ? target.closest('button[data-key]') : null;
  }

  function press(button) {
    if (stopped || button.disabled) return;
    Module._pressKey(KEY_CODES[button.getAttribute('data-key')] || 0);
  }

  // A pointer does not take the focus from the program, so the keyboard
  // goes on reaching it after a click on a button.
  document.addEventListener('pointerdown', function (event) {
    pointerPressed = null;
    if (buttonOf(event)) event.preventDefault();
  });
  document.addEventListener('pointerup', function (event) {
    var button = buttonOf(event);
    if (!button || !event.isPrimary || event.button !== 0) return;
    var box = button.getBoundingClientRect();
    if (event.clientX < box.left || event.clientX > box.right ||
        event.clientY < box.top || event.clientY > box.bottom) return;
    pointerPressed = button;
    press(button);
  });
  document.addEventListener('pointercancel', function () { pointerPressed = null; });
  // Enter, Space, or a screen reader's activation.
  document.addEventListener('click', function (event) {
    var button = buttonOf(event);
    if (!button) return;
    var pressed = pointerPressed === button;
    pointerPressed = null;
    if (!pressed) press(button);
  });
  if (controls) controls.addEventListener('contextmenu', function (event) { event.preventDefault(); });
  Module.canvas.addEventListener('contextmenu', function (event) { event.preventDefault(); });

  // The Shift pressed last, held back from the program until it is known not
  // to be half of a Shift+Tab, and whether a Tab has come with it.
  var heldShift = null;
  var shiftTabbed = false;
  var delivering = false;

  // The program listens on the document: an event it is to see again is sent
  // there anew, with the key code it reads.
  function deliver(type, held) {
    var copy = new KeyboardEvent(type, { key: held.key, code: held.code, location: held.location,
                                         shiftKey: type === 'keydown', bubbles: true, cancelable: true });
    Object.defineProperty(copy, 'keyCode', { value: held.keyCode });
    Object.defineProperty(copy, 'which', { value: held.keyCode });
    delivering = true;
    try { document.dispatchEvent(copy); } finally { delivering = false; }
  }

  function releaseHeldShift() {
    if (heldShift && !shiftTabbed) deliver('keydown', heldShift);
    heldShift = null;
  }

  // True when the page keeps the key from the program.
  function keptByPage(event) {
    if (event.key === 'Tab') {
      if (heldShift) shiftTabbed = true;
      return true;
    }
    if (event.key !== 'Shift') {
      if (event.type === 'keydown') releaseHeldShift();
      return false;
    }
    if (event.type === 'keydown') {
      if (!heldShift) {
        heldShift = { key: event.key, code: event.code, location: event.location, keyCode: event.keyCode };
        shiftTabbed = false;
      }
      return true;
    }
    if (event.type === 'keyup' && heldShift) {
      var tabbed = shiftTabbed;
      releaseHeldShift();
      return tabbed;
    }
    return false;
  }
  window.addEventListener('blur', function () { heldShift = null; });

  ['keydown', 'keyup', 'keypress'].forEach(function (type) {
    window.addEventListener(type, function (event) {
      if (delivering) return;
      if (type === 'keydown') pointerPressed = null;
      if (event.repeat) {
        event.preventDefault();
        event.stopImmediatePropagation();
      } else if (keptByPage(event)) {
        event.stopImmediatePropagation();
      } else if ((event.key === 'Enter' || event.key === ' ') && event.target.closest &&
                 event.target.closest('button, a[href]')) {
        event.stopPropagation();
      }
    }, true);
  });

  function fitCanvas() {
    var canvas = Module.canvas;
    if (document.body.className !== 'program' || !canvas.width || !canvas.height) return;
    var ratio = window.devicePixelRatio || 1;
    var wide = canvas.parentNode.clientWidth;
    var tall = window.innerHeight - header.offsetHeight - controls.offsetHeight;
    // Device pixels per canvas pixel, whole, where the canvas fits more than once.
    var factor = Math.floor(Math.min(wide / canvas.width, tall / canvas.height) * ratio);
    canvas.style.width = factor > ratio ? factor * canvas.width / ratio + 'px' : '';
  }
  Module.canvasSized = fitCanvas;
  window.addEventListener('resize', fitCanvas);
  // The canvas has its program's size from the start, so it keeps its place.
  fitCanvas();

  Module.onRuntimeInitialized = function () {
    enableButtons(true);
    pageSettled();
  };

  Module.programEnded = function () {
    stopped = true;
    enableButtons(false);
    say(program + ' has ended. ');
    var again = document.createElement('button');
    again.type = 'button';
    again.textContent = 'Start again';
    again.onclick = function () { location.reload(); };
    message.appendChild(again);
    again.focus();
  };

  Module.onAbort = function (what) {
    pageSettled();
    if (stopped) return;
    stopped = true;
    enableButtons(false);
    say(program + ' has stopped: ' + what);
  };
})();

if (document.body.getAttribute('data-builds')) {
  loadProgram.apply(null, document.body.getAttribute('data-builds').split(' '));
}
