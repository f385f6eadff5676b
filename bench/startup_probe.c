/* Starts a program and prints how long its first top-level window took to be mapped and
 * to show a given colour at a given point, in milliseconds since the launch:
 *   startup_probe X Y RRGGBB PROGRAM [ARG...]  ->  "<pid> <mapped ms> <painted ms>"
 * The program is left running; the caller ends it. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int Fail(const char* why, pid_t child) {
  fprintf(stderr, "startup_probe: %s\n", why);
  if (child > 0) kill(child, SIGTERM);
  return 1;
}

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: startup_probe X Y RRGGBB PROGRAM [ARG...]\n");
    return 2;
  }
  const int x = atoi(argv[1]);
  const int y = atoi(argv[2]);
  const unsigned long want = strtoul(argv[3], NULL, 16);

  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return Fail("cannot open the display", 0);
  const Window root = DefaultRootWindow(display);
  /* Listen before the launch so that no map is missed. */
  XSelectInput(display, root, SubstructureNotifyMask);
  XSync(display, False);

  const double start = NowMs();
  const pid_t child = fork();
  if (child < 0) return Fail("fork failed", 0);
  if (child == 0) {
    execv(argv[4], argv + 4);
    _exit(127);
  }

  const double deadline = start + 20000;
  Window window = 0;
  double mapped = 0;
  while (window == 0) {
    if (NowMs() > deadline) return Fail("no window was mapped", child);
    if (!XPending(display)) {
      usleep(200);
      continue;
    }
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    XWindowAttributes attributes;
    /* Skip helper windows: the calculator's is far larger than a few pixels. */
    if (XGetWindowAttributes(display, event.xmap.window, &attributes) && attributes.width > x &&
        attributes.height > y) {
      window = event.xmap.window;
      mapped = NowMs();
    }
  }

  for (;;) {
    if (NowMs() > deadline) return Fail("the window never showed the colour", child);
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image != NULL) {
      const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
      XDestroyImage(image);
      if (pixel == want) break;
    }
    usleep(250);
  }
  const double painted = NowMs();
  printf("%d %.1f %.1f\n", (int)child, mapped - start, painted - start);
  XCloseDisplay(display);
  return 0;
}
