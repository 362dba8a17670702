// The SDL programs' loops never return to the browser, which shows a frame
// and delivers input only between its tasks. The pages are built with
// Asyncify, add the one SDL call that Emscripten's SDL lacks:
// - SDL_WaitEvent: hands control to the browser until an event comes for the
//   next poll (one of SDL's, or a button's press), so that a program waiting
//   for a key costs the page nothing;
// replace one that Emscripten's SDL writes in JavaScript:
// - SDL_MapRGB: the same mapping (the canvas is always RGBA, little-endian),
//   without leaving the WebAssembly module once for every point plotted;
// and wrap five SDL calls at link time:
// - SDL_Init: Emscripten's SDL would listen for unload, which browsers are
//   retiring and which keeps a page out of the back/forward cache; the
//   program is told to quit on pagehide instead, once the page is left for
//   good (a page kept in that cache goes on where it stood when it returns);
// - SDL_PollEvent: first returns the key presses of the page's buttons
//   (pressKey), then SDL's own events;
// - SDL_Delay: Emscripten's own, a real pause that hands control to the
//   browser, and while the page is hidden (another tab, a locked phone) it
//   lasts until the page is shown again: an animation draws nothing unseen;
// - SDL_SetVideoMode: the canvas starts black, as the desktop window does,
//   and the page scales it to the room it has; only the program draws on it,
//   so SDL's screen in memory always holds what the canvas shows, and every
//   pixel comes from SDL_MapRGB, which makes it opaque: a lock need not read
//   the canvas back, nor an unlock force each pixel's alpha;
// - SDL_Quit: the page says that the program has ended.
// The programs' own code is the desktop's, unchanged.
#include <SDL.h>
#include <emscripten.h>

extern "C" {
int __real_SDL_Init(Uint32 flags);
int __real_SDL_PollEvent(SDL_Event* event);
void __real_SDL_Delay(Uint32 milliseconds);
SDL_Surface* __real_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags);
void __real_SDL_Quit();
}

EM_JS(void, holdBackUnloadListeners, (), {
  window.addEventListener = function(type, listener, options) {
    if (type !== 'unload') EventTarget.prototype.addEventListener.call(window, type, listener, options);
  };
});

EM_JS(void, quitOnPageHide, (), {
  delete window.addEventListener;
  window.addEventListener('pagehide', function(event) {
    if (!event.persisted) SDL.events.push({ type: 'unload' });
  });
});

EM_JS(void, drawWithoutReadingBack, (), {
  Module.screenIsReadOnly = true;
  SDL.defaults.opaqueFrontBuffer = false;
});

// The desktop's window shows black until the program's first flip.
EM_JS(void, showNewCanvas, (), {
  const context = Module.canvas.getContext('2d');
  context.fillStyle = 'black';
  context.fillRect(0, 0, Module.canvas.width, Module.canvas.height);
  if (Module.canvasSized) Module.canvasSized();
});

EM_JS(void, tellPageProgramEnded, (), {
  if (Module.programEnded) Module.programEnded();
});

// Until SDL queues an event or a button is pressed (Module.wakeProgram). The
// program goes on in a task of its own, once the event's listeners have run.
EM_ASYNC_JS(void, waitForPageEvent, (), {
  const events = SDL.events;
  await new Promise(resolve => {
    let waiting = true;
    const wake = () => {
      if (!waiting) return;
      waiting = false;
      delete events.push;
      if (Module.wakeProgram === wake) delete Module.wakeProgram;
      setTimeout(resolve, 0);
    };
    events.push = function() {
      const length = Array.prototype.push.apply(this, arguments);
      wake();
      return length;
    };
    Module.wakeProgram = wake;
  });
});

EM_JS(void, wakeProgram, (), {
  if (Module.wakeProgram) Module.wakeProgram();
});

EM_ASYNC_JS(void, waitWhilePageHidden, (), {
  while (document.hidden) {
    await new Promise(resolve => document.addEventListener('visibilitychange', resolve, { once: true }));
  }
});

namespace {

// Key events made by pressKey, oldest first, in a ring.
constexpr int pressedCapacity = 64;
SDL_Event pressedKeys[pressedCapacity];
int pressedFirst = 0;
int pressedCount = 0;

SDL_Keycode keyOfDomCode(int domKeyCode) {
  switch (domKeyCode) {
    case 13: return SDLK_RETURN;
    case 27: return SDLK_ESCAPE;
    case 37: return SDLK_LEFT;
    case 39: return SDLK_RIGHT;
    default: return SDLK_UNKNOWN;
  }
}

void queueKeyEvent(Uint32 type, SDL_Keycode key) {
  SDL_Event& event = pressedKeys[(pressedFirst + pressedCount) % pressedCapacity];
  event = SDL_Event{};
  event.key.type = type;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.key.keysym.sym = key;
  ++pressedCount;
}

}  // namespace

// One press and release of the key that the DOM's keyCode names (Enter,
// Escape, the left and right arrows), for the program's next polls to
// return as the keyboard's own. Returns 0, and queues nothing, for another
// key or when the queue is full.
extern "C" EMSCRIPTEN_KEEPALIVE int pressKey(int domKeyCode) {
  const SDL_Keycode key = keyOfDomCode(domKeyCode);
  if (key == SDLK_UNKNOWN || pressedCount + 2 > pressedCapacity) return 0;
  queueKeyEvent(SDL_KEYDOWN, key);
  queueKeyEvent(SDL_KEYUP, key);
  wakeProgram();
  return 1;
}

extern "C" int __wrap_SDL_Init(Uint32 flags) {
  holdBackUnloadListeners();
  const int result = __real_SDL_Init(flags);
  quitOnPageHide();
  return result;
}

extern "C" int __wrap_SDL_PollEvent(SDL_Event* event) {
  if (pressedCount > 0) {
    if (event != nullptr) {
      *event = pressedKeys[pressedFirst];
      pressedFirst = (pressedFirst + 1) % pressedCapacity;
      --pressedCount;
    }
    return 1;
  }
  return __real_SDL_PollEvent(event);
}

extern "C" Uint32 SDL_MapRGB(const SDL_PixelFormat*, Uint8 r, Uint8 g, Uint8 b) {
  return Uint32(r) | Uint32(g) << 8 | Uint32(b) << 16 | 0xff000000u;
}

// With a null event it waits without taking the event, as SDL 1.2's does.
extern "C" int SDL_WaitEvent(SDL_Event* event) {
  while (!SDL_PollEvent(event)) waitForPageEvent();
  return 1;
}

extern "C" void __wrap_SDL_Delay(Uint32 milliseconds) {
  __real_SDL_Delay(milliseconds);
  waitWhilePageHidden();
}

extern "C" SDL_Surface* __wrap_SDL_SetVideoMode(int width, int height, int bpp, Uint32 flags) {
  drawWithoutReadingBack();
  SDL_Surface* surface = __real_SDL_SetVideoMode(width, height, bpp, flags);
  if (surface != nullptr) showNewCanvas();
  return surface;
}

extern "C" void __wrap_SDL_Quit() {
  __real_SDL_Quit();
  tellPageProgramEnded();
}
