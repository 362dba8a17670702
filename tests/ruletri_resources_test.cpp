// <build>/windows/bin/ruletri.exe read back as a PE file: a 64-bit windowed
// program importing only system DLLs, with icon group 7 (three images, the
// ones the icon drawer wrote) and the application manifest. Beside it, the SDL
// programs import nothing but Windows' own DLLs and SDL.dll.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace {

// Little-endian reads that fail the test instead of reading past the end.
uint32_t get(const Bytes& b, size_t at, int size) {
  if (at + size_t(size) > b.size()) {
    ADD_FAILURE() << "read past the end of the file at " << at;
    return 0;
  }
  return littleEndian(b, at, size);
}
uint32_t u8(const Bytes& b, size_t at) { return get(b, at, 1); }
uint32_t u16(const Bytes& b, size_t at) { return get(b, at, 2); }
uint32_t u32(const Bytes& b, size_t at) { return get(b, at, 4); }

struct Section {
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

struct Pe {
  Bytes file;
  size_t optionalHeader = 0;
  std::vector<Section> sections;
};

Pe parsePe(const char* path) {
  Pe pe;
  pe.file = readBytes(path);
  const Bytes& f = pe.file;
  EXPECT_EQ(u16(f, 0), 0x5A4Du) << "MZ";
  size_t header = u32(f, 0x3C);
  EXPECT_EQ(u32(f, header), 0x00004550u) << "PE\\0\\0";
  size_t coff = header + 4;
  EXPECT_EQ(u16(f, coff), 0x8664u) << "x86-64";
  unsigned sectionCount = u16(f, coff + 2);
  size_t optionalSize = u16(f, coff + 16);
  pe.optionalHeader = coff + 20;
  size_t table = pe.optionalHeader + optionalSize;
  for (unsigned n = 0; n < sectionCount; ++n) {
    size_t s = table + 40 * n;
    pe.sections.push_back(Section{u32(f, s + 12), u32(f, s + 8), u32(f, s + 20), u32(f, s + 16)});
  }
  return pe;
}

std::optional<size_t> fileOffset(const Pe& pe, uint32_t rva) {
  for (const Section& s : pe.sections) {
    uint32_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva >= s.virtualAddress && rva < s.virtualAddress + extent) return s.rawOffset + (rva - s.virtualAddress);
  }
  return std::nullopt;
}

// Data directory n of the PE32+ optional header: (rva, size).
std::pair<uint32_t, uint32_t> directory(const Pe& pe, int n) {
  size_t at = pe.optionalHeader + 112 + 8 * size_t(n);
  return {u32(pe.file, at), u32(pe.file, at + 4)};
}

std::string cString(const Bytes& b, size_t at) {
  std::string s;
  while (at < b.size() && b[at] != 0 && s.size() < 256) s += char(b[at++]);
  return s;
}

// One resource: the bytes of type/id/first language.
std::optional<Bytes> resource(const Pe& pe, uint32_t type, uint32_t id) {
  auto [rva, size] = directory(pe, 2);
  auto base = fileOffset(pe, rva);
  if (!base || size == 0) return std::nullopt;
  const Bytes& f = pe.file;
  auto find = [&](size_t dir, uint32_t wanted, bool any) -> std::optional<uint32_t> {
    unsigned named = u16(f, dir + 12), ids = u16(f, dir + 14);
    for (unsigned n = 0; n < named + ids; ++n) {
      size_t entry = dir + 16 + 8 * n;
      uint32_t name = u32(f, entry);
      if (any || (!(name & 0x80000000u) && name == wanted)) return u32(f, entry + 4);
    }
    return std::nullopt;
  };
  auto typeDir = find(*base, type, false);
  if (!typeDir || !(*typeDir & 0x80000000u)) return std::nullopt;
  auto idDir = find(*base + (*typeDir & 0x7FFFFFFFu), id, false);
  if (!idDir || !(*idDir & 0x80000000u)) return std::nullopt;
  auto leaf = find(*base + (*idDir & 0x7FFFFFFFu), 0, true);
  if (!leaf || (*leaf & 0x80000000u)) return std::nullopt;
  size_t data = *base + *leaf;
  auto at = fileOffset(pe, u32(f, data));
  uint32_t length = u32(f, data + 4);
  if (!at || *at + length > f.size()) return std::nullopt;
  return Bytes(f.begin() + long(*at), f.begin() + long(*at + length));
}

const uint32_t rtIcon = 3, rtGroupIcon = 14, rtManifest = 24;

class RuletriExe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pe = new Pe(parsePe(RULETRI_EXE)); }
  static void TearDownTestSuite() { delete pe; }
  static Pe* pe;
};
Pe* RuletriExe::pe = nullptr;

