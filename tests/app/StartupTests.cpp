#include "app/AppParts.h"
#include "app/Startup.h"
#include "core/ControlIds.h"
#include "support/FakeEncoder.h"
#include "support/HeadlessAppPorts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace discforge {
namespace {

int32_t NoVideo(int32_t, int32_t*, const uint8_t**) { return 1; }
int32_t NoAudio(int32_t, int32_t*, int32_t*, const uint8_t**) { return 1; }

class StartupTest : public ::testing::Test {
protected:
    bool Start(const std::string& variant, int initResult = 0)
    {
        fake_ = std::make_unique<test::FakeEncoder>(variant, initResult);
        EXPECT_TRUE(fake_->Loaded());
        core_
            = std::make_unique<AppParts>(ports_.Ports());
        return StartEncoder(*core_, fake_->Path(), {NoVideo, NoAudio});
    }

    test::HeadlessAppPorts ports_;
    std::unique_ptr<test::FakeEncoder> fake_;
    std::unique_ptr<AppParts> core_;
};

TEST_F(StartupTest, ACompleteLibraryIsInitialisedWithTheDefaultFormat)
{
    ASSERT_TRUE(Start("full"));
    EXPECT_TRUE(ports_.messages.shown.empty());
    EXPECT_EQ(ports_.window.closeRequests, 0);
    EXPECT_EQ(fake_->Calls(), (std::vector<std::string>{"init 1"}));
    EXPECT_EQ(core_->encodeParameters.supplyVideoFrame, &NoVideo);
    EXPECT_EQ(core_->encodeParameters.supplyAudio, &NoAudio);
    EXPECT_EQ(ports_.controls.Text(control::widthEdit), "352");

    core_.reset();
    EXPECT_EQ(fake_->Calls(), (std::vector<std::string>{"init 1", "shutdown"}));
}

TEST_F(StartupTest, EachMissingEntryPointGivesItsMessageAndClosesTheWindow)
{
    const struct {
        const char* variant;
        const char* text;
    } cases[] = {
        {"omit_init", "Can't get init function address from convert.dll."},
        {"omit_make", "Can not initialize convert.dll, error 1."},
        {"omit_shutdown", "Can not initialize convert.dll, error 2."},
        {"omit_setfocus", "Can not initialize convert.dll, error 3."},
        {"omit_appwnd", "Can not initialize convert.dll, error 4."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        ports_.messages.shown.clear();
        ports_.window.closeRequests = 0;
        EXPECT_FALSE(Start(c.variant));
        ASSERT_EQ(ports_.messages.shown.size(), 1u);
        EXPECT_EQ(ports_.messages.shown[0].text, c.text);
        EXPECT_EQ(ports_.messages.shown[0].caption, "Ferrowick Discforge - startup convert.dll error");
        EXPECT_EQ(ports_.window.closeRequests, 1);
        EXPECT_TRUE(fake_->Calls().empty()) << "the encoder must not be initialised";
    }
}

TEST_F(StartupTest, ShutdownIsStillCalledAtTeardownWhenItWasResolved)
{
    ASSERT_FALSE(Start("omit_setfocus"));
    core_.reset();
    EXPECT_EQ(fake_->Calls(), (std::vector<std::string>{"shutdown"}));

    ASSERT_FALSE(Start("omit_shutdown"));
    core_.reset();
    EXPECT_TRUE(fake_->Calls().empty());
}

TEST_F(StartupTest, AMissingLibraryShowsTheSystemTextUnderItsOwnCaption)
{
    core_ = std::make_unique<AppParts>(ports_.Ports());
    EXPECT_FALSE(StartEncoder(*core_, "/nonexistent/libconvert.so", {NoVideo, NoAudio}));
    ASSERT_EQ(ports_.messages.shown.size(), 1u);
    EXPECT_NE(ports_.messages.shown[0].text.find("/nonexistent/libconvert.so"), std::string::npos);
    EXPECT_EQ(ports_.messages.shown[0].caption, "startup convert.dll error");
    EXPECT_EQ(ports_.messages.shown[0].icon, MessageIcon::Error);
    EXPECT_EQ(ports_.window.closeRequests, 1);
}

TEST_F(StartupTest, ALibraryRefusingTheDefaultFormatGivesErrorFive)
{
    EXPECT_FALSE(Start("full", 7));
    ASSERT_EQ(ports_.messages.shown.size(), 1u);
    EXPECT_EQ(ports_.messages.shown[0].text, "Can not initialize convert.dll, error 5.");
    EXPECT_EQ(ports_.window.closeRequests, 1);
    core_.reset();
    EXPECT_EQ(fake_->Calls(), (std::vector<std::string>{"init 1", "shutdown"}));
}

TEST_F(StartupTest, TheLogOpensWithTitleVersionAndTheSystemDescription)
{
    ASSERT_TRUE(Start("full"));
    WriteStartupLog(*core_);
    const std::string& log = core_->runLog.Text();
    EXPECT_EQ(log.rfind("Ferrowick Discforge - v3.60\r\nOS Info = ", 0), 0u);
    // The description ends with its own line break, so the log shows an empty line after it.
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
    EXPECT_NE(log.find("\r\nDirectX Info = libavformat "), std::string::npos);
}

} // namespace
} // namespace discforge
