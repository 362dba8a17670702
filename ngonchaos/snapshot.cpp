#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ngonchaos.h"
#include "pixel_surface.h"

void formatSnapshotName(char* name, std::size_t size) {
  if (size == 0) return;
  std::snprintf(name, size, "%d", cornerCount);
  std::strncat(name, ".bmp", size - std::strlen(name) - 1);
}

namespace {

// A new file beside N.bmp named N.bmp. and eight random letters, so that no
// one can plant a file, link, FIFO or device under its name beforehand: the
// name must not exist yet and a link is never followed. Permissions are those
// of a new file under the umask.
FILE* createPartFile(const char* name, char* partName, std::size_t size) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char noise[8];
    if (getrandom(noise, sizeof noise, 0) != ssize_t(sizeof noise)) return nullptr;
    char suffix[sizeof noise + 1] = {};
    for (std::size_t i = 0; i < sizeof noise; ++i) suffix[i] = letters[noise[i] % (sizeof letters - 1)];
    std::snprintf(partName, size, "%s.%s", name, suffix);
    const int fd = open(partName, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
      close(fd);
      std::remove(partName);
    }
    return file;
  }
  return nullptr;
}

}  // namespace

// Opening N.bmp itself for writing would empty it before the save could
// fail. The image goes to a new file beside it, which is renamed over N.bmp
// only once every byte is written, flushed and on disk; a failed save removes
// it and leaves N.bmp as it was.
int saveSnapshot() {
  char name[10];
  formatSnapshotName(name, sizeof name);
  char partName[24];
  FILE* file = createPartFile(name, partName, sizeof partName);
  if (file == nullptr) return -1;

  SDL_RWops* stream = SDL_RWFromFP(file, 0);
  bool saved = stream != nullptr && SDL_SaveBMP_RW(screen, stream, 0) == 0;
  if (stream != nullptr) SDL_FreeRW(stream);
  saved = saved && std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  saved = std::fclose(file) == 0 && saved;
  if (!saved || std::rename(partName, name) != 0) {
    std::remove(partName);
    return -1;
  }
  return 0;
}
