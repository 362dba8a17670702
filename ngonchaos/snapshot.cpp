#include <cstdio>
#include <cstring>

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
int saveSnapshot() {
  char name[10];
  formatSnapshotName(name, sizeof name);
  char partName[16];
  std::snprintf(partName, sizeof partName, "%s.tmp", name);

  SDL_RWops* stream = SDL_RWFromFile(partName, "wb");
  if (stream == nullptr) return -1;
  if (SDL_SaveBMP_RW(screen, stream, 1) != 0 || std::rename(partName, name) != 0) {
    std::remove(partName);
    return -1;
  }
  return 0;
}
