// The installed programs and the packages: a staging install (DESTDIR) and
// the packages cpack makes, both into scratch folders by CTest fixtures. The
// installed and the unpacked programs start under Xvfb and close; menu entries
// validate and name installed icons; manual pages, AppStream data and hardened
// binaries are there; the installed documents link only to installed pages
// and headings; lintian finds no error or warning; apt would install
// the Debian package; it holds exactly the installed files; the Windows zip
// is made, or its absence explained; every entry of the packages carries the
// source's date and root as its owner; and the arm64 package lies beside the
// native one when this build drives the arm64 build. The arm64 build runs
// the same tests on its own install and package, its programs under
// qemu-user (PROGRAM_EMULATOR).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "harness.h"
#include "pixel_count.h"

namespace fs = std::filesystem;

namespace {

const std::string stage = INSTALL_STAGE "/usr";
const std::string packageOut = PACKAGE_OUT;
const std::string debName = "fractals_" PACKAGE_VERSION "_" PACKAGE_ARCHITECTURE ".deb";
const std::string emulator = PROGRAM_EMULATOR;
const std::string zipName = "fractals-" PACKAGE_VERSION "-win64.zip";
const std::string installerName = "fractals-" PACKAGE_VERSION "-win64-setup.exe";

struct Program {
  std::string name;
  int width;  // 0: any size (ruletri's window is resizable)
  int height;
};
const std::vector<Program> programs = {
    {"tetrachaos", 1000, 600}, {"ngonchaos", 640, 480}, {"escapeplot", 640, 480}, {"ruletri", 0, 0}};

struct Output {
  int status;
  std::string output;  // standard output and error
};

Output shell(const std::string& command) {
  Output result{-1, ""};
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every file and link under root, as paths from root beginning with "/".
std::set<std::string> filesUnder(const std::string& root) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory() || entry.is_symlink()) files.insert("/" + fs::relative(entry.path(), root).string());
  return files;
}

// Whether the program shows its first picture: tetrachaos a frame on white,
// ngonchaos its white canvas, escapeplot (after one Right) the limit-2 image;
// ruletri answers the window manager's ping. A close request sent while SDL
// is still setting up its window can go unseen, so the tests wait for it.
bool firstPictureShown(const std::string& name, const e2e::App& app) {
  if (name == "ruletri") return e2e::ping(app);
  const std::vector<uint32_t> pixels = e2e::capture(app);
  const long white = countPixels(pixels, 0xFFFFFF);
  if (name == "tetrachaos") return white > 0;
  if (name == "ngonchaos") return white == long(pixels.size());
  return countPixels(pixels, 0x000000) == 234495 && white == long(pixels.size()) - 234495;
}

// The program starts in the folder bin/, shows its window and first picture,
// and ends with status 0 on the close box.
void startsAndCloses(const std::string& bin, const Program& program) {
  SCOPED_TRACE(bin + "/" + program.name);
  e2e::Launch how;
  how.argv = {bin + "/" + program.name};
  if (!emulator.empty()) how.argv.insert(how.argv.begin(), emulator);
  how.width = program.width;
  how.height = program.height;
  e2e::App app;
  bool shown = program.name == "ruletri" ? e2e::launchTitled(app, how, "Nestri") : e2e::launch(app, how);
  ASSERT_TRUE(shown) << "no window appeared";
  if (program.name == "escapeplot") e2e::pressKeys(app, {"Right"});
  EXPECT_TRUE(e2e::waitUntil([&] { return firstPictureShown(program.name, app); }, 20)) << "no first picture";
  e2e::closeWindow(app);
  EXPECT_EQ(e2e::waitExit(app, 20), 0);
  e2e::kill(app);
}

// Width and height from a PNG file's header chunk; 0 x 0 when it is none.
std::pair<int, int> pngSize(const std::string& path) {
  std::string bytes = readFile(path);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&](size_t at) {
    return int((uint8_t(bytes[at]) << 24) | (uint8_t(bytes[at + 1]) << 16) | (uint8_t(bytes[at + 2]) << 8) |
               uint8_t(bytes[at + 3]));
  };
  return {word(16), word(20)};
}