// Names of the DLLs a PE file imports, in capitals.
std::set<std::string> importedDlls(const Pe& pe) {
  std::set<std::string> dlls;
  auto [rva, size] = directory(pe, 1);
  auto at = fileOffset(pe, rva);
  if (!at || size == 0) return dlls;
  for (size_t d = *at; d + 20 <= pe.file.size() && u32(pe.file, d + 12) != 0; d += 20) {
    auto name = fileOffset(pe, u32(pe.file, d + 12));
    if (!name) break;
    std::string dll = cString(pe.file, *name);
    std::transform(dll.begin(), dll.end(), dll.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    dlls.insert(dll);
  }
  return dlls;
}

TEST_F(RuletriExe, IsAWindowedProgramImportingOnlySystemDlls) {
  ASSERT_FALSE(pe->file.empty()) << RULETRI_EXE;
  EXPECT_EQ(u16(pe->file, pe->optionalHeader), 0x20Bu) << "PE32+";
  EXPECT_EQ(u16(pe->file, pe->optionalHeader + 68), 2u) << "subsystem: Windows GUI, no console";

  std::set<std::string> dlls = importedDlls(*pe);
  const std::set<std::string> system{"USER32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL"};
  for (const std::string& dll : dlls) EXPECT_TRUE(system.count(dll)) << dll << " is not a system DLL";
  EXPECT_TRUE(dlls.count("USER32.DLL"));
  EXPECT_TRUE(dlls.count("GDI32.DLL"));
}

// The SDL programs: windowed, 64-bit, importing SDL.dll and otherwise only
// Windows' own DLLs; SDL.dll itself imports Windows' DLLs only.
TEST(WindowsFolder, SdlProgramsNeedNoDllButWindowsOwnAndSdl) {
  const std::set<std::string> windows{"USER32.DLL", "GDI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL", "WINMM.DLL"};
  for (const char* file : {"tetrachaos.exe", "ngonchaos.exe", "escapeplot.exe", "SDL.dll"}) {
    SCOPED_TRACE(file);
    const Pe pe = parsePe((std::string(WINDOWS_BIN) + "/" + file).c_str());
    ASSERT_FALSE(pe.file.empty());
    EXPECT_EQ(u16(pe.file, pe.optionalHeader), 0x20Bu) << "PE32+";
    const bool isProgram = std::string(file) != "SDL.dll";
    if (isProgram) {
      EXPECT_EQ(u16(pe.file, pe.optionalHeader + 68), 2u) << "subsystem: Windows GUI, no console";
    }
    const std::set<std::string> dlls = importedDlls(pe);
    EXPECT_EQ(dlls.count("SDL.DLL"), isProgram ? 1u : 0u);
    for (const std::string& dll : dlls)
      EXPECT_TRUE(windows.count(dll) || dll == "SDL.DLL") << dll << " is neither Windows' own nor SDL.dll";
  }
}

// Icon group 7: 16 x 16 in 16 colours, 32 x 32 in 16 colours, 32 x 32 in 256
// colours, each image the bitmap the icon drawer wrote into the .ico file.
TEST_F(RuletriExe, IconGroupSevenHoldsTheThreeImagesOfTheIcon) {
  auto group = resource(*pe, rtGroupIcon, 7);
  ASSERT_TRUE(group.has_value());
  const Bytes& g = *group;
  EXPECT_EQ(u16(g, 0), 0u);
  EXPECT_EQ(u16(g, 2), 1u) << "icon, not cursor";
  ASSERT_EQ(u16(g, 4), 3u);

  Bytes ico = readBytes(RULETRI_ICO);
  ASSERT_EQ(u16(ico, 4), 3u);
  struct Want {
    unsigned size, colours, bits;
  };
  const Want wanted[3] = {{16, 16, 4}, {32, 16, 4}, {32, 0, 8}};
  for (unsigned n = 0; n < 3; ++n) {
    SCOPED_TRACE(n);
    size_t e = 6 + 14 * n;
    EXPECT_EQ(u8(g, e), wanted[n].size);
    EXPECT_EQ(u8(g, e + 1), wanted[n].size);
    EXPECT_EQ(u8(g, e + 2), wanted[n].colours);
    EXPECT_EQ(u16(g, e + 4), 1u) << "planes";
    EXPECT_EQ(u16(g, e + 6), wanted[n].bits);
    uint32_t bytes = u32(g, e + 8);
    auto image = resource(*pe, rtIcon, u16(g, e + 12));
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->size(), bytes);
    EXPECT_EQ(u32(*image, 0), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(u32(*image, 4), wanted[n].size);
    EXPECT_EQ(u32(*image, 8), 2 * wanted[n].size) << "colour rows and mask rows";
    EXPECT_EQ(u16(*image, 14), wanted[n].bits);

    size_t icoEntry = 6 + 16 * n;
    size_t offset = u32(ico, icoEntry + 12);
    ASSERT_EQ(u32(ico, icoEntry + 8), bytes);
    ASSERT_LE(offset + bytes, ico.size());
    EXPECT_TRUE(std::equal(image->begin(), image->end(), ico.begin() + long(offset)))
        << "the image differs from the one the icon drawer wrote";
  }
}

TEST_F(RuletriExe, ManifestRunsAsInvokerWithoutUiAccess) {
  auto manifest = resource(*pe, rtManifest, 1);
  ASSERT_TRUE(manifest.has_value());
  std::string text(manifest->begin(), manifest->end());
  EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
      << text;
}

}  // namespace
