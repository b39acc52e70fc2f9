// The manifest each built program carries, read from the .exe as Windows's
// loader reads it: resource 1 of type RT_MANIFEST.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string kWindowsSettings2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const std::string kWindowsSettings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
const std::string kSettingsPath = "assembly/application/windowsSettings/";
const std::string kDependencyIdentityPath =
    "assembly/dependency/dependentAssembly/assemblyIdentity";

struct Element {
    std::string path; // the names from the root, "assembly/trustInfo/..."
    std::map<std::string, std::string> attributes;
    std::string text;
};

struct Manifest {
    bool wellFormed = false;
    std::vector<Element> elements;

    std::vector<const Element*> At(const std::string& path) const {
        std::vector<const Element*> found;
        for (const Element& element : elements) {
            if (element.path == path) {
                found.push_back(&element);
            }
        }
        return found;
    }
};

// Reads the attributes of a start tag, "name=\"value\" ...", up to its end.
std::map<std::string, std::string> ParseAttributes(const std::string& tag) {
    std::map<std::string, std::string> attributes;
    std::size_t at = 0;
    while ((at = tag.find('=', at)) != std::string::npos) {
        std::size_t nameEnd = tag.find_last_not_of(" \t\r\n", at - 1) + 1;
        std::size_t nameStart = tag.find_last_of(" \t\r\n", nameEnd - 1) + 1;
        std::size_t open = tag.find('"', at);
        std::size_t close = open == std::string::npos ? open : tag.find('"', open + 1);
        if (close == std::string::npos) {
            break;
        }
        attributes[tag.substr(nameStart, nameEnd - nameStart)] =
            tag.substr(open + 1, close - open - 1);
        at = close + 1;
    }
    return attributes;
}

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    return first == std::string::npos
               ? ""
               : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// Enough XML for a manifest: elements, attributes, text, comments and the
// declaration; every end tag must match its start.
Manifest ParseManifest(const std::string& xml) {
    Manifest manifest;
    std::vector<std::string> open;
    std::size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        if (xml.compare(at, 4, "<!--") == 0) {
            at = xml.find("-->", at);
            continue;
        }
        std::size_t end = xml.find('>', at);
        if (end == std::string::npos) {
            return manifest;
        }
        std::string tag = xml.substr(at + 1, end - at - 1);
        at = end + 1;
        if (tag.empty() || tag[0] == '?') {
            continue;
        }
        if (tag[0] == '/') {
            if (open.empty() || open.back() != Trimmed(tag.substr(1))) {
                return manifest;
            }
            open.pop_back();
            continue;
        }
        bool selfClosing = tag.back() == '/';
        std::string name = tag.substr(0, tag.find_first_of(" \t\r\n/"));
        std::string path;
        for (const std::string& parent : open) {
            path += parent + "/";
        }
        Element element{path + name, ParseAttributes(tag), ""};
        if (!selfClosing) {
            element.text = Trimmed(xml.substr(at, xml.find('<', at) - at));
            open.push_back(name);
        }
        manifest.elements.push_back(element);
    }
    manifest.wellFormed = open.empty() && !manifest.elements.empty();
    return manifest;
}

std::string Attribute(const Element& element, const std::string& name) {
    auto found = element.attributes.find(name);
    return found == element.attributes.end() ? "" : found->second;
}

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Resource 1 of type RT_MANIFEST, or an empty string with the reason on the
// side.
std::string ManifestOf(const std::wstring& program, std::string& why) {
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (image == nullptr) {
        why = "cannot open the program, error " + std::to_string(GetLastError());
        return "";
    }
    std::string text;
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (bytes != nullptr) {
        text.assign(bytes, SizeofResource(image, found));
    } else {
        why = "no resource 1 of type RT_MANIFEST";
    }
    FreeLibrary(image);
    return text;
}

struct ProgramCase {
    const char* label;
    const wchar_t* path;
    const char* identity;
    bool wantsCommonControls6;
};

