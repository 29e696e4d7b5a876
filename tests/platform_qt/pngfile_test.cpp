#include "platform/qt/pngfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/qt/qimagecanvas.h"

namespace fs = std::filesystem;
using namespace lmv;

namespace {

class PngFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("lmvpng_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  size_t entries() const {
    return size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir;
};

TEST_F(PngFile, WritesTheDrawnPicture) {
  QImageCanvas c(32, 24);
  c.setPenColor(0x00FFFF);
  c.moveTo(0, 0);
  c.lineTo(15, 0);  // still pending: saving must finish it
  std::ofstream(dir / "frame.png") << "old";
  std::string error;
  ASSERT_TRUE(savePng(c, (dir / "frame.png").string(), &error)) << error;
  QImage back((dir / "frame.png").c_str());
  ASSERT_EQ(back.size(), QSize(32, 24));
  EXPECT_EQ(back.pixelColor(15, 0).name(), "#ffff00");
  EXPECT_EQ(back.pixelColor(16, 0).name(), "#000000");
  EXPECT_EQ(entries(), 1u) << "no temporary file is left";
}

TEST_F(PngFile, FailureLeavesNoFileAndTheOldOneUntouched) {
  QImageCanvas c(4, 4);
  struct Case {
    const char* name;
    fs::path path;
  } cases[] = {
      {"missing folder", dir / "missing" / "x.png"},
      {"a folder in the way", dir / "sub"},
  };
  fs::create_directories(dir / "sub");
  std::ofstream(dir / "sub" / "keep") << "keep";
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    std::string error;
    EXPECT_FALSE(savePng(c, k.path.string(), &error));
    EXPECT_NE(error.find(k.path.string()), std::string::npos) << error;
    EXPECT_EQ(entries(), 1u);
  }
  EXPECT_EQ(slurp(dir / "sub" / "keep"), "keep");

  std::ofstream(dir / "old.png") << "old";
  std::string error;
  EXPECT_FALSE(savePng(QImage(), (dir / "old.png").string(), &error));
  EXPECT_FALSE(error.empty());
  QImageCanvas empty(0, 10);
  EXPECT_FALSE(savePng(empty, (dir / "old.png").string()));
  EXPECT_EQ(slurp(dir / "old.png"), "old");
  EXPECT_EQ(entries(), 2u);
}

}  // namespace
