// SDL 1.2 calls that Emscripten's SDL lacks: SDL_RWFromFile and SDL_RWFromFP,
// here streams over a stdio file of the in-memory file system, SDL_FreeRW,
// and SDL_SaveBMP_RW,
// writing the bytes SDL 1.2 writes for a surface of 32 bits per pixel: the
// image converted to 24 bits per pixel, rows from the bottom up, each padded
// with zeros to a multiple of four bytes.
#include <SDL.h>

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

// Streams open at once; the programs never hold more than one.
std::array<SDL_RWops, 4> streams{};
std::array<bool, 4> inUse{};

FILE* fileOf(SDL_RWops* stream) { return stream != nullptr ? static_cast<FILE*>(stream->hidden.unknown.data1) : nullptr; }

long seekFile(SDL_RWops* stream, long offset, int whence) {
  FILE* file = fileOf(stream);
  if (std::fseek(file, offset, whence) != 0) return -1;
  return std::ftell(file);
}

size_t readFile(SDL_RWops* stream, void* data, size_t size, size_t count) {
  return std::fread(data, size, count, fileOf(stream));
}

size_t writeFile(SDL_RWops* stream, const void* data, size_t size, size_t count) {
  return std::fwrite(data, size, count, fileOf(stream));
}

void release(SDL_RWops* stream) { inUse[size_t(stream - streams.data())] = false; }

int closeFile(SDL_RWops* stream) {
  const int result = std::fclose(fileOf(stream));
  release(stream);
  return result == 0 ? 0 : -1;
}

// A stream over a file its owner closes.
int releaseOnly(SDL_RWops* stream) {
  release(stream);
  return 0;
}

SDL_RWops* streamOver(FILE* file, bool closesFile) {
  for (size_t i = 0; i < streams.size(); ++i) {
    if (inUse[i]) continue;
    streams[i] = SDL_RWops{};
    streams[i].seek = seekFile;
    streams[i].read = readFile;
    streams[i].write = writeFile;
    streams[i].close = closesFile ? closeFile : releaseOnly;
    streams[i].hidden.unknown.data1 = file;
    inUse[i] = true;
    return &streams[i];
  }
  return nullptr;
}

void putLE(uint8_t* at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = uint8_t(value >> (8 * i));
}

}  // namespace

extern "C" SDL_RWops* SDL_RWFromFile(const char* name, const char* mode) {
  FILE* file = std::fopen(name, mode);
  if (file == nullptr) return nullptr;
  SDL_RWops* stream = streamOver(file, true);
  if (stream == nullptr) std::fclose(file);
  return stream;
}

// SDL_rwops.h takes the stream as a FILE* where its SDL_config.h says there is
// stdio.h (Emscripten 3.1.69), else as a void* (3.1.6).
#ifdef HAVE_STDIO_H
using StdioStream = FILE*;
#else
using StdioStream = void*;
#endif

extern "C" SDL_RWops* SDL_RWFromFP(StdioStream file, SDL_bool closesFile) {
  return file != nullptr ? streamOver(static_cast<FILE*>(file), closesFile) : nullptr;
}

extern "C" void SDL_FreeRW(SDL_RWops* stream) {
  if (stream != nullptr) release(stream);
}

extern "C" int SDL_SaveBMP_RW(SDL_Surface* surface, SDL_RWops* stream, int closeStream) {
  bool written = false;
  if (stream != nullptr && surface != nullptr && surface->format->BitsPerPixel == 32) {
    const int width = surface->w;
    const int height = surface->h;
    const uint32_t rowBytes = uint32_t(width) * 3;
    const uint32_t pitch = (rowBytes + 3) & ~3u;
    std::array<uint8_t, 54> header{};
    header[0] = 'B';
    header[1] = 'M';
    putLE(&header[2], 54 + pitch * uint32_t(height), 4);  // file size
    putLE(&header[10], 54, 4);                              // offset of the pixels
    putLE(&header[14], 40, 4);                              // size of the info header
    putLE(&header[18], uint32_t(width), 4);
    putLE(&header[22], uint32_t(height), 4);
    putLE(&header[26], 1, 2);   // planes
    putLE(&header[28], 24, 2);  // bits per pixel
    putLE(&header[34], pitch * uint32_t(height), 4);
    written = SDL_RWwrite(stream, header.data(), 1, header.size()) == header.size();

    static std::array<uint8_t, 3 * 4096 + 3> row;
    for (int y = height - 1; written && y >= 0; --y) {
      if (pitch > row.size()) {
        written = false;
        break;
      }
      const auto* pixels = static_cast<const Uint32*>(surface->pixels) + (y * surface->pitch) / 4;
      row.fill(0);
      for (int x = 0; x < width; ++x) {
        Uint8 r, g, b;
        SDL_GetRGB(pixels[x], surface->format, &r, &g, &b);
        row[size_t(3 * x)] = b;
        row[size_t(3 * x + 1)] = g;
        row[size_t(3 * x + 2)] = r;
      }
      written = SDL_RWwrite(stream, row.data(), 1, pitch) == pitch;
    }
  }
  if (closeStream && stream != nullptr && SDL_RWclose(stream) != 0) written = false;
  return written ? 0 : -1;
}