void PrintTo(const ProgramCase& program, std::ostream* out) {
    *out << program.label;
}

class ProgramManifest : public testing::TestWithParam<ProgramCase> {
protected:
    void SetUp() override {
        std::string why;
        std::string xml = ManifestOf(GetParam().path, why);
        ASSERT_FALSE(xml.empty()) << why;
        manifest = ParseManifest(xml);
        ASSERT_TRUE(manifest.wellFormed) << xml;
    }

    // The single element at path.
    const Element& Only(const std::string& path) {
        static const Element none;
        std::vector<const Element*> found = manifest.At(path);
        EXPECT_EQ(found.size(), 1u) << path;
        return found.size() == 1 ? *found[0] : none;
    }

    Manifest manifest;
};

TEST_P(ProgramManifest, NamesTheProgramAtTheProjectVersion) {
    const Element& identity = Only("assembly/assemblyIdentity");
    EXPECT_EQ(Attribute(identity, "name"), GetParam().identity);
    EXPECT_EQ(Attribute(identity, "version"), NB_PROJECT_VERSION);
    EXPECT_EQ(Attribute(identity, "processorArchitecture"), "amd64");
    EXPECT_EQ(Attribute(identity, "type"), "win32");
}

TEST_P(ProgramManifest, RunsAsItsCallerWithoutVirtualisation) {
    const Element& level =
        Only("assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel");
    EXPECT_EQ(level.attributes,
              (std::map<std::string, std::string>{{"level", "asInvoker"}, {"uiAccess", "false"}}));
}

TEST_P(ProgramManifest, SupportsWindows7To11) {
    std::set<std::string> ids;
    for (const Element* os : manifest.At("assembly/compatibility/application/supportedOS")) {
        ids.insert(Lowercase(Attribute(*os, "Id")));
    }
    EXPECT_EQ(ids, (std::set<std::string>{
                       "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // 7
                       "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
                       "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
                       "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
                   }));
}

TEST_P(ProgramManifest, IsPerMonitorDpiAwareAndLongPathAware) {
    struct Setting {
        const char* name;
        const std::string& space;
        const char* value;
    };
    const Setting settings[] = {
        {"dpiAware", kWindowsSettings2005, "true/PM"},
        {"dpiAwareness", kWindowsSettings2016, "PerMonitorV2"},
        {"longPathAware", kWindowsSettings2016, "true"},
    };
    for (const Setting& setting : settings) {
        const Element& element = Only(kSettingsPath + setting.name);
        EXPECT_EQ(element.text, setting.value) << setting.name;
        EXPECT_EQ(Attribute(element, "xmlns"), setting.space) << setting.name;
    }
}

TEST_P(ProgramManifest, AsksForCommonControls6OnlyForTheWindow) {
    std::vector<const Element*> dependencies = manifest.At(kDependencyIdentityPath);
    if (!GetParam().wantsCommonControls6) {
        EXPECT_TRUE(dependencies.empty());
        return;
    }
    ASSERT_EQ(dependencies.size(), 1u);
    EXPECT_EQ(dependencies[0]->attributes, (std::map<std::string, std::string>{
                                               {"type", "win32"},
                                               {"name", "Microsoft.Windows.Common-Controls"},
                                               {"version", "6.0.0.0"},
                                               {"processorArchitecture", "*"},
                                               {"publicKeyToken", "6595b64144ccf1df"},
                                               {"language", "*"},
                                           }));
}

INSTANTIATE_TEST_SUITE_P(
    BuiltPrograms, ProgramManifest,
    testing::Values(ProgramCase{"Window", NB_WINDOW_PROGRAM_PATH, "NBNimbra.NBNimbra", true},
                    ProgramCase{"CommandLine", NB_CLI_PROGRAM_PATH, "NBNimbra.nbnx", false}),
    [](const testing::TestParamInfo<ProgramCase>& info) { return std::string(info.param.label); });

} // namespace
