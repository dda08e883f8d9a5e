// The command-line tool as the benchmark and the fuzzer drive it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "encoder/jpeg_encoder.h"
#include "test_images.h"

namespace pelnoro::encoder {
namespace {

namespace fs = std::filesystem;

class PelnoroEncode : public ::testing::Test {
 protected:
  void SetUp() override {
    // A folder of its own: CTest runs tests, and other builds' tests, side by side.
    folder_ = fs::temp_directory_path() /
              ("pelnoro-encode-cli-test-" + std::to_string(getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    const testing::Image image = testing::ScreenLike(23, 17);
    std::ofstream ppm(folder_ / "in.ppm", std::ios::binary);
    ppm << "P6\n23 17\n255\n";
    for (std::uint32_t p : image.pixels) ppm << Red(p) << Green(p) << Blue(p);
    pixels_ = image.pixels;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // Exit status of the tool with `args`, after `before` (a pipe into it); stderr goes to
  // err.txt.
  int Run(const std::string& args, const std::string& before = "") {
    const std::string command =
        before + PELNORO_ENCODE_PATH + " " + args + " 2>" + (folder_ / "err.txt").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  std::vector<std::uint8_t> Read(const std::string& name) const {
    std::ifstream file(folder_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  }
  std::string Error() const {
    const std::vector<std::uint8_t> bytes = Read("err.txt");
    return {bytes.begin(), bytes.end()};
  }

  fs::path folder_;
  std::vector<std::uint32_t> pixels_;
};

TEST_F(PelnoroEncode, WritesFilesThatDecode) {
  ASSERT_EQ(Run("png --level 2 " + Path("in.ppm") + " " + Path("out.png")), 0) << Error();
  EXPECT_EQ(testing::DecodePng(Read("out.png")).image.pixels, pixels_);
  ASSERT_EQ(Run("jpeg --quality 90 --progressive " + Path("in.ppm") + " " + Path("out.jpg")), 0);
  const testing::DecodedJpeg jpeg = testing::DecodeJpeg(Read("out.jpg"));
  EXPECT_TRUE(jpeg.ok && jpeg.progressive);
  ASSERT_EQ(Run("bmp " + Path("in.ppm") + " " + Path("out.bmp")), 0);
  EXPECT_EQ(Read("out.bmp").size(), 54u + 17 * 72);
}

// The pixels where they lie in the file, behind a header with a comment, give the file
// the library writes from the same pixels in memory.
TEST_F(PelnoroEncode, JpegFromTheFilesOwnBytesIsTheLibrarysFile) {
  {
    std::ofstream ppm(folder_ / "commented.ppm", std::ios::binary);
    ppm << "P6\n# cut\n23 17\n255\n";
    for (std::uint32_t p : pixels_) ppm << Red(p) << Green(p) << Blue(p);
  }
  const struct {
    const char* options;
    JpegOptions library;
  } cases[] = {{"--quality 80", {80, false}},
               {"--quality 40 --progressive", {40, true}},
               // Written over the larger progressive file: it must be cut to the new one.
               {"--in-place --quality 10", {10, false}}};
  for (const auto& c : cases) {
    ASSERT_EQ(
        Run(std::string("jpeg ") + c.options + " " + Path("commented.ppm") + " " + Path("m.jpg")),
        0)
        << Error();
    std::vector<std::uint8_t> want;
    ASSERT_EQ(EncodeJpeg({pixels_.data(), 23, 17, 23}, c.library, want), Error::kOk);
    EXPECT_EQ(Read("m.jpg"), want) << c.options;
  }
}

// From a pipe the file is read in blocks that grow: one over 2 MiB crosses two of them.
TEST_F(PelnoroEncode, JpegFromAPipeIsTheLibrarysFile) {
  const testing::Image big = testing::ScreenLike(1001, 700);
  {
    std::ofstream ppm(folder_ / "big.ppm", std::ios::binary);
    ppm << "P6\n1001 700\n255\n";
    for (std::uint32_t p : big.pixels) ppm << Red(p) << Green(p) << Blue(p);
  }
  ASSERT_EQ(Run("jpeg --quality 75 /dev/stdin " + Path("p.jpg"), "cat " + Path("big.ppm") + " | "),
            0)
      << Error();
  std::vector<std::uint8_t> want;
  ASSERT_EQ(EncodeJpeg({big.pixels.data(), 1001, 700, 1001}, {75, false}, want), Error::kOk);
  EXPECT_EQ(Read("p.jpg"), want);
}

TEST_F(PelnoroEncode, BadInputGivesOneLineAndNonZeroExit) {
  std::ofstream(folder_ / "short.ppm", std::ios::binary) << "P6 4 4 255\nabc";
  std::ofstream(folder_ / "empty.ppm", std::ios::binary) << "P6 0 0 255\n";
  const std::string cases[] = {
      "png --level 0 " + Path("short.ppm") + " " + Path("x.png"),
      "png --level 0 " + Path("empty.ppm") + " " + Path("x.png"),
      "png --level 0 " + Path("missing.ppm") + " " + Path("x.png"),
      // JPEG reads the file whole, not through the PPM reader: the same refusals.
      "jpeg --quality 75 " + Path("short.ppm") + " " + Path("x.jpg"),
      "jpeg --quality 75 " + Path("empty.ppm") + " " + Path("x.jpg"),
      "jpeg --quality 75 " + Path("missing.ppm") + " " + Path("x.jpg"),
      "jpeg --quality 75 " + Path("in.ppm") + " " + Path("no/such/folder/x.jpg"),
      "jpeg --quality 75 --in-place " + Path("in.ppm") + " " + Path("no/such/folder/x.jpg"),
      "jpeg --quality 101 " + Path("in.ppm") + " " + Path("x.jpg"),
      "png --level 3 " + Path("in.ppm") + " " + Path("x.png"),
      "jpeg " + Path("in.ppm") + " " + Path("x.jpg"),
      "gif " + Path("in.ppm") + " " + Path("x.gif"),
  };
  for (const std::string& args : cases) {
    EXPECT_NE(Run(args), 0) << args;
    const std::string message = Error();
    EXPECT_EQ(message.rfind("pelnoro-encode: ", 0), 0u) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  }
  EXPECT_FALSE(fs::exists(folder_ / "x.png"));
  EXPECT_FALSE(fs::exists(folder_ / "x.jpg"));
}

}  // namespace
}  // namespace pelnoro::encoder
