// The X11 back end of ruletri's Win32 layer: the window, its pixels, its
// exposures and its input over Xlib, X events turned into window messages.
// Where the program relies on Win32 behaviour it is kept:
// - a change of the client size clears it to the class background (white);
// - what SetPixel paints stays, as on a compositing desktop: the layer keeps
//   the client area in a pixmap of its size and copies it back on every
//   exposure, so covering, minimising or moving the window loses nothing;
// - the close box arrives as WM_CLOSE;
// - SetPixel shows at once (points go out in batches, drawn into both the
//   pixmap and the window; output is flushed after every message and before
//   the loop waits);
// - the outer size given to CreateWindowExA includes the window manager's frame.
#include "platform.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "ruletri_icon.h"

using namespace win32;

namespace {

Display* display = nullptr;
Window xwindow = 0;
GC gc = nullptr;
bool windowMapped = false;
int windowWidth = 0;
int windowHeight = 0;
unsigned long currentForeground = 0;

// The client area as painted; 0 when the server could not make one, and then
// the window alone is painted, as if nothing were kept.
Pixmap clientPixmap = 0;

// Points of one colour (currentForeground) waiting to be drawn.
const int pointBatch = 4096;
XPoint pendingPoints[pointBatch];
int pendingCount = 0;

// Errors are fatal, as with Xlib's default handler, except while trapped.
XErrorHandler defaultErrorHandler = nullptr;
bool trappingErrors = false;
bool errorTrapped = false;

Atom wmProtocols, wmDeleteWindow, netWmPing;

int handleError(Display* d, XErrorEvent* error) {
  if (trappingErrors) {
    errorTrapped = true;
    return 0;
  }
  return defaultErrorHandler(d, error);
}

bool openDisplay() {
  if (display == nullptr) display = XOpenDisplay(nullptr);
  if (display != nullptr && defaultErrorHandler == nullptr)
    defaultErrorHandler = XSetErrorHandler(handleError);
  return display != nullptr;
}

Atom atom(const char* name) { return XInternAtom(display, name, False); }

// The background brush COLOR_WINDOW + 1 is the system window colour: white.
unsigned long whitePixel() { return WhitePixel(display, DefaultScreen(display)); }

// COLORREF is 0x00BBGGRR; the visual's masks place each component.
unsigned long pixelOf(COLORREF colour) {
  Visual* visual = DefaultVisual(display, DefaultScreen(display));
  auto place = [](unsigned long component, unsigned long mask) {
    if (mask == 0) return 0UL;
    int shift = __builtin_ctzl(mask);
    int bits = __builtin_popcountl(mask);
    return ((component >> (8 - bits < 0 ? 0 : 8 - bits)) << shift) & mask;
  };
  return place(colour & 0xFF, visual->red_mask) | place((colour >> 8) & 0xFF, visual->green_mask) |
         place((colour >> 16) & 0xFF, visual->blue_mask);
}

void setTitle(const char* title) {
  XStoreName(display, xwindow, title);
  XChangeProperty(display, xwindow, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title), int(strlen(title)));
}

// _NET_WM_ICON: width, height, then ARGB pixels, each a 32-bit item held in a long.
void setIcon() {
  static long data[2 + 16 * 16 + 2 + 32 * 32];
  long* out = data;
  *out++ = 16;
  *out++ = 16;
  for (uint32_t p : iconPixels16) *out++ = long(p);
  *out++ = 32;
  *out++ = 32;
  for (uint32_t p : iconPixels32) *out++ = long(p);
  XChangeProperty(display, xwindow, atom("_NET_WM_ICON"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(data), int(out - data));
}

bool windowManagerRuns() {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* value = nullptr;
  bool found = XGetWindowProperty(display, DefaultRootWindow(display), atom("_NET_SUPPORTING_WM_CHECK"),
                                  0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                  &value) == Success &&
               value != nullptr && count == 1;
  if (value != nullptr) XFree(value);
  return found;
}

bool readFrameExtents(long extents[4]) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* value = nullptr;
  bool found = XGetWindowProperty(display, xwindow, atom("_NET_FRAME_EXTENTS"), 0, 4, False,
                                  XA_CARDINAL, &type, &format, &count, &after, &value) == Success &&
               value != nullptr && format == 32 && count == 4;
  if (found) memcpy(extents, value, sizeof(long) * 4);
  if (value != nullptr) XFree(value);
  return found;
}

void sendPoints() {
  if (pendingCount == 0) return;
  if (clientPixmap != 0)
    XDrawPoints(display, clientPixmap, gc, pendingPoints, pendingCount, CoordModeOrigin);
  XDrawPoints(display, xwindow, gc, pendingPoints, pendingCount, CoordModeOrigin);
  pendingCount = 0;
}

void flushOutput() {
  if (windowAlive) sendPoints();
  XFlush(display);
}

// Flushing may read events into Xlib's queue, where poll cannot see them.
bool waitForEvent(long milliseconds) {
  flushOutput();
  if (XEventsQueued(display, QueuedAlready) > 0) return true;
  pollfd pfd{ConnectionNumber(display), POLLIN, 0};
  return poll(&pfd, 1, int(milliseconds)) > 0;
}

