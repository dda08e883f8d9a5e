// The image writer: a save's request from the settings, and the file it writes.
#include "output/image_writer.h"

#include <gtest/gtest.h>

#include "fake_system.h"

namespace pelnoro {
namespace {

class WriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sys.putFolder(L"C:\\clips");
    settings.jpegQuality = L"75";
  }
  std::optional<output::SaveRequest> request(const std::wstring& ext, const std::wstring& name) {
    return output::SaveRequestFor(sys, ext, L"C:\\clips\\" + name, settings, false);
  }
  output::SaveOutcome write(const output::SaveRequest& r) {
    return output::WriteCutImage(sys, picture, r);
  }
  std::optional<std::string> written(const std::wstring& name) {
    return sys.file(L"C:\\clips\\" + name);
  }
  testing::FakeSystem sys;
  program::Settings settings;
  image::Surface picture{200, 150, 0x00336699};
};

TEST_F(WriterTest, FormatsLevelsAndExtensions) {
  settings.pngLevel = 1;
  auto png = request(L".PNG", L"a.png");
  ASSERT_TRUE(png);
  EXPECT_EQ(png->pngLevel, 1);
  output::SaveOutcome out = write(*png);
  EXPECT_TRUE(out.written);
  EXPECT_EQ(out.encoderCode, 0);
  EXPECT_EQ(written(L"a.png")->substr(1, 3), "PNG");
  settings.pngLevel = 2;
  EXPECT_EQ(request(L".PNG", L"a.png")->pngLevel, 2);

  const auto bmp = request(L".BMP", L"b.bmp");
  ASSERT_TRUE(bmp);
  out = write(*bmp);
  EXPECT_TRUE(out.written);
  EXPECT_FALSE(out.encoderCode);  // a bitmap save hands back no code
  const auto bmpFile = written(L"b.bmp");
  ASSERT_TRUE(bmpFile);
  EXPECT_EQ(bmpFile->substr(0, 2), "BM");
  EXPECT_EQ(bmpFile->size(), 54u + 200u * 3u * 150u);  // 24-bit rows of 600 bytes

  EXPECT_FALSE(request(L".jpg", L"c"));
  EXPECT_FALSE(request(L"", L"c"));
  EXPECT_FALSE(written(L"c"));
  EXPECT_TRUE(sys.messages.empty());
}

TEST_F(WriterTest, QualityCaptionMustBeANumber) {
  settings.jpegQuality = L"abc";
  EXPECT_FALSE(request(L".JPG", L"q.jpg"));
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].title, L"中断");
  EXPECT_FALSE(written(L"q.jpg"));
  settings.jpegQuality = L"256";
  EXPECT_FALSE(request(L".JPG", L"q.jpg"));
  settings.jpegQuality = L"0";
  const auto jpeg = request(L".JPG", L"q.jpg");
  ASSERT_TRUE(jpeg);
  EXPECT_TRUE(write(*jpeg).written);
  // The quality counts only for a JPEG.
  settings.jpegQuality = L"abc";
  EXPECT_TRUE(request(L".PNG", L"q.png"));
}

TEST_F(WriterTest, AFailedWriteIsReportedWithTheStepsCode) {
  const auto jpeg = request(L".JPG", L"f.jpg");
  ASSERT_TRUE(jpeg);
  sys.failWrites = true;
  const output::SaveOutcome out = write(*jpeg);
  EXPECT_FALSE(out.written);
  EXPECT_EQ(out.encoderCode, 6);
  ASSERT_EQ(sys.messages.size(), 1u);
  EXPECT_EQ(sys.messages[0].style, 0x10u);
  // A bitmap's failure is reported too, but hands back no code.
  sys.failWith = sys::WriteResult::kCannotReplace;
  const output::SaveOutcome bmp = write(*request(L".BMP", L"f.bmp"));
  EXPECT_FALSE(bmp.written);
  EXPECT_FALSE(bmp.encoderCode);
  EXPECT_EQ(sys.messages.back().text,
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = 7");
}

TEST(WriteErrorText, CodesAsDecimalText) {
  EXPECT_EQ(output::WriteErrorText(3),
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = 3");
  EXPECT_EQ(output::WriteErrorText(-1),
            L"書き込みエラーが発生しました。処理を中断します。 return_CODE = -1");
}

TEST(JpegQuality, WholeNumbersUpTo255) {
  EXPECT_EQ(output::JpegQualityOf(L"75"), 75);
  EXPECT_EQ(output::JpegQualityOf(L"0"), 0);
  EXPECT_EQ(output::JpegQualityOf(L"  255"), 255);
  EXPECT_EQ(output::JpegQualityOf(L"0100"), 100);
  for (const wchar_t* bad : {L"256", L"", L" ", L"7.5", L"-1", L"abc", L"75 ", L"99999999999"}) {
    EXPECT_FALSE(output::JpegQualityOf(bad)) << bad;
  }
}

}  // namespace
}  // namespace pelnoro