// The time every entry of the packages carries: the source's date, as
// scripts/source-date.sh gives it to cpack; -1 when it gives none.
long long sourceDate() {
  const std::string source = SOURCE_DIR;
  Output date = shell(quoted(source + "/scripts/source-date.sh") + " " + quoted(source));
  return date.status == 0 && !date.output.empty() ? std::atoll(date.output.c_str()) : -1;
}

std::string utc(long long seconds, const char* format) {
  std::time_t t = seconds;
  std::tm parts{};
  gmtime_r(&t, &parts);
  char text[64];
  std::strftime(text, sizeof text, format, &parts);
  return text;
}

unsigned little(const std::string& bytes, size_t at, int count) {
  unsigned value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | uint8_t(bytes[at + i]);
  return value;
}

std::string entryValue(const std::string& entry, const std::string& key) {
  std::istringstream lines(entry);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  return "";
}

}  // namespace

TEST(Installed, EachProgramStartsAndCloses) {
  for (const Program& program : programs) startsAndCloses(stage + "/bin", program);
}

TEST(Installed, MenuEntriesValidateAndTheirIconsExistAtEverySize) {
  const std::string themeDir = stage + "/share/icons/hicolor";
  std::set<std::string> sizes;
  for (const auto& entry : fs::directory_iterator(themeDir)) sizes.insert(entry.path().filename());
  EXPECT_TRUE(sizes.count("48x48") && sizes.count("256x256")) << "icons missing at 48x48 or 256x256";

  std::set<std::string> named;
  for (const auto& file : fs::directory_iterator(stage + "/share/applications")) {
    const std::string path = file.path();
    SCOPED_TRACE(path);
    Output check = shell("desktop-file-validate " + quoted(path));
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_EQ(check.output.find("error:"), std::string::npos) << check.output;

    const std::string entry = readFile(path);
    const std::string exec = entryValue(entry, "Exec");
    const std::string icon = entryValue(entry, "Icon");
    EXPECT_TRUE(fs::exists(stage + "/bin/" + exec)) << "Exec=" << exec << " is not installed";
    EXPECT_EQ(entryValue(entry, "Categories"), "Graphics;Education;");
    named.insert(exec);
    for (const std::string& size : sizes) {
      const std::string png = themeDir + "/" + size + "/apps/" + icon + ".png";
      auto [width, height] = pngSize(png);
      EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), size) << png;
    }
  }
  EXPECT_EQ(named, (std::set<std::string>{"escapeplot", "ngonchaos", "ruletri", "tetrachaos"}));
}

// The headings of a Markdown file as the anchors a link names: lower case,
// punctuation dropped, spaces as hyphens.
static std::set<std::string> headingAnchors(const std::string& path) {
  std::set<std::string> anchors;
  std::istringstream lines(readFile(path));
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line[0] != '#') continue;
    std::string anchor;
    for (char c : line.substr(line.find_first_not_of("# "))) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') anchor += char(std::tolower(c));
      if (c == ' ') anchor += '-';
    }
    anchors.insert(anchor);
  }
  return anchors;
}

