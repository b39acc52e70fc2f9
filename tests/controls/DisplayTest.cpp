// Labels and progress bars: styles, defaults, clamping, the 16-bit range and a
// value set from a worker thread.

#include "Label.h"
#include "ProgressBar.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <memory>
#include <thread>

using namespace NBUtility;
using namespace NBTest;

namespace {

class Displays : public testing::Test {
protected:
    void SetUp() override {
        form.reset(NewShownForm());
        ASSERT_NE(form->window, nullptr);
    }
    std::unique_ptr<Form> form;
};

struct LabelCase {
    const char* name;
    bool border;
    bool right;
    bool center;
    DWORD present;
    DWORD absent;
    DWORD extended;
};

TEST_F(Displays, LabelStyleFollowsBorderAndAlignment) {
    const LabelCase cases[] = {
        {"plain", false, false, false, SS_NOTIFY | WS_CHILD | WS_VISIBLE,
         WS_BORDER | WS_TABSTOP | SS_RIGHT | SS_CENTER, 0},
        {"border", true, false, false, WS_BORDER | SS_NOTIFY, 0, WS_EX_CLIENTEDGE},
        {"right wins over centre", false, true, true, SS_RIGHT, SS_CENTER, 0},
        {"centre", false, false, true, SS_CENTER, SS_RIGHT, 0},
    };
    for (const LabelCase& c : cases) {
        SCOPED_TRACE(c.name);
        Label label(form.get(), "Source file:");
        label.border = c.border;
        label.alignRight = c.right;
        label.alignCenter = c.center;
        label.Create();
        ASSERT_NE(label.window, nullptr);
        const DWORD style = StyleOf(label.window);
        EXPECT_TRUE(HasBits(style, c.present)) << std::hex << style;
        EXPECT_EQ(style & c.absent, 0u) << std::hex << style;
        EXPECT_EQ(StyleOf(label.window, true) & WS_EX_CLIENTEDGE, c.extended);
        EXPECT_EQ(TextOf(label.window), L"Source file:");
        DestroyWindow(label.window);
    }
}

std::int32_t Position(ProgressBar& bar) {
    return static_cast<std::int32_t>(SendMessageW(bar.window, PBM_GETPOS, 0, 0));
}

TEST_F(Displays, ProgressBarRangeTravelsAsTwoSixteenBitHalves) {
    ProgressBar plain(form.get());
    plain.Create();
    ASSERT_NE(plain.window, nullptr);
    EXPECT_EQ(SendMessageW(plain.window, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageW(plain.window, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_TRUE(HasBits(StyleOf(plain.window), PBS_SMOOTH | WS_CHILD | WS_VISIBLE));
    EXPECT_FALSE(HasBits(StyleOf(plain.window), WS_BORDER));
    ProgressBar wide(form.get());
    wide.maximum = 70000;
    wide.border = true;
    wide.Create();
    EXPECT_EQ(SendMessageW(wide.window, PBM_GETRANGE, FALSE, 0), 70000 & 0xFFFF);
    EXPECT_TRUE(HasBits(StyleOf(wide.window), WS_BORDER));
}

TEST_F(Displays, ProgressValuesAreClampedIntoTheRangeBeforeAndAfterCreation) {
    struct Case {
        std::int32_t requested;
        std::int32_t expected;
    };
    for (const Case c : {Case{70, 70}, Case{500, 100}, Case{-1, 0}}) {
        ProgressBar bar(form.get());
        bar.SetValue(c.requested);
        EXPECT_EQ(bar.value, c.expected);
        bar.value = c.requested; // also a value written straight into the field
        bar.Create();
        EXPECT_EQ(bar.value, c.expected);
        EXPECT_EQ(Position(bar), c.expected);
        DestroyWindow(bar.window);
    }
    ProgressBar bar(form.get());
    bar.minimum = 10;
    bar.maximum = 90;
    bar.Create();
    for (const Case c : {Case{150, 90}, Case{-5, 10}, Case{10, 10}, Case{90, 90}, Case{9, 10}}) {
        bar.SetValue(c.requested);
        EXPECT_EQ(bar.value, c.expected) << c.requested;
        EXPECT_EQ(Position(bar), c.expected) << c.requested;
    }
}

TEST_F(Displays, AWorkerMovesTheBarWhileTheInterfaceThreadPumps) {
    ProgressBar bar(form.get());
    bar.Create();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        for (std::int32_t v : {5, 10, 42, 250}) {
            bar.SetValue(v);
        }
        done = true;
    });
    const bool finished = PumpUntil([&] { return done.load(); });
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(bar.value, 100);
    EXPECT_EQ(Position(bar), 100);
}

} // namespace
