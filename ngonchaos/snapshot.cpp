#ifdef _WIN32
#define _CRT_RAND_S  // rand_s in stdlib.h
#endif
#include <fcntl.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "ngonchaos.h"
#include "pixel_surface.h"

void formatSnapshotName(char* name, std::size_t size) {
  if (size == 0) return;
  std::snprintf(name, size, "%d", cornerCount);
  std::strncat(name, ".bmp", size - std::strlen(name) - 1);
}

namespace {

#ifdef _WIN32
// Windows has no O_NOFOLLOW: a link planted under the name makes it exist, and
// _O_EXCL then refuses it. rand_s draws from the system's random source.
bool randomBytes(unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    unsigned int value;
    if (rand_s(&value) != 0) return false;
    bytes[i] = (unsigned char)value;
  }
  return true;
}
int createNew(const char* path) {
  return _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
FILE* openStream(int fd) { return _fdopen(fd, "wb"); }
void closeFile(int fd) { _close(fd); }
bool syncToDisk(FILE* file) { return _commit(_fileno(file)) == 0; }
// The C library's rename fails over an existing file on Windows.
bool replaceFile(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
#else
bool randomBytes(unsigned char* bytes, std::size_t count) { return getentropy(bytes, count) == 0; }
int createNew(const char* path) {
  return open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}
FILE* openStream(int fd) { return fdopen(fd, "wb"); }
void closeFile(int fd) { close(fd); }
bool syncToDisk(FILE* file) { return fsync(fileno(file)) == 0; }
bool replaceFile(const char* from, const char* to) { return std::rename(from, to) == 0; }
#endif

// A new file beside N.bmp named N.bmp. and eight random letters, so that no
// one can plant a file, link, FIFO or device under its name beforehand: the
// name must not exist yet and a link is never followed. Permissions are those
// of a new file under the umask. The letters never come from rand(), which
// would shift the chaos game's sequence.
FILE* createPartFile(const char* name, char* partName, std::size_t size) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    unsigned char noise[8];
    if (!randomBytes(noise, sizeof noise)) return nullptr;
    char suffix[sizeof noise + 1] = {};
    for (std::size_t i = 0; i < sizeof noise; ++i) suffix[i] = letters[noise[i] % (sizeof letters - 1)];
    std::snprintf(partName, size, "%s.%s", name, suffix);
    const int fd = createNew(partName);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    FILE* file = openStream(fd);
    if (file == nullptr) {
      closeFile(fd);
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

  SDL_RWops* stream = SDL_RWFromFP(file, SDL_FALSE);
  bool saved = stream != nullptr && SDL_SaveBMP_RW(screen, stream, 0) == 0;
  if (stream != nullptr) SDL_FreeRW(stream);
  saved = saved && std::fflush(file) == 0 && syncToDisk(file);
  saved = std::fclose(file) == 0 && saved;
  if (!saved || !replaceFile(partName, name)) {
    std::remove(partName);
    return -1;
  }
  return 0;
}
