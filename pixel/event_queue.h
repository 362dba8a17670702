// The key presses and close requests of the SDL programs, kept in a queue of
// the program's own, and the wait for the next of them. SDL 1.2 holds at most
// 127 events and silently drops the rest while a program is busy drawing; its
// event filter, though, sees every event as it is pumped, before SDL's queue
// could overflow. The filter copies key presses and close requests into a
// fixed ring and tells SDL to keep nothing, so SDL's queue stays empty. The programs read the ring with
// nextEvent exactly as they would read SDL_PollEvent, and between drains
// sleep in waitForEvent until there is something to read.
#pragma once

#include <SDL.h>

// Room for 16,384 events (384 KiB), far more than anyone can type while a
// redraw runs. Key presses may fill all but the last place, which is kept for
// a close request: a close request is never dropped unless one already waits
// at the end of the ring.
constexpr unsigned eventQueueSize = 16384;

// Events that found the ring full since startEventQueue.
extern long droppedEvents;

// Empties the ring and installs queueEvent as SDL's event filter. Setting a
// filter makes SDL discard what it already holds, so this runs before the
// window opens.
void startEventQueue();

// SDL's event filter: keeps SDL_KEYDOWN and SDL_QUIT, puts back the presses
// SDL 1.2 over SDL 2 merged away (merged_presses.h), notes an SDL_VIDEOEXPOSE
// for nextEvent or waitForEvent to show the screen surface again, ignores
// every other event, and always returns 0 so that SDL keeps none of them
// itself.
int queueEvent(const SDL_Event* event);

// Pumps SDL's events through the filter, flips the unchanged screen surface
// again if the window was exposed, and takes the oldest kept event; returns 0
// when there is none. Events put straight into SDL's queue with
// SDL_PushEvent (which skips the filter) come after those of the ring.
int nextEvent(SDL_Event* event);

// Returns once nextEvent has an event to give: one in the ring, a close
// request from a signal, or one pushed into SDL's queue. Until then it pumps
// SDL's events and sleeps (sleepUntilInput). SDL 1.2 offers no wait that sees
// the ring: its SDL_WaitEvent looks at its own queue only, every 10 ms. In a
// page the browser's SDL waits instead, handing control to the browser until
// an event comes.
void waitForEvent();

// Sleeps until the window system has input for SDL's pump (the Windows
// thread's message queue, the X server's connection), but no longer than
// lookAgainMs, which bounds how late a close request that a signal posts just
// before the sleep, or an event pushed from another thread, is seen. Under
// any other video driver it sleeps idleWaitMs, short enough that a key is
// still answered at once as far as anyone can tell.
void sleepUntilInput();
constexpr Uint32 lookAgainMs = 100;
constexpr Uint32 idleWaitMs = 4;
