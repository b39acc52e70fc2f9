// The toolkit's handle owners release what they own exactly once, keep what
// they are handed again and give up what they hand over.

#include "GdiHandles.h"

#include <gtest/gtest.h>

using namespace NBUtility;

namespace {

bool IsLiveObject(HGDIOBJ object) {
    return object != nullptr && GetObjectType(object) != 0;
}

bool IsLiveIcon(HICON icon) {
    ICONINFO info{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return false;
    }
    GdiObject<HBITMAP> mask(info.hbmMask);
    GdiObject<HBITMAP> color(info.hbmColor);
    return true;
}

bool IsOpenHandle(HANDLE handle) {
    DWORD flags = 0;
    return handle != nullptr && GetHandleInformation(handle, &flags) != 0;
}

HICON NewIcon() {
    const BYTE andMask[32 * 4] = {};
    const BYTE xorMask[32 * 4] = {};
    return CreateIcon(GetModuleHandleW(nullptr), 32, 32, 1, 1, andMask, xorMask);
}

// Handed its own object again, an owner keeps it; handed another, it releases
// the first; at its end, the second.
template <typename Owner, typename Handle>
void ExpectReleasedExactlyOnce(Handle first, Handle second, bool (*isLive)(Handle)) {
    ASSERT_TRUE(isLive(first) && isLive(second));
    {
        Owner owner(first);
        owner.Reset(first);
        EXPECT_TRUE(isLive(first));
        owner.Reset(second);
        EXPECT_FALSE(isLive(first));
        EXPECT_EQ(owner.Get(), second);
        EXPECT_TRUE(isLive(second));
    }
    EXPECT_FALSE(isLive(second));
}

TEST(GdiObjectOwner, BrushAndIconOwnersReleaseWhatTheyHoldOnEveryPath) {
    ExpectReleasedExactlyOnce<GdiObject<HBRUSH>, HBRUSH>(
        CreateSolidBrush(RGB(1, 2, 3)), CreateSolidBrush(RGB(4, 5, 6)),
        [](HBRUSH brush) { return IsLiveObject(brush); });
    ExpectReleasedExactlyOnce<OwnedIcon, HICON>(NewIcon(), NewIcon(), IsLiveIcon);
}

TEST(GdiObjectOwner, AReleasedObjectOutlivesTheOwner) {
    HBRUSH handed = nullptr;
    {
        GdiObject<HBRUSH> owner(CreateSolidBrush(RGB(7, 8, 9)));
        handed = owner.Release();
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(IsLiveObject(handed));
    GdiObject<HBRUSH> cleanup(handed);
}

TEST(SelectedObjectOwner, PutsThePreviousObjectBack) {
    MemoryContext context(nullptr);
    ASSERT_NE(context.Get(), nullptr);
    const HGDIOBJ before = GetCurrentObject(context.Get(), OBJ_BRUSH);
    GdiObject<HBRUSH> brush(CreateSolidBrush(RGB(10, 20, 30)));
    {
        SelectedObject selected(context.Get(), brush.Get());
        EXPECT_EQ(GetCurrentObject(context.Get(), OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(GetCurrentObject(context.Get(), OBJ_BRUSH), before);
    {
        SelectedObject nothing(context.Get(), nullptr);
        EXPECT_EQ(GetCurrentObject(context.Get(), OBJ_BRUSH), before);
    }
    EXPECT_EQ(GetCurrentObject(context.Get(), OBJ_BRUSH), before);
}

TEST(KernelHandleOwner, ClosesOnceAndTellsTheResult) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(IsOpenHandle(event));
    {
        KernelHandle owner(event);
        EXPECT_TRUE(owner);
        EXPECT_TRUE(owner.Close());
        EXPECT_FALSE(IsOpenHandle(event));
        EXPECT_FALSE(owner);
        EXPECT_FALSE(owner.Close()); // nothing left to close
    }
    HANDLE kept = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    { KernelHandle owner(kept); }
    EXPECT_FALSE(IsOpenHandle(kept));
}

} // namespace
