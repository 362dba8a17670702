// The Windows programs of <build>/windows/bin read back as PE files. ruletri.exe
// is a 64-bit windowed program importing only system DLLs, with icon group 7
// (three images, the ones the icon drawer wrote) and the application manifest;
// the SDL programs import nothing but Windows' own DLLs and SDL.dll. Each
// program's icon group holds the images of its .ico, and its version
// information names it, the product, the version and the copyright.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <map>
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

Pe parsePe(const std::string& path) {
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

// Name of a resource: a number, or a string when name is not empty.
struct ResourceName {
  uint32_t id = 0;
  std::string name;
};

std::string upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::toupper(c)); });
  return s;
}

// One resource: the bytes of type/name/first language. Names compare without
// case, as Windows' LoadIcon compares them.
std::optional<Bytes> resource(const Pe& pe, uint32_t type, const ResourceName& wanted) {
  auto [rva, size] = directory(pe, 2);
  auto base = fileOffset(pe, rva);
  if (!base || size == 0) return std::nullopt;
  const Bytes& f = pe.file;
  auto nameAt = [&](uint32_t offset) {
    std::string s;
    size_t at = *base + offset;
    for (unsigned n = 0, length = u16(f, at); n < length; ++n) s += char(u16(f, at + 2 + 2 * n));
    return upper(s);
  };
  auto find = [&](size_t dir, const ResourceName* name) -> std::optional<uint32_t> {
    unsigned named = u16(f, dir + 12), ids = u16(f, dir + 14);
    for (unsigned n = 0; n < named + ids; ++n) {
      size_t entry = dir + 16 + 8 * n;
      uint32_t key = u32(f, entry);
      const bool isString = key & 0x80000000u;
      if (!name || (name->name.empty() ? !isString && key == name->id
                                       : isString && nameAt(key & 0x7FFFFFFFu) == upper(name->name)))
        return u32(f, entry + 4);
    }
    return std::nullopt;
  };
  const ResourceName typeName{type, ""};
  auto typeDir = find(*base, &typeName);
  if (!typeDir || !(*typeDir & 0x80000000u)) return std::nullopt;
  auto idDir = find(*base + (*typeDir & 0x7FFFFFFFu), &wanted);
  if (!idDir || !(*idDir & 0x80000000u)) return std::nullopt;
  auto leaf = find(*base + (*idDir & 0x7FFFFFFFu), nullptr);
  if (!leaf || (*leaf & 0x80000000u)) return std::nullopt;
  size_t data = *base + *leaf;
  auto at = fileOffset(pe, u32(f, data));
  uint32_t length = u32(f, data + 4);
  if (!at || *at + length > f.size()) return std::nullopt;
  return Bytes(f.begin() + long(*at), f.begin() + long(*at + length));
}

// The strings of a VS_VERSIONINFO resource: every block is its length, its
// value's length, its type (1: text), its key, then its value and its
// children, each aligned to four bytes.
void versionStrings(const Bytes& v, size_t at, size_t end, std::map<std::string, std::string>& strings) {
  while (at + 6 <= end) {
    const size_t length = u16(v, at), valueLength = u16(v, at + 2), type = u16(v, at + 4);
    if (length < 6 || at + length > end) return;
    std::string key;
    size_t p = at + 6;
    for (; p + 2 <= at + length && u16(v, p) != 0; p += 2) key += char(u16(v, p));
    p = (p + 2 + 3) & ~size_t(3);
    const size_t valueBytes = type == 1 ? 2 * valueLength : valueLength;
    if (type == 1 && valueLength > 0) {
      std::string value;
      for (size_t q = p; q + 2 <= p + valueBytes && u16(v, q) != 0; q += 2) value += char(u16(v, q));
      strings[key] = value;
    }
    versionStrings(v, (p + valueBytes + 3) & ~size_t(3), at + length, strings);
    at = (at + length + 3) & ~size_t(3);
  }
}

const uint32_t rtIcon = 3, rtGroupIcon = 14, rtVersion = 16, rtManifest = 24;

class RuletriExe : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { pe = new Pe(parsePe(WINDOWS_BIN "/ruletri.exe")); }
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
    dlls.insert(upper(cString(pe.file, *name)));
  }
  return dlls;
}