// The README and the pages under docs/ are installed together: every link
// between them, and every picture they show, reaches an installed file and,
// where it names one, a heading of it.
TEST(Installed, DocumentsLinkOnlyToInstalledPagesAndHeadings) {
  const fs::path docs = stage + "/share/doc/fractals";
  std::vector<fs::path> pages = {docs / "README.md"};
  for (const auto& entry : fs::directory_iterator(docs / "docs"))
    if (entry.path().extension() == ".md") pages.push_back(entry.path());
  EXPECT_GE(pages.size(), 6u) << "the pages under docs/ are not installed";
  const std::regex link(R"(\]\(([^)#\s]*)(#[^)\s]*)?\))");
  int links = 0;
  for (const fs::path& page : pages) {
    SCOPED_TRACE(page.string());
    const std::string text = readFile(page.string());
    for (std::sregex_iterator at(text.begin(), text.end(), link), end; at != end; ++at) {
      const std::string target = (*at)[1], anchor = (*at)[2];
      if (target.rfind("http", 0) == 0) continue;
      const fs::path file = target.empty() ? page : page.parent_path() / target;
      ++links;
      ASSERT_TRUE(fs::exists(file)) << target << " is not installed";
      if (!anchor.empty()) {
        EXPECT_EQ(headingAnchors(file.string()).count(anchor.substr(1)), 1u) << target << anchor;
      }
    }
  }
  EXPECT_GT(links, 20);
}