// Asks the window manager, if one runs, for the frame it will put around the
// window (left, right, top, bottom), waiting a little for its answer.
bool askFrameExtents(long extents[4]) {
  if (!windowManagerRuns()) return false;
  XEvent request{};
  request.xclient.type = ClientMessage;
  request.xclient.window = xwindow;
  request.xclient.message_type = atom("_NET_REQUEST_FRAME_EXTENTS");
  request.xclient.format = 32;
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureNotifyMask | SubstructureRedirectMask, &request);
  for (int tries = 0; tries < 20; ++tries) {
    if (readFrameExtents(extents)) return true;
    waitForEvent(25);
  }
  return false;
}

void sizeClientToOuter(int width, int height) {
  long frame[4];
  if (askFrameExtents(frame)) {
    width -= int(frame[0] + frame[1]);
    height -= int(frame[2] + frame[3]);
  }
  windowWidth = width > 1 ? width : 1;
  windowHeight = height > 1 ? height : 1;
  XResizeWindow(display, xwindow, unsigned(windowWidth), unsigned(windowHeight));
}

void setPlacement(int x, int y) {
  XSizeHints* hints = XAllocSizeHints();
  hints->flags = USPosition | PPosition;
  hints->x = x;
  hints->y = y;
  XSetWMNormalHints(display, xwindow, hints);
  XFree(hints);
}

LPARAM pointParam(int x, int y) { return LPARAM((uint32_t(uint16_t(y)) << 16) | uint16_t(x)); }

UINT buttonMessage(unsigned button, bool press) {
  switch (button) {
    case Button1: return press ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Button2: return press ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    case Button3: return press ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default: return 0;  // wheel and extra buttons: no message
  }
}

void answerPing(const XClientMessageEvent& ping) {
  XEvent reply{};
  reply.xclient = ping;
  reply.xclient.window = DefaultRootWindow(display);
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureNotifyMask | SubstructureRedirectMask, &reply);
}

// A white pixmap of the client size, or 0 when the server refuses one (too
// large for its memory, say).
Pixmap makeClientPixmap() {
  XSync(display, False);
  trappingErrors = true;
  errorTrapped = false;
  Pixmap pixmap = XCreatePixmap(display, xwindow, unsigned(windowWidth), unsigned(windowHeight),
                                unsigned(DefaultDepth(display, DefaultScreen(display))));
  XSetForeground(display, gc, whitePixel());
  XFillRectangle(display, pixmap, gc, 0, 0, unsigned(windowWidth), unsigned(windowHeight));
  XSetForeground(display, gc, currentForeground);
  XSync(display, False);
  if (errorTrapped) {
    XFreePixmap(display, pixmap);
    XSync(display, False);
    pixmap = 0;
  }
  trappingErrors = false;
  return pixmap;
}

void freeClientPixmap() {
  if (clientPixmap != 0) XFreePixmap(display, clientPixmap);
  clientPixmap = 0;
}

// Without CS_HREDRAW or CS_VREDRAW the window keeps what it showed, and so
// does the new pixmap.
void resizeClient(int width, int height) {
  if (width == windowWidth && height == windowHeight) return;
  sendPoints();
  Pixmap old = clientPixmap;
  windowWidth = width;
  windowHeight = height;
  clientPixmap = makeClientPixmap();
  if (windowClass.style & (CS_HREDRAW | CS_VREDRAW)) {
    XClearWindow(display, xwindow);
  } else if (old != 0 && clientPixmap != 0) {
    XCopyArea(display, old, clientPixmap, gc, 0, 0, unsigned(width), unsigned(height), 0, 0);
  }
  if (old != 0) XFreePixmap(display, old);
}

void restoreExposed(const XExposeEvent& exposed) {
  sendPoints();
  if (clientPixmap != 0)
    XCopyArea(display, clientPixmap, xwindow, gc, exposed.x, exposed.y, unsigned(exposed.width),
              unsigned(exposed.height), exposed.x, exposed.y);
}

// Turns one X event into a window message; false when it makes none.
bool translateEvent(const XEvent& event, MSG* msg) {
  *msg = MSG{};
  msg->hwnd = theWindow;
  msg->time = DWORD(CurrentTime);
  switch (event.type) {
    case ButtonPress:
    case ButtonRelease:
      msg->message = buttonMessage(event.xbutton.button, event.type == ButtonPress);
      msg->lParam = pointParam(event.xbutton.x, event.xbutton.y);
      msg->pt = POINT{event.xbutton.x_root, event.xbutton.y_root};
      return msg->message != 0;
    case MotionNotify:
      msg->message = WM_MOUSEMOVE;
      msg->lParam = pointParam(event.xmotion.x, event.xmotion.y);
      msg->pt = POINT{event.xmotion.x_root, event.xmotion.y_root};
      return true;
    case KeyPress:
    case KeyRelease:
      msg->message = event.type == KeyPress ? WM_KEYDOWN : WM_KEYUP;
      msg->wParam = WPARAM(XLookupKeysym(const_cast<XKeyEvent*>(&event.xkey), 0));
      return true;
    case ConfigureNotify:
      resizeClient(event.xconfigure.width, event.xconfigure.height);
      return false;
    case Expose:
      restoreExposed(event.xexpose);
      return false;
    case MapNotify:
      windowMapped = true;
      return false;
    case UnmapNotify:
      windowMapped = false;
      return false;
    case ClientMessage:
      if (event.xclient.message_type != wmProtocols) return false;
      if (Atom(event.xclient.data.l[0]) == netWmPing) {
        answerPing(event.xclient);
        return false;
      }
      if (Atom(event.xclient.data.l[0]) != wmDeleteWindow) return false;
      msg->message = WM_CLOSE;
      return true;
    default:
      return false;
  }
}

}  // namespace

