#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include "ngonchaos.h"
#include "pixel_surface.h"

void formatSnapshotName(char* name, std::size_t size) {
  if (size == 0) return;
  std::snprintf(name, size, "%d", cornerCount);
  std::strncat(name, ".bmp", size - std::strlen(name) - 1);
}

// Opening N.bmp itself for writing would empty it before the save could
// fail. The image goes to N.bmp.tmp beside it and is renamed over N.bmp only
// once SDL reports every byte written; a failed save leaves N.bmp as it was.
// The C library's rename replaces an existing file on POSIX systems only; on
// Windows it fails then, and MoveFileEx is the replacing rename.
static bool replaceFile(const char* from, const char* to) {
#ifdef _WIN32
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from, to) == 0;
#endif
}

int saveSnapshot() {
  char name[10];
  formatSnapshotName(name, sizeof name);
  char partName[16];
  std::snprintf(partName, sizeof partName, "%s.tmp", name);

  SDL_RWops* stream = SDL_RWFromFile(partName, "wb");
  if (stream == nullptr) return -1;
  if (SDL_SaveBMP_RW(screen, stream, 1) != 0 || !replaceFile(partName, name)) {
    std::remove(partName);
    return -1;
  }
  return 0;
}
