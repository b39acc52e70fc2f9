// The manifest each built program carries, as the system's loader sees it: an
// activation context made from resource 1 of the .exe, asked for each setting.

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const wchar_t windowsSettings2005[] = L"http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const wchar_t windowsSettings2016[] = L"http://schemas.microsoft.com/SMI/2016/WindowsSettings";

// The program's activation context, released at the end of the test.
class ActivationContext {
public:
    explicit ActivationContext(const std::wstring& program) {
        ACTCTXW description{};
        description.cbSize = sizeof description;
        description.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        description.lpSource = program.c_str();
        description.lpResourceName = MAKEINTRESOURCEW(1);
        handle = CreateActCtxW(&description);
        error = GetLastError();
    }
    ~ActivationContext() {
        if (Made()) {
            ReleaseActCtx(handle);
        }
    }
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;

    bool Made() const { return handle != INVALID_HANDLE_VALUE; }
    DWORD Error() const { return error; }

    std::wstring Setting(const wchar_t* space, const wchar_t* name) const {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, handle, space, name, value, 64, &written)) {
            return L"(none)";
        }
        return value;
    }

    // What the context holds, of the given class; empty when it cannot say.
    std::vector<char> Query(ULONG what, DWORD* index = nullptr) const {
        SIZE_T needed = 0;
        QueryActCtxW(0, handle, index, what, nullptr, 0, &needed);
        std::vector<char> bytes(needed);
        if (needed == 0 ||
            !QueryActCtxW(0, handle, index, what, bytes.data(), bytes.size(), &needed)) {
            bytes.clear();
        }
        return bytes;
    }

    // The identities of the program's assembly and of those it depends on,
    // as "name,processorArchitecture=...,version=...".
    std::vector<std::wstring> Assemblies() const {
        std::vector<std::wstring> identities;
        const std::vector<char> detail = Query(ActivationContextDetailedInformation);
        if (detail.empty()) {
            return identities;
        }
        const auto* summary =
            reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data());
        for (DWORD index = 1; index <= summary->ulAssemblyCount; ++index) {
            const std::vector<char> bytes =
                Query(AssemblyDetailedInformationInActivationContext, &index);
            const auto* assembly =
                reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(
                    bytes.data());
            identities.push_back(bytes.empty() ? L"" : assembly->lpAssemblyEncodedAssemblyIdentity);
        }
        return identities;
    }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
    DWORD error = 0;
};

std::wstring GuidText(const GUID& id) {
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return text;
}

// The supported systems of the compatibility list, in either layout: Windows
// 10 added a version to each element (and Wine follows it).
std::set<std::wstring> SupportedSystems(const std::vector<char>& bytes) {
    struct Element {
        GUID id;
        DWORD type;
    };
    struct ElementWithVersion : Element {
        ULONGLONG maxVersionTested;
    };
    DWORD count = 0;
    std::memcpy(&count, bytes.data(), sizeof count);
    std::set<std::wstring> ids;
    const auto take = [&](auto element, std::size_t offset) {
        for (DWORD i = 0; i < count; ++i) {
            std::memcpy(&element, bytes.data() + offset + i * sizeof element, sizeof element);
            if (element.type == ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) {
                ids.insert(GuidText(element.id));
            }
        }
    };
    if (bytes.size() >= alignof(ElementWithVersion) + count * sizeof(ElementWithVersion)) {
        take(ElementWithVersion{}, alignof(ElementWithVersion));
    } else if (bytes.size() >= sizeof(DWORD) + count * sizeof(Element)) {
        take(Element{}, sizeof(DWORD));
    }
    return ids;
}

struct ProgramCase {
    const char* label;
    const wchar_t* path;
    const wchar_t* identity;
    bool wantsCommonControls6;
};

void PrintTo(const ProgramCase& program, std::ostream* out) {
    *out << program.label;
}

class ProgramManifest : public testing::TestWithParam<ProgramCase> {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.Made()) << "no manifest the loader takes, error " << context.Error();
    }
    ActivationContext context{GetParam().path};
};

TEST_P(ProgramManifest, SupportsWindows7To11) {
    const std::vector<char> bytes = context.Query(CompatibilityInformationInActivationContext);
    ASSERT_GE(bytes.size(), sizeof(DWORD));
    EXPECT_EQ(SupportedSystems(bytes), (std::set<std::wstring>{
                                           L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}", // 7
                                           L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}", // 8
                                           L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}", // 8.1
                                           L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}", // 10 and 11
                                       }));
}

TEST_P(ProgramManifest, RunsAsItsCallerPerMonitorDpiAwareAndLongPathAware) {
    const std::vector<char> bytes = context.Query(RunlevelInformationInActivationContext);
    ASSERT_FALSE(bytes.empty());
    const auto* level =
        reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(bytes.data());
    EXPECT_EQ(level->RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
    EXPECT_EQ(level->UiAccess, 0u);
    EXPECT_EQ(context.Setting(windowsSettings2005, L"dpiAware"), L"true/PM");
    EXPECT_EQ(context.Setting(windowsSettings2016, L"dpiAwareness"), L"PerMonitorV2");
    EXPECT_EQ(context.Setting(windowsSettings2016, L"longPathAware"), L"true");
}

// The program's own identity first, then Common Controls 6 for the window only.
TEST_P(ProgramManifest, NamesTheProgramAndAsksForCommonControls6OnlyForTheWindow) {
    const std::vector<std::wstring> assemblies = context.Assemblies();
    ASSERT_FALSE(assemblies.empty());
    EXPECT_EQ(assemblies[0], std::wstring(GetParam().identity) +
                                 L",processorArchitecture=\"amd64\",type=\"win32\",version=\"" +
                                 NB_PROJECT_VERSION_W + L"\"");
    if (!GetParam().wantsCommonControls6) {
        EXPECT_EQ(assemblies.size(), 1u);
        return;
    }
    ASSERT_EQ(assemblies.size(), 2u);
    // The version the system found: 6.0 or a later build of it.
    EXPECT_EQ(assemblies[1].rfind(L"Microsoft.Windows.Common-Controls,", 0), 0u) << assemblies[1];
    EXPECT_NE(assemblies[1].find(L"publicKeyToken=\"6595b64144ccf1df\""), std::wstring::npos);
    EXPECT_NE(assemblies[1].find(L"version=\"6.0."), std::wstring::npos) << assemblies[1];
}

INSTANTIATE_TEST_SUITE_P(
    BuiltPrograms, ProgramManifest,
    testing::Values(ProgramCase{"Window", NB_WINDOW_PROGRAM_PATH, L"NBNimbra.NBNimbra", true},
                    ProgramCase{"CommandLine", NB_CLI_PROGRAM_PATH, L"NBNimbra.nbnx", false}),
    [](const testing::TestParamInfo<ProgramCase>& info) { return std::string(info.param.label); });

} // namespace