bool platformCreateWindow(LPCSTR title, int x, int y, int width, int height) {
  if (!openDisplay()) return false;
  wmProtocols = atom("WM_PROTOCOLS");
  wmDeleteWindow = atom("WM_DELETE_WINDOW");
  netWmPing = atom("_NET_WM_PING");

  XSetWindowAttributes attributes{};
  attributes.background_pixel = whitePixel();
  attributes.event_mask = StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                          PointerMotionMask | KeyPressMask | KeyReleaseMask | ExposureMask;
  int screen = DefaultScreen(display);
  xwindow = XCreateWindow(display, RootWindow(display, screen), x, y,
                          unsigned(width > 1 ? width : 1), unsigned(height > 1 ? height : 1), 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask,
                          &attributes);
  if (xwindow == 0) return false;
  XGCValues values{};
  values.foreground = currentForeground = pixelOf(0);
  values.graphics_exposures = False;  // copies come from a pixmap, always whole
  gc = XCreateGC(display, xwindow, GCForeground | GCGraphicsExposures, &values);

  setTitle(title);
  XClassHint classHint{const_cast<char*>("ruletri"), const_cast<char*>(windowClass.lpszClassName)};
  XSetClassHint(display, xwindow, &classHint);
  Atom protocols[2] = {wmDeleteWindow, netWmPing};
  XSetWMProtocols(display, xwindow, protocols, 2);
  long pid = long(getpid());
  XChangeProperty(display, xwindow, atom("_NET_WM_PID"), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&pid), 1);
  if (windowClass.hIcon == theIcon) setIcon();
  setPlacement(x, y);
  sizeClientToOuter(width, height);
  clientPixmap = makeClientPixmap();
  XFlush(display);
  return true;
}

// Win32 shows the window before returning: wait for the map to happen.
bool platformShowWindow(bool show) {
  bool wasVisible = windowMapped;
  if (!show) {
    XUnmapWindow(display, xwindow);
    XFlush(display);
    return wasVisible;
  }
  XMapWindow(display, xwindow);
  XEvent event;
  while (!windowMapped) {
    if (XCheckTypedWindowEvent(display, xwindow, MapNotify, &event)) {
      windowMapped = true;
    } else if (!waitForEvent(2000)) {
      break;
    }
  }
  return wasVisible;
}

bool platformWindowVisible() { return windowMapped; }

void platformDestroyWindow() {
  windowMapped = false;
  pendingCount = 0;
  freeClientPixmap();
  XFreeGC(display, gc);
  XDestroyWindow(display, xwindow);
  XFlush(display);
}

int platformNextEvent(MSG* msg) {
  if (display == nullptr) return -1;
  if (XPending(display) == 0) return 0;
  XEvent event;
  XNextEvent(display, &event);
  if (!windowAlive || event.xany.window != xwindow || !translateEvent(event, msg)) msg->hwnd = NULL;
  return 1;
}

bool platformWaitForEvent(int milliseconds) { return waitForEvent(milliseconds); }

void platformFlush() {
  if (display != nullptr) flushOutput();
}

// No dialog toolkit is at hand: the message goes to standard error, as
// "caption: text", and counts as answered with OK.
int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
  fprintf(stderr, "%s: %s\n", caption != nullptr ? caption : "Error", text != nullptr ? text : "");
  return 1;  // IDOK
}

BOOL WINAPI GetClientRect(HWND hwnd, RECT* rect) {
  if (!isOurWindow(hwnd) || rect == nullptr) return FALSE;
  *rect = RECT{0, 0, windowWidth, windowHeight};
  return TRUE;
}

// Outside the client area nothing is painted and the result is -1, as for a
// pixel outside a device context's clipping region.
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF colour) {
  if (dc != theDC || !windowAlive) return COLORREF(-1);
  if (x < 0 || y < 0 || x >= windowWidth || y >= windowHeight) return COLORREF(-1);
  unsigned long pixel = pixelOf(colour);
  if (pixel != currentForeground) {
    sendPoints();
    XSetForeground(display, gc, currentForeground = pixel);
  }
  if (pendingCount == pointBatch) sendPoints();
  pendingPoints[pendingCount++] = XPoint{short(x), short(y)};
  return colour;
}

int main() {
  int status = startWinMain();
  if (display != nullptr) XCloseDisplay(display);
  return status;
}