TEST_F(RuletriExe, IsAWindowedProgramImportingOnlySystemDlls) {
  ASSERT_FALSE(pe->file.empty()) << "ruletri.exe";
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
// colours (that they are the .ico's images is checked for every program below).
TEST_F(RuletriExe, IconGroupSevenHoldsTheThreeImagesOfTheIcon) {
  auto group = resource(*pe, rtGroupIcon, {7, ""});
  ASSERT_TRUE(group.has_value());
  const Bytes& g = *group;
  EXPECT_EQ(u16(g, 0), 0u);
  EXPECT_EQ(u16(g, 2), 1u) << "icon, not cursor";
  ASSERT_EQ(u16(g, 4), 3u);

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
    auto image = resource(*pe, rtIcon, {u16(g, e + 12), ""});
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->size(), bytes);
    EXPECT_EQ(u32(*image, 0), 40u) << "BITMAPINFOHEADER";
    EXPECT_EQ(u32(*image, 4), wanted[n].size);
    EXPECT_EQ(u32(*image, 8), 2 * wanted[n].size) << "colour rows and mask rows";
    EXPECT_EQ(u16(*image, 14), wanted[n].bits);
  }
}

TEST_F(RuletriExe, ManifestRunsAsInvokerWithoutUiAccess) {
  auto manifest = resource(*pe, rtManifest, {1, ""});
  ASSERT_TRUE(manifest.has_value());
  std::string text(manifest->begin(), manifest->end());
  EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
      << text;
}

// Every program: its icon group holds the images of its .ico, entry for
// entry (ruletri's group 7, the SDL programs' SDL_app, the name SDL's window
// loads its icon by), and its version information says what it is.
TEST(WindowsFolder, EachProgramCarriesItsIconAndVersionStrings) {
  for (const char* program : {"tetrachaos", "ngonchaos", "escapeplot", "ruletri"}) {
    SCOPED_TRACE(program);
    const Pe pe = parsePe(std::string(WINDOWS_BIN) + "/" + program + ".exe");
    const bool isRuletri = std::string(program) == "ruletri";
    const ResourceName groupName = isRuletri ? ResourceName{7, ""} : ResourceName{0, "SDL_app"};
    auto group = resource(pe, rtGroupIcon, groupName);
    ASSERT_TRUE(group.has_value()) << "no icon group";
    const Bytes ico = readBytes(std::string(WINDOWS_ICON_DIR) + "/" + program + ".ico");
    const unsigned count = u16(*group, 4);
    ASSERT_EQ(count, u16(ico, 4));
    std::string sizes;
    for (unsigned n = 0; n < count; ++n) {
      const size_t e = 6 + 14 * n, icoEntry = 6 + 16 * n;
      auto image = resource(pe, rtIcon, {u16(*group, e + 12), ""});
      ASSERT_TRUE(image.has_value()) << "image " << n;
      const size_t offset = u32(ico, icoEntry + 12);
      ASSERT_EQ(image->size(), u32(ico, icoEntry + 8));
      ASSERT_LE(offset + image->size(), ico.size());
      EXPECT_TRUE(std::equal(image->begin(), image->end(), ico.begin() + long(offset))) << "image " << n;
      const unsigned side = u8(*group, e) == 0 ? 256 : u8(*group, e);
      sizes += " " + std::to_string(side) + "/" + std::to_string(u16(*group, e + 6));
    }

    auto version = resource(pe, rtVersion, {1, ""});
    ASSERT_TRUE(version.has_value()) << "no version information";
    std::map<std::string, std::string> strings;
    versionStrings(*version, 0, version->size(), strings);
    EXPECT_EQ(strings["FileDescription"].rfind(std::string(program) + " - ", 0), 0u) << strings["FileDescription"];
    EXPECT_EQ(strings["ProductName"], "Fractals");
    EXPECT_EQ(strings["FileVersion"], PACKAGE_VERSION);
    EXPECT_EQ(strings["ProductVersion"], PACKAGE_VERSION);
    EXPECT_EQ(strings["OriginalFilename"], std::string(program) + ".exe");
    EXPECT_EQ(strings["LegalCopyright"].rfind("Copyright (C) ", 0), 0u) << strings["LegalCopyright"];
    std::printf("%s.exe: icon group %s, images (size/bits)%s; FileDescription \"%s\", ProductName \"%s\", "
                "FileVersion \"%s\", LegalCopyright \"%s\"\n",
                program, isRuletri ? "7" : "SDL_APP", sizes.c_str(), strings["FileDescription"].c_str(),
                strings["ProductName"].c_str(), strings["FileVersion"].c_str(), strings["LegalCopyright"].c_str());
  }
}

}  // namespace