// Each program has a manual page that groff renders without a warning, an
// AppStream component that validates, and is hardened: PIE, full RELRO.
TEST(Installed, ManPagesRenderMetainfoValidatesAndProgramsAreHardened) {
  for (const Program& program : programs) {
    SCOPED_TRACE(program.name);
    const std::string page = stage + "/share/man/man1/" + program.name + ".1.gz";
    Output render = shell("zcat " + quoted(page) + " | groff -man -ww -z");
    EXPECT_EQ(render.status, 0) << render.output;
    EXPECT_EQ(render.output, "") << render.output;

    const std::string metainfo = stage + "/share/metainfo/org.example.fractals." + program.name + ".metainfo.xml";
    Output validate = shell("appstreamcli validate --no-net --pedantic " + quoted(metainfo));
    EXPECT_EQ(validate.status, 0) << validate.output;
    const std::string component = readFile(metainfo);
    EXPECT_NE(component.find("<launchable type=\"desktop-id\">" + program.name + ".desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(component.find("<binary>" + program.name + "</binary>"), std::string::npos);

    const std::string binary = quoted(stage + "/bin/" + program.name);
    Output header = shell("readelf -h " + binary);
    EXPECT_NE(header.output.find("DYN (Position-Independent Executable file)"), std::string::npos) << header.output;
    Output segments = shell("readelf -lW " + binary);
    EXPECT_NE(segments.output.find("GNU_RELRO"), std::string::npos) << "no RELRO segment";
    Output dynamic = shell("readelf -dW " + binary);
    EXPECT_NE(dynamic.output.find("BIND_NOW"), std::string::npos) << dynamic.output;
    EXPECT_NE(dynamic.output.find("PIE"), std::string::npos) << "FLAGS_1 lacks PIE";
  }
}

// Pedantic lintian finds neither error nor warning; info tags are printed.
TEST(DebianPackage, LintianReportsNoErrorOrWarning) {
  Output lintian = shell("lintian --pedantic -I " + quoted(packageOut + "/" + debName));
  std::cout << lintian.output;
  EXPECT_EQ(lintian.output.find("E: "), std::string::npos) << lintian.output;
  EXPECT_EQ(lintian.output.find("W: "), std::string::npos) << lintian.output;
  EXPECT_EQ(lintian.status, 0) << "lintian failed or found errors";
}

// Dependencies computed from the binaries: SDL and Xlib, which the programs link.
TEST(DebianPackage, DependsOnTheLibrariesTheProgramsLink) {
  Output depends = shell("dpkg-deb -f " + quoted(packageOut + "/" + debName) + " Depends");
  ASSERT_EQ(depends.status, 0) << depends.output;
  for (const char* library : {"libc6", "libsdl1.2debian", "libx11-6"})
    EXPECT_NE(depends.output.find(library), std::string::npos) << library << " missing in " << depends.output;
}

// apt finds everything the package depends on, for the package's own
// architecture (on an amd64 machine with arm64 added, libsdl1.2debian:arm64
// and the rest for the arm64 one), and would install it.
TEST(DebianPackage, AptWouldInstallIt) {
  Output simulated = shell("apt-get install --simulate " + quoted(packageOut + "/" + debName));
  EXPECT_EQ(simulated.status, 0) << simulated.output;
  EXPECT_NE(simulated.output.find("Inst fractals"), std::string::npos) << simulated.output;
  EXPECT_NE(simulated.output.find("local-deb [" PACKAGE_ARCHITECTURE "])"), std::string::npos) << simulated.output;
}

TEST(DebianPackage, HoldsExactlyTheInstalledFilesAndItsProgramsStart) {
  const std::string unpacked = packageOut + "/unpacked";
  fs::remove_all(unpacked);
  Output extract = shell("dpkg-deb -x " + quoted(packageOut + "/" + debName) + " " + quoted(unpacked));
  ASSERT_EQ(extract.status, 0) << extract.output;
  const std::set<std::string> packaged = filesUnder(unpacked), installed = filesUnder(INSTALL_STAGE);
  for (const std::string& file : packaged) EXPECT_TRUE(installed.count(file)) << "only in the package: " << file;
  for (const std::string& file : installed) EXPECT_TRUE(packaged.count(file)) << "not in the package: " << file;
  for (const Program& program : programs) startsAndCloses(unpacked + "/usr/bin", program);
}

// The zip and the installer are made when the Windows build makes every
// program; otherwise cpack says plainly that the zip was skipped, and why.
TEST(Packages, WindowsZipIsMadeOrItsAbsenceExplained) {
  if (!WINDOWS_PACKAGES) GTEST_SKIP() << "a cross build makes no Windows packages";
  const std::string reason = readFile(ZIP_SKIPPED_FILE);
  const std::string log = readFile(packageOut + "/cpack.log");
  EXPECT_TRUE(fs::exists(packageOut + "/" + debName));
  if (reason.empty()) {
    EXPECT_TRUE(fs::exists(packageOut + "/" + zipName)) << log;
    EXPECT_TRUE(fs::exists(packageOut + "/" + installerName)) << log;
    EXPECT_EQ(log.find("zip skipped"), std::string::npos) << log;
  } else {
    EXPECT_FALSE(fs::exists(packageOut + "/" + zipName));
    EXPECT_FALSE(fs::exists(packageOut + "/" + installerName));
    EXPECT_NE(log.find("Windows zip skipped: " + reason), std::string::npos) << log;
  }
}

// The arm64 package, made by the arm64 build's cpack when this build drives
// it, lies beside this one and holds the same files: programs, menu entries,
// icons, manual pages, metainfo and documents (its own tests check its
// contents and run its programs under qemu-user).
TEST(Packages, Arm64PackageLiesBesideWithTheSameFiles) {
  if (!ARM64_PACKAGE_BESIDE) GTEST_SKIP() << "this build drives no arm64 build";
  const std::string arm64 = packageOut + "/fractals_" PACKAGE_VERSION "_arm64.deb";
  ASSERT_TRUE(fs::exists(arm64)) << readFile(packageOut + "/cpack.log");
  auto contents = [](const std::string& deb) {
    Output listing = shell("dpkg-deb --contents " + quoted(deb) + " | awk '{ print $6 }'");
    EXPECT_EQ(listing.status, 0) << listing.output;
    std::set<std::string> files;
    std::istringstream lines(listing.output);
    for (std::string line; std::getline(lines, line);) files.insert(line);
    return files;
  };
  const std::set<std::string> native = contents(packageOut + "/" + debName), other = contents(arm64);
  EXPECT_GT(native.size(), 40u);
  EXPECT_EQ(other, native);
  Output architecture = shell("dpkg-deb -f " + quoted(arm64) + " Architecture");
  EXPECT_EQ(architecture.output, "arm64\n");
}

// No entry of the packages carries the build's clock or its builder: the
// .deb's ar members and the entries of both its tarballs, whose gzip headers
// hold no time or name, and every entry of the zip, in DOS time (UTC) and in
// its extra fields, belong to root at the source's date.
TEST(Packages, EveryEntryCarriesTheSourceDateAndRootAsOwner) {
  const long long date = sourceDate();
  ASSERT_GE(date, 0) << "scripts/source-date.sh gave no date";
  const std::string deb = packageOut + "/" + debName;
  const std::string bytes = readFile(deb);
  ASSERT_EQ(bytes.compare(0, 8, "!<arch>\n"), 0) << deb << " is no ar archive";
  int members = 0;
  for (size_t at = 8; at + 60 <= bytes.size(); ++members) {
    const std::string name = bytes.substr(at, 16).substr(0, bytes.substr(at, 16).find_first_of(" /"));
    SCOPED_TRACE(name);
    EXPECT_EQ(std::atoll(bytes.substr(at + 16, 12).c_str()), date);
    EXPECT_EQ(std::strtol(bytes.substr(at + 40, 8).c_str(), nullptr, 8), 0100644);
    const size_t size = std::atoll(bytes.substr(at + 48, 10).c_str());
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0) {
      EXPECT_EQ(little(bytes, at + 60 + 4, 4), 0u) << "gzip header with a time";
      EXPECT_EQ(uint8_t(bytes[at + 60 + 3]) & 0x08, 0) << "gzip header with a name";
    }
    at += 60 + size + size % 2;
  }
  EXPECT_EQ(members, 3);
  const std::string stamp = utc(date, "%Y-%m-%d %H:%M:%S");
  for (const char* part : {"--ctrl-tarfile", "--fsys-tarfile"}) {
    Output entries = shell("dpkg-deb " + std::string(part) + " " + quoted(deb) + " | tar -tv --utc --full-time");
    ASSERT_EQ(entries.status, 0) << entries.output;
    std::istringstream lines(entries.output);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string mode, owner, size, day, time;
      fields >> mode >> owner >> size >> day >> time;
      EXPECT_EQ(owner, "root/root") << line;
      EXPECT_EQ(day + " " + time, stamp) << line;
    }
  }

  if (!fs::exists(packageOut + "/" + zipName)) return;  // explained by WindowsZipIsMadeOrItsAbsenceExplained
  const std::string zip = readFile(packageOut + "/" + zipName);
  const size_t end = zip.rfind("PK\5\6");
  ASSERT_NE(end, std::string::npos) << "no end of the zip's central directory";
  const unsigned entries = little(zip, end + 10, 2);
  const std::string dosTime = utc(date, "%Y %m %d %H %M %S");
  int year, month, day, hour, minute, second;
  std::istringstream(dosTime) >> year >> month >> day >> hour >> minute >> second;
  const unsigned dos = unsigned(year - 1980) << 25 | unsigned(month) << 21 | unsigned(day) << 16 |
                       unsigned(hour) << 11 | unsigned(minute) << 5 | unsigned(second / 2);
  size_t at = little(zip, end + 16, 4);
  for (unsigned i = 0; i < entries; ++i) {
    ASSERT_EQ(zip.compare(at, 4, "PK\1\2"), 0) << "central directory entry " << i;
    const unsigned nameLength = little(zip, at + 28, 2), extraLength = little(zip, at + 30, 2);
    SCOPED_TRACE(zip.substr(at + 46, nameLength));
    EXPECT_EQ(little(zip, at + 12, 4), dos);
    for (size_t field = at + 46 + nameLength; field + 4 <= at + 46 + nameLength + extraLength;
         field += 4 + little(zip, field + 2, 2)) {
      if (little(zip, field, 2) == 0x5455 && (zip[field + 4] & 1)) {
        EXPECT_EQ(little(zip, field + 5, 4), date) << "its extra field's time";
      }
      if (little(zip, field, 2) == 0x7875) {  // uid and gid, 4 bytes each
        EXPECT_EQ(little(zip, field + 6, 4), 0u) << "its owner";
        EXPECT_EQ(little(zip, field + 11, 4), 0u) << "its group";
      }
    }
    at += 46 + nameLength + extraLength + little(zip, at + 32, 2);
  }
}
